#pragma once

#include <QHash>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

class QPainter;

namespace chartrek {

// Display-ready forms of a held picture, made as the views need them: 32-bit tiles of an
// 8-bit picture for 1:1 and magnified views (only those that were shown), and one copy
// reduced by area averaging for a smaller view. A change to the picture renews only the tiles
// and the reduced pixels it touches, so a marker costs no more than its own area.
class DisplayCache {
public:
    static constexpr int TileSize = 256;

    // The picture to show; read through the pointer, never copied (a copy would make every
    // later drawing on the picture copy it whole). Forgets everything made before.
    void setSource(const QImage *image);
    // The picture changed in this area.
    void invalidate(const QRect &pixels);

    // Paints the picture stretched onto `shown` (device-independent pixels), only what lies
    // in `visible`.
    void paint(QPainter &painter, const QRectF &shown, const QRectF &visible);

    // Area average of the picture at the given size (exposed for the benchmark and tests).
    static void areaScale(const QImage &source, QImage &target, const QRect &targetArea);

private:
    const QImage &tile(int tx, int ty);
    void paintPixels(QPainter &painter, const QRectF &shown, const QRectF &visible);
    void paintReduced(QPainter &painter, const QRectF &shown);

    const QImage *mSource = nullptr;
    QHash<quint64, QImage> mTiles;
    qint64 mTileBytes = 0;
    QImage mReduced;
};

} // namespace chartrek
