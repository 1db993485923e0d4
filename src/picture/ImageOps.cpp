#include "picture/ImageOps.h"

#include "core/AtomicFile.h"
#include "picture/BitmapWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>

#include <cmath>
#include <numbers>

namespace chartrek {

QString pictureText(const char *text)
{
    return QCoreApplication::translate("Pictures", text);
}

namespace {

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

QList<QRgb> greyPalette()
{
    QList<QRgb> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = qRgb(i, i, i);
    return palette;
}

QImage monoToIndexed(const QImage &mono)
{
    QImage result(mono.size(), QImage::Format_Indexed8);
    if (result.isNull())
        return {};
    // Qt's own default for a 1-bit picture without colours: 0 white, 1 black.
    QList<QRgb> palette = mono.colorTable();
    if (palette.isEmpty())
        palette = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    while (palette.size() < 2)
        palette.append(qRgb(0, 0, 0));
    const bool lsbFirst = mono.format() == QImage::Format_MonoLSB;
    for (int y = 0; y < mono.height(); ++y) {
        const uchar *in = mono.constScanLine(y);
        uchar *out = result.scanLine(y);
        for (int x = 0; x < mono.width(); ++x)
            out[x] = (in[x >> 3] >> (lsbFirst ? (x & 7) : 7 - (x & 7))) & 1;
    }
    result.setColorTable(palette);
    return result;
}

QImage grey16ToIndexed(const QImage &grey)
{
    QImage result(grey.size(), QImage::Format_Indexed8);
    if (result.isNull())
        return {};
    for (int y = 0; y < grey.height(); ++y) {
        const auto *in = reinterpret_cast<const quint16 *>(grey.constScanLine(y));
        uchar *out = result.scanLine(y);
        // Rounded to the nearest 8-bit grey, as Qt's own conversions do.
        for (int x = 0; x < grey.width(); ++x)
            out[x] = uchar((in[x] + 128) / 257);
    }
    result.setColorTable(greyPalette());
    return result;
}

} // namespace

bool isHeldFormat(QImage::Format format)
{
    return format == QImage::Format_Indexed8 || format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

QImage toHeldFormat(QImage image)
{
    switch (image.format()) {
    case QImage::Format_Invalid:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return monoToIndexed(image);
    case QImage::Format_Grayscale8:
        // The same bytes, read through a grey palette; copied only if the picture is shared.
        if (!image.reinterpretAsFormat(QImage::Format_Indexed8))
            return {};
        image.setColorTable(greyPalette());
        return image;
    case QImage::Format_Grayscale16:
        return grey16ToIndexed(image);
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}

QImage rotatePicture(const QImage &image, qint32 hundredths)
{
    if (image.isNull())
        return image;
    const QImage source = toHeldFormat(image);
    QImage result(source.size(), source.format());
    if (source.isNull() || result.isNull())
        return image;
    uint black = 0xFF000000u;
    if (source.format() == QImage::Format_Indexed8) {
        result.setColorTable(source.colorTable());
        const int index = blackIndex(result);
        if (index < 0) {
            // A full palette without black: black still has to be exact.
            const QImage wide = source.convertToFormat(QImage::Format_RGB32);
            return wide.isNull() ? image : rotatePicture(wide, hundredths);
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
        return fail(pictureText("There is no picture to save."));
    // Encoded in memory first, so that the file is replaced in one checked write. An 8-bit
    // picture keeps its 8 bits; Qt writes 32-bit ones as 24-bit bitmaps.
    QByteArray bytes = encodeBitmap8(image);
    if (bytes.isEmpty()) {
        if (image.format() == QImage::Format_Indexed8)
            return fail(pictureText("There is not enough memory to write %1").arg(fileName));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "bmp");
        if (!writer.write(image))
            return fail(pictureText("%1 cannot be written: %2").arg(fileName, writer.errorString()));
    }
    QString reason;
    if (!writeFileAtomically(fileName, bytes, &reason))
        return fail(pictureText("%1 cannot be written: %2").arg(fileName, reason));
    return true;
}

} // namespace chartrek
