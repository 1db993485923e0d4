#include "capture/OverlayDrawing.h"

#include "picture/ImageControl.h"

namespace chartrek {

namespace {

void drawMarkerCircle(qint32 x, qint32 y, qint32 radius, ImageControl &control, quint32 color)
{
    DrawingSurface *surface = control.getBitmapSurface();
    if (!surface)
        return; // as a failed graphics call: nothing drawn
    surface->drawCircle(x, y, radius, color);
    control.releaseBitmapSurface(surface);
}

} // namespace

void DrawInvertedLine(ControlPoint from, ControlPoint to, ImageControl &control)
{
    control.invertLine(from.x, from.y, to.x, to.y);
}

void DrawClickSquare(ControlPoint a, ControlPoint b, ImageControl &control)
{
    DrawInvertedLine({a.x, a.y}, {a.x, b.y}, control);
    DrawInvertedLine({a.x, b.y}, {b.x, b.y}, control);
    DrawInvertedLine({b.x, b.y}, {b.x, a.y}, control);
    DrawInvertedLine({b.x, a.y}, {a.x, a.y}, control);
}

void DrawPointMarker(qint32 x, qint32 y, ImageControl &control, quint32 probedColor)
{
    const quint32 pureRed = 0x0000FF;
    drawMarkerCircle(x, y, PointMarkerRadius, control, probedColor == pureRed ? MarkerBlue : MarkerRed);
}

void MarkDeletedPoint(qint32 x, qint32 y, ImageControl &control, quint32 color)
{
    drawMarkerCircle(x, y, DeletedMarkerRadius, control, color);
}

} // namespace chartrek
