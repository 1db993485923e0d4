#pragma once

#include <QImage>

namespace chartrek {

class ImageControl;
class PointTables;

// A position in a control's coordinates: twips, y downwards.
struct ControlPoint {
    qint32 x = 0;
    qint32 y = 0;
};

// Marker radii in twips (4 and about 5 pixels across at 1:1).
constexpr qint32 PointMarkerRadius = 30;
constexpr qint32 DeletedMarkerRadius = 40;

constexpr quint32 MarkerRed = 0x0000FF;  // 0x00BBGGRR
constexpr quint32 MarkerBlue = 0xFF0000;
constexpr quint32 MarkerBlack = 0x000000;

// Inverts a line over the control's picture on the screen; the end point is not drawn.
// Drawing the same line again removes it; a repaint of the area removes it too.
void DrawInvertedLine(ControlPoint from, ControlPoint to, ImageControl &control);

// The rectangle between two corners as four inverted lines; each corner is inverted once.
void DrawClickSquare(ControlPoint a, ControlPoint b, ImageControl &control);

// A circle of radius 30 into the picture at a drawing-coordinate point: red, or blue where
// the probed colour is pure red, so that it stays visible on a red curve. Does not repaint.
// A curve of another colour has its markers in that colour, and in its opposite on a pixel of it.
void DrawPointMarker(qint32 x, qint32 y, ImageControl &control, quint32 probedColor, quint32 curveColor = MarkerRed);
quint32 markerColor(quint32 curveColor, quint32 probedColor);

// The clean copy back on the shown picture, keeping the view, with the markers of the points in
// the tables when `markers` is on: what the picture shows after the points changed other than
// by adding one: every curve's, each in its colour, the current curve's on top. The markers'
// colours are probed on the clean copy.
void ShowPictureWithMarkers(ImageControl &picture, ImageControl &clean, const PointTables &tables, bool markers);
// The same over another picture of the same size: the clean copy turned by a rotation on trial.
void ShowPictureWithMarkers(ImageControl &picture, const QImage &base, const PointTables &tables, bool markers);

// The circle of radius 40 that marks a deleted point, in the colour given.
void MarkDeletedPoint(qint32 x, qint32 y, ImageControl &control, quint32 color);

} // namespace chartrek
