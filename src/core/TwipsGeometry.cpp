#include "core/TwipsGeometry.h"

#include <QVariant>
#include <QWidget>

namespace chartrek {

namespace {
const char *const kTwipsProperty = "chartrekTwipsRect";
}

QRect toPixels(const QRect &twips)
{
    // Edges are rounded, not sizes, so that neighbouring controls stay flush.
    const int left = toPixels(twips.x());
    const int top = toPixels(twips.y());
    const int right = toPixels(twips.x() + twips.width());
    const int bottom = toPixels(twips.y() + twips.height());
    return QRect(left, top, right - left, bottom - top);
}

void setTwipsGeometry(QWidget *widget, const QRect &twips)
{
    widget->setProperty(kTwipsProperty, twips);
    widget->setGeometry(toPixels(twips));
}

void setTwipsGeometry(QWidget *widget, int left, int top, int width, int height)
{
    setTwipsGeometry(widget, QRect(left, top, width, height));
}

QRect twipsGeometry(const QWidget *widget)
{
    const QVariant stored = widget->property(kTwipsProperty);
    if (stored.isValid() && toPixels(stored.toRect()) == widget->geometry())
        return stored.toRect();
    const QRect px = widget->geometry();
    return QRect(px.x() * kTwipsPerPixel, px.y() * kTwipsPerPixel, px.width() * kTwipsPerPixel,
                 px.height() * kTwipsPerPixel);
}

QSize twipsSize(const QWidget *widget)
{
    return widget->size() * kTwipsPerPixel;
}

} // namespace chartrek
