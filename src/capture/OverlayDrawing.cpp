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

quint32 markerColor(quint32 curveColor, quint32 probedColor)
{
    if (probedColor != curveColor)
        return curveColor;
    return curveColor == MarkerRed ? MarkerBlue : ~curveColor & 0xFFFFFF;
}

void DrawPointMarker(qint32 x, qint32 y, ImageControl &control, quint32 probedColor, quint32 curveColor)
{
    drawMarkerCircle(x, y, PointMarkerRadius, control, markerColor(curveColor, probedColor));
}

void ShowPictureWithMarkers(ImageControl &picture, ImageControl &clean, const PointTables &tables, bool markers)
{
    ShowPictureWithMarkers(picture, clean.image(), tables, markers);
}

void ShowPictureWithMarkers(ImageControl &picture, const QImage &base, const PointTables &tables, bool markers)
{
    picture.restorePicture(base);
    if (!markers || !tables.hasPoints())
        return;
    // One loan of the surface for all points: a table may hold thousands.
    DrawingSurface *target = picture.getBitmapSurface();
    if (!target)
        return;
    const Curves &curves = tables.curves();
    const auto draw = [&](int curve) {
        const Curves::Grid &grid = curves.rows(curve);
        const quint32 color = curves.color(curve);
        for (qsizetype row = 1; row + 1 < grid.size(); ++row) {
            const PicturePoint p = pointOfRow(grid[row]);
            const QPoint pixel = DrawingSurface::pixelAt(-p.x, p.y);
            const quint32 probed = base.valid(pixel) ? toColorRef(base.pixel(pixel)) : 0xFFFFFFFF;
            target->drawCircle(-p.x, p.y, PointMarkerRadius, markerColor(color, probed));
        }
    };
    for (int curve = 0; curve < curves.count(); ++curve) {
        if (curve != curves.current())
            draw(curve);
    }
    draw(curves.current()); // on top
    picture.releaseBitmapSurface(target);
}

void MarkDeletedPoint(qint32 x, qint32 y, ImageControl &control, quint32 color)
{
    drawMarkerCircle(x, y, DeletedMarkerRadius, control, color);
}

} // namespace chartrek
