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
// Reduced tiles beyond this are dropped, those of other sizes first (64 MB).
constexpr qint64 kReducedBudgetBytes = qint64(64) << 20;
// How long a paint may spend averaging reduced tiles: a step of the wheel into a part or a size
// not seen before must still be shown within a frame.
constexpr qint64 kAveragingNs = 4'000'000;

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
    mReduced.clear();
    mReducedBytes = 0;
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
    for (Reduced &reduced : mReduced) {
        const double sx = double(reduced.size.width()) / mSource->width();
        const double sy = double(reduced.size.height()) / mSource->height();
        const QRect target = QRect(QPoint(int(std::floor(area.left() * sx)), int(std::floor(area.top() * sy))),
                                   QPoint(int(std::floor((area.right() + 1) * sx)),
                                          int(std::floor((area.bottom() + 1) * sy))))
                                 .intersected(QRect(QPoint(), reduced.size));
        if (target.isEmpty())
            continue;
        for (int ty = target.top() / TileSize; ty <= target.bottom() / TileSize; ++ty) {
            for (int tx = target.left() / TileSize; tx <= target.right() / TileSize; ++tx) {
                const auto found = reduced.tiles.find(tileKey(tx, ty));
                if (found == reduced.tiles.end())
                    continue;
                const QRect tileArea(tx * TileSize, ty * TileSize, TileSize, TileSize);
                const QRect part = target.intersected(tileArea);
                areaScale(*mSource, reduced.size, part, *found, part.topLeft() - tileArea.topLeft());
            }
        }
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

void DisplayCache::paint(QPainter &painter, const QRectF &shown, const QRectF &visible, qreal ratio)
{
    mRoughShown = false;
    if (!mSource || mSource->isNull() || shown.width() <= 0 || shown.height() <= 0 || visible.isEmpty())
        return;
    mPaintTime.start();
    mTileMade = false;
    // A picture pixel to a device pixel or more needs no reduction.
    if (shown.width() * ratio >= mSource->width() - 0.5 && shown.height() * ratio >= mSource->height() - 0.5)
        paintPixels(painter, shown, visible);
    else
        paintReduced(painter, shown, visible, ratio);
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

const QImage &DisplayCache::reducedTile(const QSize &size, int tx, int ty)
{
    if (mReduced.isEmpty() || mReduced.front().size != size) {
        const auto same = std::find_if(mReduced.begin(), mReduced.end(), [&](const Reduced &r) { return r.size == size; });
        if (same != mReduced.end())
            mReduced.move(same - mReduced.begin(), 0);
        else
            mReduced.prepend(Reduced{size, {}});
    }
    Reduced &reduced = mReduced.front();
    const quint64 key = tileKey(tx, ty);
    const QRect area = QRect(tx * TileSize, ty * TileSize, TileSize, TileSize).intersected(QRect(QPoint(), size));
    const bool averageNow = !mTileMade || mPaintTime.nsecsElapsed() < kAveragingNs;
    const auto found = reduced.tiles.find(key);
    if (found != reduced.tiles.end()) {
        if (reduced.rough.contains(key)) {
            if (averageNow) {
                areaScale(*mSource, size, area, *found, QPoint());
                reduced.rough.remove(key);
                mTileMade = true;
            } else {
                mRoughShown = true;
            }
        }
        return *found;
    }
    const qint64 bytes = qint64(area.width()) * area.height() * 4;
    // Over the budget the sizes seen longest ago go first, then the tiles of this one.
    while (mReducedBytes + bytes > kReducedBudgetBytes && mReduced.size() > 1) {
        for (const QImage &old : std::as_const(mReduced.back().tiles))
            mReducedBytes -= old.sizeInBytes();
        mReduced.removeLast();
    }
    if (mReducedBytes + bytes > kReducedBudgetBytes) {
        reduced.tiles.clear();
        reduced.rough.clear();
        mReducedBytes = 0;
    }
    QImage made(area.size(), QImage::Format_RGB32);
    if (!made.isNull()) {
        if (averageNow) {
            areaScale(*mSource, size, area, made, QPoint());
            mTileMade = true;
        } else {
            sampleScale(*mSource, size, area, made);
            reduced.rough.insert(key);
            mRoughShown = true;
        }
    }
    mReducedBytes += made.sizeInBytes();
    return *reduced.tiles.insert(key, std::move(made));
}

void DisplayCache::paintReduced(QPainter &painter, const QRectF &shown, const QRectF &visible, qreal ratio)
{
    // Reduced to the screen's own pixels, so that a screen of ratio 2 shows it sharp.
    const QSize size(std::max(1, int(std::lround(shown.width() * ratio))),
                     std::max(1, int(std::lround(shown.height() * ratio))));
    const QRectF seenF((visible.left() - shown.left()) * ratio, (visible.top() - shown.top()) * ratio,
                       visible.width() * ratio, visible.height() * ratio);
    const QRect seen = seenF.toAlignedRect().intersected(QRect(QPoint(), size));
    if (seen.isEmpty())
        return;
    // A small part (the magnifier's, which moves far at each step) is averaged as it is shown,
    // which costs less than the tiles it touches.
    if (qint64(seen.width()) * seen.height() <= qint64(TileSize) * TileSize) {
        QImage part(seen.size(), QImage::Format_RGB32);
        if (part.isNull())
            return;
        areaScale(*mSource, size, seen, part, QPoint());
        painter.drawImage(QRectF(shown.topLeft() + QPointF(seen.topLeft()) / ratio, QSizeF(seen.size()) / ratio), part);
        return;
    }
    for (int ty = seen.top() / TileSize; ty <= seen.bottom() / TileSize; ++ty) {
        for (int tx = seen.left() / TileSize; tx <= seen.right() / TileSize; ++tx) {
            const QImage &part = reducedTile(size, tx, ty);
            if (part.isNull())
                continue;
            const QRectF target(shown.left() + tx * TileSize / ratio, shown.top() + ty * TileSize / ratio,
                                part.width() / ratio, part.height() / ratio);
            painter.drawImage(target, part);
        }
    }
}

void DisplayCache::sampleScale(const QImage &source, const QSize &scaledSize, const QRect &area, QImage &target)
{
    const QRect todo = area.intersected(QRect(QPoint(), scaledSize)).intersected(target.rect().translated(area.topLeft()));
    const QImage converted = toHeldFormat(source);
    if (todo.isEmpty() || converted.isNull())
        return;
    const bool indexed = converted.format() == QImage::Format_Indexed8;
    const QList<QRgb> palette = indexed ? converted.colorTable() : QList<QRgb>();
    const double fx = double(converted.width()) / scaledSize.width();
    const double fy = double(converted.height()) / scaledSize.height();
    std::vector<int> columns(size_t(todo.width()));
    for (int x = todo.left(); x <= todo.right(); ++x)
        columns[size_t(x - todo.left())] = std::min(converted.width() - 1, int((x + 0.5) * fx));
    for (int y = todo.top(); y <= todo.bottom(); ++y) {
        const uchar *line = converted.constScanLine(std::min(converted.height() - 1, int((y + 0.5) * fy)));
        QRgb *out = reinterpret_cast<QRgb *>(target.scanLine(y - area.top())) + (todo.left() - area.left());
        for (int column : columns) {
            const QRgb c = indexed ? palette.value(line[column]) : reinterpret_cast<const QRgb *>(line)[column];
            *out++ = c | 0xFF000000u;
        }
    }
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
