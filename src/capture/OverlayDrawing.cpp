#include "capture/OverlayDrawing.h"

#include "picture/ImageControl.h"
#include "points/PointTables.h"

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

void ShowPictureWithMarkers(ImageControl &picture, ImageControl &clean, const PointTables &tables, bool markers)
{
    ShowPictureWithMarkers(picture, clean.image(), tables, markers);
}

void ShowPictureWithMarkers(ImageControl &picture, const QImage &base, const PointTables &tables, bool markers)
{
    picture.restorePicture(base);
    if (!markers || tables.pointCount() == 0)
        return;
    // One loan of the surface for all points: a table may hold thousands.
    DrawingSurface *target = picture.getBitmapSurface();
    if (!target)
        return;
    const quint32 pureRed = 0x0000FF;
    for (int row = 1; row <= tables.pointCount(); ++row) {
        const PicturePoint p = tables.pointAt(row);
        const QPoint pixel = DrawingSurface::pixelAt(-p.x, p.y);
        const bool onRed = base.valid(pixel) && toColorRef(base.pixel(pixel)) == pureRed;
        target->drawCircle(-p.x, p.y, PointMarkerRadius, onRed ? MarkerBlue : MarkerRed);
    }
    picture.releaseBitmapSurface(target);
}

void MarkDeletedPoint(qint32 x, qint32 y, ImageControl &control, quint32 color)
{
    drawMarkerCircle(x, y, DeletedMarkerRadius, control, color);
}

} // namespace chartrek
