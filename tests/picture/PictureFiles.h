#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>

namespace chartrek::test {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

template <typename T>
void put(QByteArray &bytes, T value)
{
    char raw[sizeof(T)];
    qToLittleEndian(value, raw);
    bytes.append(raw, sizeof(T));
}

// A 24-bit Windows bitmap header for width x height (negative height: rows top first),
// followed by the given pixel bytes.
inline QByteArray bitmapFile(qint32 width, qint32 height, const QByteArray &pixels)
{
    QByteArray bytes("BM");
    put<quint32>(bytes, quint32(54 + pixels.size()));
    put<quint32>(bytes, 0);
    put<quint32>(bytes, 54);
    put<quint32>(bytes, 40);
    put<qint32>(bytes, width);
    put<qint32>(bytes, height);
    put<quint16>(bytes, 1);
    put<quint16>(bytes, 24);
    put<quint32>(bytes, 0);
    put<quint32>(bytes, quint32(pixels.size()));
    put<qint32>(bytes, 2835);
    put<qint32>(bytes, 2835);
    put<quint32>(bytes, 0);
    put<quint32>(bytes, 0);
    return bytes + pixels;
}

// A placeable Windows Metafile: a 1000 x 500 unit window with a red rectangle in it.
inline QByteArray metafile()
{
    QByteArray body;
    auto record = [&body](quint16 function, std::initializer_list<qint16> params) {
        put<quint32>(body, quint32(3 + params.size()));
        put<quint16>(body, function);
        for (qint16 p : params)
            put<qint16>(body, p);
    };
    record(0x020B, {0, 0});     // window origin
    record(0x020C, {500, 1000}); // window extent
    put<quint32>(body, 7);       // solid red brush
    put<quint16>(body, 0x02FC);
    put<quint16>(body, 0);
    put<quint32>(body, 0x000000FF);
    put<quint16>(body, 0);
    record(0x012D, {0});                  // select it
    record(0x041B, {400, 800, 100, 200}); // rectangle
    record(0x0000, {});                   // end

    QByteArray header;
    put<quint16>(header, 1);
    put<quint16>(header, 9);
    put<quint16>(header, 0x0300);
    put<quint32>(header, quint32((18 + body.size()) / 2));
    put<quint16>(header, 1);
    put<quint32>(header, 7);
    put<quint16>(header, 0);

    QByteArray placeable;
    put<quint32>(placeable, 0x9AC6CDD7u);
    put<quint16>(placeable, 0);
    for (qint16 v : {0, 0, 1000, 500})
        put<qint16>(placeable, v);
    put<quint16>(placeable, 1440);
    put<quint32>(placeable, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(placeable.constData() + 2 * i);
    put<quint16>(placeable, checksum);
    return placeable + header + body;
}

} // namespace chartrek::test
