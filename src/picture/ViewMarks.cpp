#include "picture/ViewMarks.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace chartrek {

namespace {

constexpr qreal kCrossArm = 6;   // device-independent pixels from the centre
constexpr qreal kLabelGap = 3;
constexpr int kLabelPixels = 11; // font size

// Readable on any picture: white around the letters.
void drawLabel(QPainter &painter, const QPointF &topLeft, const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    const QPointF baseline = topLeft + QPointF(0, metrics.ascent());
    painter.setPen(Qt::white);
    for (const QPointF shift : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        painter.drawText(baseline + shift, text);
    painter.setPen(QColor::fromRgba(kViewMarkColor));
    painter.drawText(baseline, text);
}

} // namespace

void paintViewMarks(QPainter &painter, const QList<ViewMark> &marks, const QRectF &display,
                    const QSizeF &pictureTwips, const QRectF &visible, qreal ratio)
{
    if (marks.isEmpty() || pictureTwips.isEmpty() || display.isEmpty())
        return;
    const QRectF seen = display.intersected(visible);
    if (seen.isEmpty())
        return;
    painter.save();
    painter.setClipRect(seen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    font.setPixelSize(kLabelPixels);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QColor color = QColor::fromRgba(kViewMarkColor);
    const qreal onePixel = 1 / ratio;
    // The left or top edge of the device pixel that holds a picture position.
    const auto pixelX = [&](qreal x) {
        return std::floor((display.left() + x / pictureTwips.width() * display.width()) * ratio) / ratio;
    };
    const auto pixelY = [&](qreal y) {
        return std::floor((display.top() + y / pictureTwips.height() * display.height()) * ratio) / ratio;
    };
    for (const ViewMark &mark : marks) {
        const qreal x = pixelX(mark.at.x()), y = pixelY(mark.at.y());
        switch (mark.kind) {
        case ViewMark::VerticalLine:
            if (x < seen.left() - onePixel || x > seen.right())
                continue;
            painter.fillRect(QRectF(x, seen.top(), onePixel, seen.height()), color);
            drawLabel(painter, {x + kLabelGap, seen.top() + kLabelGap}, mark.label);
            break;
        case ViewMark::HorizontalLine:
            if (y < seen.top() - onePixel || y > seen.bottom())
                continue;
            painter.fillRect(QRectF(seen.left(), y, seen.width(), onePixel), color);
            drawLabel(painter, {seen.left() + kLabelGap, y - kLabelGap - metrics.height()}, mark.label);
            break;
        case ViewMark::Cross: {
            painter.fillRect(QRectF(x - kCrossArm, y, 2 * kCrossArm + onePixel, onePixel), color);
            painter.fillRect(QRectF(x, y - kCrossArm, onePixel, 2 * kCrossArm + onePixel), color);
            const qreal width = metrics.horizontalAdvance(mark.label);
            const QPointF at = mark.labelLeft
                ? QPointF(x - kCrossArm - kLabelGap - width, y - kCrossArm - metrics.height())
                : QPointF(x + kLabelGap, y + kLabelGap);
            drawLabel(painter, at, mark.label);
            break;
        }
        }
    }
    painter.restore();
}

} // namespace chartrek
