#include "picture/BitmapWriter.h"

#include <QtEndian>

#include <cstring>

namespace chartrek {

namespace {
constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;

void put16(char *at, quint16 v) { qToLittleEndian(v, at); }
void put32(char *at, quint32 v) { qToLittleEndian(v, at); }
} // namespace

QByteArray encodeBitmap8(const QImage &image)
{
    if (image.format() != QImage::Format_Indexed8 || image.isNull())
        return {};
    const QList<QRgb> palette = image.colorTable();
    const qint64 colors = palette.isEmpty() ? 256 : palette.size();
    const qint64 rowBytes = (qint64(image.width()) + 3) / 4 * 4;
    const qint64 offset = kFileHeader + kInfoHeader + colors * 4;
    const qint64 total = offset + rowBytes * image.height();
    if (total > 0x7FFFFFFF)
        return {};
    QByteArray bytes(qsizetype(total), '\0');
    if (bytes.size() != total)
        return {};
    char *out = bytes.data();
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, quint32(total));
    put32(out + 10, quint32(offset));
    char *info = out + kFileHeader;
    put32(info, kInfoHeader);
    put32(info + 4, quint32(image.width()));
    put32(info + 8, quint32(image.height())); // positive: the rows are stored bottom-up
    put16(info + 12, 1);
    put16(info + 14, 8);
    put32(info + 20, quint32(rowBytes * image.height()));
    // Pixels per metre from the picture's own resolution (3780 is 96 dots per inch).
    put32(info + 24, quint32(image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780));
    put32(info + 28, quint32(image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : 3780));
    put32(info + 32, quint32(colors));
    char *entry = info + kInfoHeader;
    for (qint64 k = 0; k < colors; ++k, entry += 4) {
        const QRgb c = k < palette.size() ? palette[k] : qRgb(int(k), int(k), int(k));
        entry[0] = char(qBlue(c));
        entry[1] = char(qGreen(c));
        entry[2] = char(qRed(c));
    }
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out + offset + rowBytes * (image.height() - 1 - y), image.constScanLine(y), size_t(image.width()));
    return bytes;
}

} // namespace chartrek
