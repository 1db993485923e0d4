#include "picture/DisplayCache.h"

#include "picture/ImageOps.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace chartrek {

namespace {

// Tiles beyond this are dropped and made again when shown: panning a magnifier across a huge
// picture must not end with a full 32-bit copy of it.
constexpr qint64 kTileBudgetBytes = qint64(128) << 20;
// The largest reduced copy kept between paints, in pixels (64 MB).
constexpr qint64 kReducedBudgetPixels = qint64(16) << 20;

quint64 tileKey(int tx, int ty)
{
    return (quint64(quint32(ty)) << 32) | quint32(tx);
}

bool displayReady(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

void DisplayCache::setSource(const QImage *image)
{
    mSource = image;
    mTiles.clear();
    mTileBytes = 0;
    mReduced = QImage();
}

void DisplayCache::invalidate(const QRect &pixels)
{
    if (!mSource)
        return;
    const QRect area = pixels.intersected(mSource->rect());
    if (area.isEmpty())
        return;
    for (int ty = area.top() / TileSize; ty <= area.bottom() / TileSize; ++ty) {
        for (int tx = area.left() / TileSize; tx <= area.right() / TileSize; ++tx) {
            const auto found = mTiles.constFind(tileKey(tx, ty));
            if (found != mTiles.cend()) {
                mTileBytes -= found->sizeInBytes();
                mTiles.erase(found);
            }
        }
    }
    if (!mReduced.isNull()) {
        const double sx = double(mReduced.width()) / mSource->width();
        const double sy = double(mReduced.height()) / mSource->height();
        const QRect target = QRect(QPoint(int(std::floor(area.left() * sx)), int(std::floor(area.top() * sy))),
                                   QPoint(int(std::floor((area.right() + 1) * sx)),
                                          int(std::floor((area.bottom() + 1) * sy))))
                                 .intersected(mReduced.rect());
        areaScale(*mSource, mReduced.size(), target, mReduced, target.topLeft());
    }
}

const QImage &DisplayCache::tile(int tx, int ty)
{
    const quint64 key = tileKey(tx, ty);
    const auto found = mTiles.constFind(key);
    if (found != mTiles.cend())
        return *found;
    if (mTileBytes > kTileBudgetBytes) {
        mTiles.clear();
        mTileBytes = 0;
    }
    const QRect area = QRect(tx * TileSize, ty * TileSize, TileSize, TileSize).intersected(mSource->rect());
    QImage made = mSource->copy(area).convertToFormat(QImage::Format_RGB32);
    mTileBytes += made.sizeInBytes();
    return *mTiles.insert(key, std::move(made));
}

void DisplayCache::paint(QPainter &painter, const QRectF &shown, const QRectF &visible)
{
    if (!mSource || mSource->isNull() || shown.width() <= 0 || shown.height() <= 0 || visible.isEmpty())
        return;
    if (shown.width() >= mSource->width() && shown.height() >= mSource->height())
        paintPixels(painter, shown, visible);
    else
        paintReduced(painter, shown, visible);
}

void DisplayCache::paintPixels(QPainter &painter, const QRectF &shown, const QRectF &visible)
{
    const QImage &source = *mSource;
    const double sx = shown.width() / source.width();
    const double sy = shown.height() / source.height();
    // The whole picture pixels that reach the visible area, each drawn as a sharp block.
    const int x0 = std::max(0, int(std::floor((visible.left() - shown.left()) / sx)));
    const int y0 = std::max(0, int(std::floor((visible.top() - shown.top()) / sy)));
    const int x1 = std::min(source.width(), int(std::ceil((visible.right() - shown.left()) / sx)));
    const int y1 = std::min(source.height(), int(std::ceil((visible.bottom() - shown.top()) / sy)));
    if (x1 <= x0 || y1 <= y0)
        return;
    auto target = [&](const QRect &part) {
        return QRectF(shown.left() + part.left() * sx, shown.top() + part.top() * sy, part.width() * sx,
                      part.height() * sy);
    };
    const QRect needed(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
    if (displayReady(source)) {
        painter.drawImage(target(needed), source, needed);
        return;
    }
    // A small part (the magnifier's) is converted as it is shown, which costs less than making
    // the tiles it touches; a large one comes from tiles kept between paints.
    if (qint64(needed.width()) * needed.height() <= qint64(TileSize) * TileSize) {
        painter.drawImage(target(needed), source.copy(needed).convertToFormat(QImage::Format_RGB32));
        return;
    }
    for (int ty = y0 / TileSize; ty <= (y1 - 1) / TileSize; ++ty) {
        for (int tx = x0 / TileSize; tx <= (x1 - 1) / TileSize; ++tx) {
            const QRect tileArea(tx * TileSize, ty * TileSize, TileSize, TileSize);
            const QRect part = tileArea.intersected(needed);
            painter.drawImage(target(part), tile(tx, ty), part.translated(-tileArea.topLeft()));
        }
    }
}

void DisplayCache::paintReduced(QPainter &painter, const QRectF &shown, const QRectF &visible)
{
    const QSize size(std::max(1, int(std::lround(shown.width()))), std::max(1, int(std::lround(shown.height()))));
    const QRect seen = visible.translated(-shown.topLeft()).toAlignedRect().intersected(QRect(QPoint(), size));
    if (seen.isEmpty())
        return;
    // The whole reduced copy is kept, so that a magnifier moving over a fitted view only draws;
    // one too large to keep (a huge picture barely reduced) is reduced where it is seen, each time.
    if (qint64(size.width()) * size.height() > kReducedBudgetPixels && mReduced.size() != size) {
        QImage part(seen.size(), QImage::Format_RGB32);
        if (part.isNull())
            return;
        areaScale(*mSource, size, seen, part, QPoint());
        painter.drawImage(shown.topLeft() + QPointF(seen.topLeft()), part);
        return;
    }
    if (mReduced.size() != size) {
        mReduced = QImage(size, QImage::Format_RGB32);
        if (mReduced.isNull())
            return;
        areaScale(*mSource, size, mReduced.rect(), mReduced, QPoint());
    }
    painter.drawImage(shown.topLeft().toPoint(), mReduced);
}

void DisplayCache::areaScale(const QImage &source, const QSize &scaledSize, const QRect &area, QImage &target,
                             const QPoint &at)
{
    const QRect todo = area.intersected(QRect(QPoint(), scaledSize))
                           .intersected(target.rect().translated(area.topLeft() - at));
    if (todo.isEmpty() || source.isNull())
        return;
    const QImage converted = toHeldFormat(source);
    if (converted.isNull())
        return;
    const bool indexed = converted.format() == QImage::Format_Indexed8;
    std::array<QRgb, 256> palette{};
    if (indexed) {
        const QList<QRgb> table = converted.colorTable();
        std::copy_n(table.cbegin(), std::min<qsizetype>(table.size(), 256), palette.begin());
    }
    const double fx = double(converted.width()) / scaledSize.width();
    const double fy = double(converted.height()) / scaledSize.height();
    auto span = [](int t, double f, int limit) {
        const int a = std::min(limit - 1, int(std::floor(t * f)));
        const int b = std::clamp(int(std::floor((t + 1) * f)), a + 1, limit);
        return std::pair{a, b};
    };
    // The source columns of each target column, worked out once for all rows.
    std::vector<std::pair<int, int>> columns(size_t(todo.width()));
    for (int x = todo.left(); x <= todo.right(); ++x)
        columns[size_t(x - todo.left())] = span(x, fx, converted.width());
    const QPoint shift = at - area.topLeft();
    for (int y = todo.top(); y <= todo.bottom(); ++y) {
        const auto [ya, yb] = span(y, fy, converted.height());
        QRgb *out = reinterpret_cast<QRgb *>(target.scanLine(y + shift.y())) + shift.x();
        for (int x = todo.left(); x <= todo.right(); ++x) {
            const auto [xa, xb] = columns[size_t(x - todo.left())];
            quint64 r = 0, g = 0, b = 0;
            for (int sy = ya; sy < yb; ++sy) {
                const uchar *line = converted.constScanLine(sy);
                for (int sx = xa; sx < xb; ++sx) {
                    const QRgb c = indexed ? palette[line[sx]] : reinterpret_cast<const QRgb *>(line)[sx];
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            }
            const quint64 n = quint64(yb - ya) * quint64(xb - xa);
            out[x] = qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
        }
    }
}

} // namespace chartrek
