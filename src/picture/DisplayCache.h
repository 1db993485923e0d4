#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QRect>
#include <QRectF>
#include <QSize>

class QPainter;

namespace chartrek {

// Display-ready forms of a held picture, made as the views need them: 32-bit tiles of an
// 8-bit picture for 1:1 and magnified views, and tiles of the picture reduced by area averaging
// for smaller views, in the screen's device pixels; only tiles that were shown are made. A
// change to the picture renews only the tiles it touches, so a marker costs no more than its
// own area, and a scroll or a zoom step back to a size seen before only draws. A paint makes
// reduced tiles only for a few milliseconds; the rest it shows sampled from single pixels at
// first, and the averaged ones follow in the paints after it (see roughShown).
class DisplayCache {
public:
    static constexpr int TileSize = 256;

    // The picture to show; read through the pointer, never copied (a copy would make every
    // later drawing on the picture copy it whole). Forgets everything made before.
    void setSource(const QImage *image);
    // The picture changed in this area.
    void invalidate(const QRect &pixels);

    // Paints the picture stretched onto `shown` (device-independent pixels), only what lies
    // in `visible`, on a screen of that device pixel ratio.
    void paint(QPainter &painter, const QRectF &shown, const QRectF &visible, qreal ratio = 1);
    // The last paint showed a reduced part only roughly: another paint will show it averaged.
    bool roughShown() const { return mRoughShown; }

    // Area average of the picture scaled to scaledSize: the pixels of `area` (in the scaled
    // picture) are written into target, area's top-left landing at `at`.
    static void areaScale(const QImage &source, const QSize &scaledSize, const QRect &area, QImage &target,
                          const QPoint &at);
    // The same with each pixel taken from the one picture pixel under its middle: quick, rough.
    static void sampleScale(const QImage &source, const QSize &scaledSize, const QRect &area, QImage &target);

private:
    // The tiles of the picture reduced to one size.
    struct Reduced {
        QSize size;
        QHash<quint64, QImage> tiles;
        QSet<quint64> rough; // sampled, not yet averaged
    };

    const QImage &tile(int tx, int ty);
    const QImage &reducedTile(const QSize &size, int tx, int ty);
    void paintPixels(QPainter &painter, const QRectF &shown, const QRectF &visible);
    void paintReduced(QPainter &painter, const QRectF &shown, const QRectF &visible, qreal ratio);

    const QImage *mSource = nullptr;
    QHash<quint64, QImage> mTiles;
    qint64 mTileBytes = 0;
    QList<Reduced> mReduced; // the size shown last first
    qint64 mReducedBytes = 0;
    QElapsedTimer mPaintTime;
    bool mTileMade = false; // in this paint: one tile at least is made whatever the time
    bool mRoughShown = false;
};

} // namespace chartrek
