#include "picture/DrawingSurface.h"

#include "picture/ImageOps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chartrek {

DrawingSurface::DrawingSurface(QImage &image) : mImage(image)
{
    // Drawing and the probe address pixels as bytes or 32-bit words only.
    if (!isHeldFormat(mImage.format())) {
        QImage held = toHeldFormat(mImage);
        if (!held.isNull())
            mImage = std::move(held);
    }
    mUsable = !mImage.isNull() && isHeldFormat(mImage.format());
    if (mImage.format() == QImage::Format_Indexed8)
        mPalette = mImage.colorTable();
}

const PixProbeSurface *DrawingSurface::handle()
{
    const QImage &picture = mImage; // reading must not detach a shared picture
    mHandle.bits = mUsable ? picture.constBits() : nullptr;
    mHandle.width = picture.width();
    mHandle.height = picture.height();
    mHandle.bytesPerLine = int32_t(picture.bytesPerLine());
    mHandle.bitsPerPixel = picture.format() == QImage::Format_Indexed8 ? 8 : 32;
    mHandle.palette = mPalette.isEmpty() ? nullptr : reinterpret_cast<const uint32_t *>(mPalette.constData());
    mHandle.paletteSize = int32_t(mPalette.size());
    mHandle.twipsPerPixel = kTwipsPerPixel;
    return &mHandle;
}

QPoint DrawingSurface::pixelAt(qint32 x, qint32 y)
{
    return QPoint(floorDiv(x, kTwipsPerPixel), floorDiv(-qint64(y), kTwipsPerPixel));
}

qint32 DrawingSurface::colorAt(qint32 x, qint32 y) const
{
    const QPoint p = pixelAt(x, y);
    if (!mImage.valid(p))
        return -1;
    return qint32(toColorRef(mImage.pixel(p)));
}

bool DrawingSurface::prepareColor(quint32 color, uint &value)
{
    const QRgb rgb = fromColorRef(color);
    if (mImage.format() != QImage::Format_Indexed8) {
        value = rgb;
        return true;
    }
    const auto found = std::find(mPalette.cbegin(), mPalette.cend(), rgb);
    if (found != mPalette.cend()) {
        value = uint(found - mPalette.cbegin());
        return true;
    }
    if (mPalette.size() < 256) {
        mPalette.append(rgb);
        mImage.setColorTable(mPalette);
        value = uint(mPalette.size() - 1);
        return true;
    }
    // A full palette without the colour: the picture goes to 32 bits rather than take a
    // wrong colour, and stays as it is when memory is short.
    QImage wide = mImage.convertToFormat(QImage::Format_RGB32);
    if (wide.isNull())
        return false;
    mImage = std::move(wide);
    mPalette.clear();
    mDirty = mImage.rect();
    value = rgb;
    return true;
}

void DrawingSurface::plot(int px, int py, uint value)
{
    if (px < 0 || py < 0 || px >= mImage.width() || py >= mImage.height())
        return;
    if (mImage.format() == QImage::Format_Indexed8)
        mImage.scanLine(py)[px] = uchar(value);
    else
        reinterpret_cast<QRgb *>(mImage.scanLine(py))[px] = value;
    mDirty |= QRect(px, py, 1, 1);
}

void DrawingSurface::drawCircle(qint32 x, qint32 y, qint32 radius, quint32 color)
{
    uint value = 0;
    if (!mUsable || !prepareColor(color, value))
        return;
    const QPoint c = pixelAt(x, y);
    const int r = std::max(1, int(std::lround(double(radius) / kTwipsPerPixel)));
    // Midpoint circle: the same pixels on every picture format.
    int dx = r;
    int dy = 0;
    int err = 1 - r;
    while (dx >= dy) {
        for (const QPoint &o : {QPoint(dx, dy), QPoint(dy, dx), QPoint(-dy, dx), QPoint(-dx, dy), QPoint(-dx, -dy),
                                QPoint(-dy, -dx), QPoint(dy, -dx), QPoint(dx, -dy)})
            plot(c.x() + o.x(), c.y() + o.y(), value);
        ++dy;
        if (err < 0) {
            err += 2 * dy + 1;
        } else {
            --dx;
            err += 2 * (dy - dx) + 1;
        }
    }
}

} // namespace chartrek
