#pragma once

#include "core/Twips.h"

#include <QRect>

class QWidget;

namespace chartrek {

// The window is laid out in twips. A control remembers the twips rectangle it was given, so
// reading it back is exact even where twips do not divide into whole pixels.

QRect toPixels(const QRect &twips);

void setTwipsGeometry(QWidget *widget, const QRect &twips);
void setTwipsGeometry(QWidget *widget, int left, int top, int width, int height);
// The control's rectangle in twips: the one it was given, unless it has since been moved
// or sized in pixels by other means.
QRect twipsGeometry(const QWidget *widget);
// Inner size of a container (the client area of a window) in twips.
QSize twipsSize(const QWidget *widget);

} // namespace chartrek
