#include "picture/ImageOps.h"

#include "core/AtomicFile.h"
#include "picture/BitmapWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace chartrek {

namespace {

#ifdef Q_OS_LINUX
// A mapping a picture lives in, unmapped with the picture's last copy.
struct Mapping {
    void *start;
    size_t length;
};

void unmap(void *info)
{
    auto *mapping = static_cast<Mapping *>(info);
    ::munmap(mapping->start, mapping->length);
    delete mapping;
}
#endif

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

// The targets k in [0, count) whose source position start + k * step (fixed point) lies in
// [0, limit), as [first, end): one run, since the position moves along a line.
std::pair<int, int> insideRun(qint64 start, qint64 step, qint64 limit, int count)
{
    if (step < 0) // the same run, counted from the other end of [0, limit)
        return insideRun(limit - 1 - start, -step, limit, count);
    const auto floorDiv = [](qint64 a, qint64 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    if (step == 0)
        return start >= 0 && start < limit ? std::pair(0, count) : std::pair(0, 0);
    const qint64 first = std::max<qint64>(0, floorDiv(-start + step - 1, step));
    const qint64 end = std::min<qint64>(count, floorDiv(limit - 1 - start, step) + 1);
    return first < end ? std::pair(int(first), int(end)) : std::pair(0, 0);
}

// Screen coordinates run downwards, so the usual rotation matrix turns clockwise there. Each
// target pixel centre is turned back onto the source and takes the pixel it lands in. Along a
// row the source position moves by a fixed step, followed in fixed point from the row's start:
// 44 fraction bits keep it within 2^-29 pixel of the exact position across the widest row,
// and the run of targets inside the source is found first, so that the loop only copies.
template <typename Pixel>
void rotateRows(const QImage &source, QImage &result, qint32 hundredths, Pixel black)
{
    constexpr int kFraction = 44;
    const double angle = double(hundredths) / 100.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle), one = std::ldexp(1.0, kFraction);
    const int w = source.width(), h = source.height();
    const double cx = w / 2.0, cy = h / 2.0;
    const qint64 stepX = std::llround(c * one), stepY = std::llround(-s * one);
    const qint64 limitX = qint64(w) << kFraction, limitY = qint64(h) << kFraction;
    std::vector<const Pixel *> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[size_t(y)] = reinterpret_cast<const Pixel *>(source.constScanLine(y));
    for (int y = 0; y < h; ++y) {
        const double dy = y + 0.5 - cy;
        qint64 fx = std::llround(std::floor((c * (0.5 - cx) + s * dy + cx) * one));
        qint64 fy = std::llround(std::floor((-s * (0.5 - cx) + c * dy + cy) * one));
        const auto [fromX, endX] = insideRun(fx, stepX, limitX, w);
        const auto [fromY, endY] = insideRun(fy, stepY, limitY, w);
        const int first = std::max(fromX, fromY), end = std::max(first, std::min(endX, endY));
        Pixel *out = reinterpret_cast<Pixel *>(result.scanLine(y));
        std::fill(out, out + first, black);
        fx += first * stepX;
        fy += first * stepY;
        for (int x = first; x < end; ++x, fx += stepX, fy += stepY)
            out[x] = rows[size_t(fy >> kFraction)][fx >> kFraction];
        std::fill(out + end, out + w, black);
    }
}

} // namespace

QImage newPicture(QSize size, QImage::Format format)
{
#ifdef Q_OS_LINUX
    constexpr qsizetype kHugePage = qsizetype(2) << 20;
    const qsizetype depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype bytesPerLine = (qsizetype(size.width()) * depth + 31) / 32 * 4;
    const qsizetype bytes = bytesPerLine * size.height();
    // Below a few huge pages the ordinary allocation is as quick.
    if (!size.isEmpty() && depth > 0 && bytes >= 4 * kHugePage && bytes / bytesPerLine == size.height()) {
        const size_t length = size_t(bytes + kHugePage);
        void *start = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (start != MAP_FAILED) {
            auto *aligned = reinterpret_cast<uchar *>((quintptr(start) + kHugePage - 1) & ~quintptr(kHugePage - 1));
            ::madvise(aligned, size_t(bytes), MADV_HUGEPAGE);
            auto *mapping = new Mapping{start, length};
            QImage image(aligned, size.width(), size.height(), bytesPerLine, format, unmap, mapping);
            if (!image.isNull())
                return image;
            unmap(mapping);
        }
    }
#endif
    return QImage(size, format);
}

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
    QImage result = newPicture(source.size(), source.format());
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

    if (source.format() == QImage::Format_Indexed8)
        rotateRows<uchar>(source, result, hundredths, uchar(black));
    else
        rotateRows<uint>(source, result, hundredths, black);
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
        return fail(PictureTexts::tr("There is no picture to save."));
    // Encoded in memory first, so that the file is replaced in one checked write. An 8-bit
    // picture keeps its 8 bits; Qt writes 32-bit ones as 24-bit bitmaps.
    QByteArray bytes = encodeBitmap8(image);
    if (bytes.isEmpty()) {
        if (image.format() == QImage::Format_Indexed8)
            return fail(PictureTexts::tr("There is not enough memory to write %1").arg(fileName));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "bmp");
        if (!writer.write(image))
            return fail(PictureTexts::tr("%1 cannot be written: %2").arg(fileName, writer.errorString()));
    }
    QString reason;
    if (!writeFileAtomically(fileName, bytes, &reason))
        return fail(PictureTexts::tr("%1 cannot be written: %2").arg(fileName, reason));
    return true;
}

} // namespace chartrek
