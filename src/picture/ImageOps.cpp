#include "picture/ImageOps.h"

#include "app/AtomicFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>

#include <cmath>
#include <numbers>

namespace chartrek {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ImageOps", text);
}

// The palette index of pure black, added if the palette has room; -1 when it has none.
int blackIndex(QImage &image)
{
    const QList<QRgb> table = image.colorTable();
    const qsizetype found = table.indexOf(qRgb(0, 0, 0));
    if (found >= 0)
        return int(found);
    if (table.size() >= 256)
        return -1;
    image.setColorCount(int(table.size()) + 1);
    image.setColor(int(table.size()), qRgb(0, 0, 0));
    return int(table.size());
}

} // namespace

QImage rotatePicture(const QImage &image, qint32 hundredths)
{
    if (image.isNull())
        return image;
    QImage source = image;
    if (source.format() != QImage::Format_Indexed8 && source.format() != QImage::Format_RGB32
        && source.format() != QImage::Format_ARGB32)
        source = source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QImage result(source.size(), source.format());
    if (result.isNull())
        return image;
    uint black = 0xFF000000u;
    if (source.format() == QImage::Format_Indexed8) {
        result.setColorTable(source.colorTable());
        const int index = blackIndex(result);
        if (index < 0) {
            // A full palette without black: black still has to be exact.
            return rotatePicture(source.convertToFormat(QImage::Format_RGB32), hundredths);
        }
        black = uint(index);
    }

    // Screen coordinates run downwards, so the usual rotation matrix turns clockwise there.
    // Each target pixel centre is turned back onto the source and takes the pixel it lands in.
    const double angle = double(hundredths) / 100.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double cx = source.width() / 2.0, cy = source.height() / 2.0;
    const int w = source.width(), h = source.height();
    const bool indexed = source.format() == QImage::Format_Indexed8;
    for (int y = 0; y < h; ++y) {
        const double dy = y + 0.5 - cy;
        double sx = c * (0.5 - cx) + s * dy + cx;
        double sy = -s * (0.5 - cx) + c * dy + cy;
        uchar *line = result.scanLine(y);
        for (int x = 0; x < w; ++x, sx += c, sy -= s) {
            const int px = int(std::floor(sx)), py = int(std::floor(sy));
            const bool inside = px >= 0 && py >= 0 && px < w && py < h;
            if (indexed)
                line[x] = inside ? source.constScanLine(py)[px] : uchar(black);
            else
                reinterpret_cast<uint *>(line)[x] =
                    inside ? reinterpret_cast<const uint *>(source.constScanLine(py))[px] : black;
        }
    }
    return result;
}

int bitmapBitsPerPixel(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Invalid:
        return 0;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
        return 8;
    default:
        return 24;
    }
}

bool saveBitmap(const QImage &image, const QString &fileName, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (image.isNull())
        return fail(tr("There is no picture to save."));
    // Encoded in memory first, so that the file is replaced in one checked write.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    // Qt writes 8-bit pictures with their palette and 32-bit ones as 24-bit bitmaps.
    if (!writer.write(image))
        return fail(tr("%1 cannot be written: %2").arg(fileName, writer.errorString()));
    QString reason;
    if (!writeFileAtomically(fileName, bytes, &reason))
        return fail(tr("%1 cannot be written: %2").arg(fileName, reason));
    return true;
}

} // namespace chartrek
