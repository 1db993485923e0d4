#pragma once

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

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

template <typename T>
void put(QByteArray &bytes, std::initializer_list<T> values)
{
    for (T value : values) {
        char raw[sizeof(T)];
        qToLittleEndian(value, raw);
        bytes.append(raw, sizeof(T));
    }
}

// A 24-bit Windows bitmap header for width x height (negative: rows top first), then pixels.
inline QByteArray bitmapFile(qint32 width, qint32 height, const QByteArray &pixels)
{
    QByteArray bytes("BM");
    put<quint32>(bytes, {quint32(54 + pixels.size()), 0, 54, 40});
    put<qint32>(bytes, {width, height});
    put<quint16>(bytes, {1, 24});
    put<quint32>(bytes, {0, quint32(pixels.size()), 2835, 2835, 0, 0});
    return bytes + pixels;
}

// A placeable Windows Metafile: a 1000 x 500 unit window with a red rectangle in it.
inline QByteArray metafile()
{
    QByteArray body;
    auto record = [&body](quint16 function, std::initializer_list<qint16> params) {
        put<quint32>(body, {quint32(3 + params.size())});
        put<quint16>(body, {function});
        put<qint16>(body, params);
    };
    record(0x020B, {0, 0});               // window origin
    record(0x020C, {500, 1000});          // window extent
    record(0x02FC, {0, 0xFF, 0, 0});      // solid red brush
    record(0x012D, {0});                  // select it
    record(0x041B, {400, 800, 100, 200}); // rectangle
    record(0x0000, {});                   // end
    QByteArray head;
    put<quint32>(head, {0x9AC6CDD7u});
    put<qint16>(head, {0, 0, 0, 1000, 500, 1440, 0, 0});
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(head.constData() + 2 * i);
    put<quint16>(head, {checksum, 1, 9, 0x0300});
    put<quint32>(head, {quint32((18 + body.size()) / 2)});
    put<quint16>(head, {1, 7, 0, 0});
    return head + body;
}

} // namespace chartrek::test
