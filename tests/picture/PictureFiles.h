#pragma once

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QImageWriter>

namespace chartrek::test {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// format "jpeg progressive": a JPEG of several scans.
inline QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool progressive = qstrcmp(format, "jpeg progressive") == 0;
    QImageWriter writer(&buffer, progressive ? "jpeg" : format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
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
    return QByteArray::fromHex("d7cdc69a 0000 0000 0000 e803 f401 a005 00000000 ad50" // placeable header
                               "0100 0900 0003 28000000 0100 07000000 0000"          // metafile header
                               "05000000 0b02 0000 0000"                              // window origin
                               "05000000 0c02 f401 e803"                              // window extent 1000 x 500
                               "07000000 fc02 0000 ff00 0000 0000"                    // solid red brush
                               "04000000 2d01 0000"                                   // select it
                               "07000000 1b04 9001 2003 6400 c800"                    // rectangle
                               "03000000 0000");                                      // end
}

} // namespace chartrek::test
