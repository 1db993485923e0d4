#include "picture/ScreenOverlay.h"

#include <algorithm>
#include <cstdlib>

namespace chartrek {

namespace {
constexpr uint kInverted = 0xFFFFFFFFu;
// Beyond this length a line is first cut to the overlay, so that a wild coordinate costs
// nothing; shorter lines are drawn whole so that drawing one twice always removes it.
constexpr qint64 kLongLine = 1 << 16;
} // namespace

void ScreenOverlay::resize(const QSize &size)
{
    if (size == mMask.size())
        return;
    QImage resized(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    resized.fill(0);
    mSetCount = 0;
    const int w = std::min(resized.width(), mMask.width());
    const int h = std::min(resized.height(), mMask.height());
    for (int y = 0; y < h; ++y) {
        const uint *from = reinterpret_cast<const uint *>(mMask.constScanLine(y));
        uint *to = reinterpret_cast<uint *>(resized.scanLine(y));
        for (int x = 0; x < w; ++x) {
            to[x] = from[x];
            mSetCount += from[x] != 0;
        }
    }
    mMask = resized;
}

void ScreenOverlay::toggle(int x, int y)
{
    if (x < 0 || y < 0 || x >= mMask.width() || y >= mMask.height())
        return;
    uint &p = reinterpret_cast<uint *>(mMask.scanLine(y))[x];
    p ^= kInverted;
    mSetCount += p ? 1 : -1;
}

QRect ScreenOverlay::invertLine(QPoint from, QPoint to)
{
    qint64 x = from.x(), y = from.y();
    const qint64 x1 = to.x(), y1 = to.y();
    const qint64 dx = std::llabs(x1 - x), dy = -std::llabs(y1 - y);
    if (std::max(dx, -dy) > kLongLine) {
        // Only a part inside the overlay can show; a line this long comes from a wild pointer.
        const bool inside = QRect(QPoint(std::min(x, x1), std::min(y, y1)), QPoint(std::max(x, x1), std::max(y, y1)))
                                .intersects(mMask.rect());
        if (!inside)
            return {};
    }
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    qint64 err = dx + dy;
    QRect touched;
    while (x != x1 || y != y1) {
        if (x >= 0 && y >= 0 && x < mMask.width() && y < mMask.height()) {
            toggle(int(x), int(y));
            touched |= QRect(int(x), int(y), 1, 1);
        }
        const qint64 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return touched;
}

void ScreenOverlay::clear(const QRect &area)
{
    const QRect r = area.intersected(mMask.rect());
    if (r.isEmpty() || mSetCount == 0)
        return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint *line = reinterpret_cast<uint *>(mMask.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            if (line[x]) {
                line[x] = 0;
                --mSetCount;
            }
        }
    }
}

void ScreenOverlay::clearAll()
{
    if (mSetCount == 0)
        return;
    mMask.fill(0);
    mSetCount = 0;
}

bool ScreenOverlay::isInverted(QPoint pixel) const
{
    return mMask.valid(pixel) && mMask.pixel(pixel) != 0;
}

} // namespace chartrek
