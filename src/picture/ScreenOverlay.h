#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace chartrek {

// The pixels inverted over a control's picture on the screen, in device-independent pixels.
// Inverting a pixel twice restores it; the control paints the picture and then inverts what
// is set here, and a repaint of an area clears it there.
class ScreenOverlay {
public:
    void resize(const QSize &size);
    QSize size() const { return mMask.size(); }

    // Bresenham line; the end point is left out, so lines meeting at a corner invert it once.
    // Returns the area it touched.
    QRect invertLine(QPoint from, QPoint to);
    void clear(const QRect &area);
    void clearAll();

    bool isInverted(QPoint pixel) const;
    bool isEmpty() const { return mSetCount == 0; }
    // Opaque white where inverted, transparent elsewhere: painted with the difference mode.
    const QImage &mask() const { return mMask; }

private:
    void toggle(int x, int y);

    QImage mMask;
    qint64 mSetCount = 0;
};

} // namespace chartrek
