#pragma once

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <zlib.h>

namespace chartrek::test {

// The path of a file of these bytes made in the folder, or an empty one if it could not be made.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
}

inline QByteArray encode(const QImage &image, const char *format, int quality = -1, bool progressive = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(quality);
    writer.write(image);
    return buffer.data();
}

// Every pixel differs from its neighbours, so that a misplaced one shows and JPEGs are large.
inline QImage noisy(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 251, (x * y) % 253, (x ^ y) & 255));
    return image;
}

// A PNG whose bytes are all zero (black), compressed row by row as it is made, so that a
// 1 MB file holds a gigabyte of pixels. Colour type 0 grey, 2 RGB; without data a header only.
inline QByteArray blackPng(quint32 w, quint32 h, int bitDepth = 1, int colourType = 0, bool withData = true)
{
    auto chunk = [](const QByteArray &typeAndData) {
        QByteArray length(4, '\0'), crc(4, '\0');
        qToBigEndian(quint32(typeAndData.size() - 4), length.data());
        qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(typeAndData.data()), uInt(typeAndData.size()))), crc.data());
        return length + typeAndData + crc;
    };
    QByteArray header("IHDR"), data("IDAT");
    QDataStream(&header, QIODevice::Append) << w << h << quint8(bitDepth) << quint8(colourType);
    header.append(3, '\0'); // deflate, adaptive filters, not interlaced
    const QByteArray row(1 + (w * (colourType == 2 ? 3 : 1) * bitDepth + 7) / 8, '\0'); // filter byte first
    QByteArray out(1 << 16, '\0');
    z_stream z{};
    deflateInit(&z, 6);
    for (quint32 y = 0; withData && y < h; ++y) {
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        z.avail_in = uInt(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(out.data());
            z.avail_out = uInt(out.size());
            deflate(&z, y + 1 == h ? Z_FINISH : Z_NO_FLUSH);
            data.append(out.constData(), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return "\x89PNG\r\n\x1a\n" + chunk(header) + chunk(data) + chunk("IEND");
}

// A 24-bit Windows bitmap header for width x height (negative: rows top first), then pixels.
inline QByteArray bitmapFile(qint32 width, qint32 height, const QByteArray &pixels)
{
    QByteArray bytes("BM");
    QDataStream out(&bytes, QIODevice::Append);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(54 + pixels.size()) << quint32(0) << quint32(54) << quint32(40) << width << height << quint16(1)
        << quint16(24) << quint32(0) << quint32(pixels.size()) << quint32(2835) << quint32(2835) << quint64(0);
    return bytes + pixels;
}

// A placeable Windows Metafile: a 1000 x 500 unit window with a red rectangle in it.
inline QByteArray metafile()
{
    return QByteArray::fromHex("d7cdc69a 0000 0000 0000 e803 f401 a005 00000000 ad50"  // placeable header
                               "0100 0900 0003 28000000 0100 07000000 0000"            // metafile header
                               "05000000 0b02 0000 0000 05000000 0c02 f401 e803"       // window origin, extent
                               "07000000 fc02 0000 ff00 0000 0000 04000000 2d01 0000"  // a solid red brush, chosen
                               "07000000 1b04 9001 2003 6400 c800 03000000 0000");     // rectangle, end
}

} // namespace chartrek::test
