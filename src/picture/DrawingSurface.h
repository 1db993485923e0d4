#pragma once

#include "core/Twips.h"
#include "pixprobe/PixProbe.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

namespace chartrek {

// A drawing surface on a held picture, in drawing coordinates: twips, x to the right from the
// left edge, y upward from the top edge (y <= 0 inside). Drawing writes true colours into the
// picture, also into an 8-bit one (the colour gets a palette entry if it has none). A picture
// of another form is brought into a held one (see toHeldFormat); one that cannot be, for want
// of memory, is neither drawn on nor probed. Lives only for one drawing or probe, as the
// imaging control lends it.
class DrawingSurface {
public:
    explicit DrawingSurface(QImage &image);

    // What the pixel-probe module reads. Valid until the next drawing call.
    const PixProbeSurface *handle();

    // The pixel a drawing-coordinate point lies in.
    static QPoint pixelAt(qint32 x, qint32 y);
    // Colour 0x00BBGGRR at a point, -1 outside the picture.
    qint32 colorAt(qint32 x, qint32 y) const;

    // A circle outline one pixel wide around the pixel of (x, y); the radius in twips.
    // Colour 0x00BBGGRR. The inside is left as it is, so the marked pixel stays visible.
    void drawCircle(qint32 x, qint32 y, qint32 radius, quint32 color);

    // Pixels changed so far.
    QRect dirtyPixels() const { return mDirty; }

private:
    // False when the colour cannot be drawn.
    bool prepareColor(quint32 color, uint &value);
    void plot(int px, int py, uint value);

    QImage &mImage;
    QList<QRgb> mPalette;
    PixProbeSurface mHandle{};
    QRect mDirty;
    bool mUsable = false;
};

// 0x00BBGGRR from a Qt colour value and back.
constexpr quint32 toColorRef(QRgb rgb)
{
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}
constexpr QRgb fromColorRef(quint32 color)
{
    return qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace chartrek
