#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QRgb>
#include <QSizeF>
#include <QString>

class QPainter;

namespace chartrek {

// A mark drawn over the shown picture on the screen only: it follows every view and never
// reaches the picture, a saved graphic or the tracer. Positions are in picture twips from the
// picture's top-left corner, x to the right and y downwards (a PicturePoint negated).
struct ViewMark {
    enum Kind { Cross, VerticalLine, HorizontalLine };
    Kind kind = Cross;
    QPointF at; // a cross's point; a vertical line's x; a horizontal line's y
    QString label;
    bool labelLeft = false; // a cross's label left of it instead of below
    friend bool operator==(const ViewMark &, const ViewMark &) = default;
};

// A blue that neither the markers nor the program's other screen colours use.
constexpr QRgb kViewMarkColor = 0xFF0066FF;

// Paints the marks. `display`: where the whole picture is shown (device-independent pixels);
// `pictureTwips`: the picture's size; `visible`: the part of the control the picture is seen
// in; `ratio`: device pixels per device-independent pixel. A line is one device pixel wide, on
// the device pixel that holds its position, so that it covers the spot a click there gave.
// Line labels keep to the visible part's top and left edges, so that they scroll along.
void paintViewMarks(QPainter &painter, const QList<ViewMark> &marks, const QRectF &display,
                    const QSizeF &pictureTwips, const QRectF &visible, qreal ratio);

} // namespace chartrek
