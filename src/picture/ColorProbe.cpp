#include "picture/ColorProbe.h"

namespace chartrek {

namespace {
// A surface that is lent elsewhere is asked for again this often before the probe gives up.
constexpr int kSurfaceAttempts = 8;
} // namespace

DrawingSurface *ColorProbe::borrowSurface(BitmapHolder &control)
{
    for (int attempt = 0; attempt < kSurfaceAttempts && control.hasBitmap(); ++attempt) {
        if (DrawingSurface *surface = control.getBitmapSurface())
            return surface;
    }
    return nullptr;
}

qint32 ColorProbe::GetColor(qint32 x, qint32 y, BitmapHolder &control)
{
    if (!mLibrary.ensureLoaded()) {
        if (!mReported)
            mMessages.ReportScanError(QStringLiteral("GetColor"));
        mReported = true;
        return 0;
    }
    DrawingSurface *surface = borrowSurface(control);
    if (!surface)
        return -1;
    const qint32 color = mLibrary.getAColor()(x, y, surface->handle());
    control.releaseBitmapSurface(surface);
    return color;
}

qint32 ColorProbe::GetAPoint(qint32 x, qint32 y, PixProbePoint &point, qint32 lineColor, BitmapHolder &control,
                             int tolerance)
{
    return GetAPoint(x, y, point, PixProbeLine{lineColor, tolerance, -1, 0, 0}, control);
}

qint32 ColorProbe::GetAPoint(qint32 x, qint32 y, PixProbePoint &point, const PixProbeLine &line, BitmapHolder &control)
{
    const qint32 lineColor = line.color;
    const int tolerance = line.tolerance;
    DrawingSurface *surface = mLibrary.ensureLoaded() ? borrowSurface(control) : nullptr;
    if (!surface) {
        point.x = x;
        point.y = -qint32(std::min<double>(double(control.bitmapHeight()) + kTwipsPerPixel,
                                           double(0x40000000)));
        return PIXPROBE_NOT_FOUND;
    }
    const qint32 status = mLibrary.getAPointLine() ? mLibrary.getAPointLine()(x, y, &point, &line, surface->handle())
        : tolerance > 0 && mLibrary.getAPointTolerant()
        ? mLibrary.getAPointTolerant()(x, y, &point, lineColor, tolerance, surface->handle())
        : mLibrary.getAPoint()(x, y, &point, lineColor, surface->handle());
    control.releaseBitmapSurface(surface);
    return status;
}

} // namespace chartrek
