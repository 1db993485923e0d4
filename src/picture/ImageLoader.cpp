#include "picture/ImageOps.h"
#include "picture/MetafileDecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <climits>
#include <cstdlib>
#include <limits>

namespace chartrek {

namespace {

// Enough for a 32760-pixel-wide picture of 16000 lines at 32 bits per pixel.
constexpr int kAllocationLimitMB = 2048;

QString tr(const char *text)
{
    return QCoreApplication::translate("ImageLoader", text);
}

LoadedPicture failed(const QString &error)
{
    return {LoadStatus::Failed, {}, error};
}

LoadedPicture tooLarge(const QSize &size)
{
    return {LoadStatus::TooLarge, {},
            tr("The picture is %1 x %2 pixels; at most %3 pixels are allowed in each direction.")
                .arg(size.width())
                .arg(size.height())
                .arg(MaxPictureSide)};
}

// Transparent parts as a viewer shows them, on white: the tracer compares plain colours.
QImage flattenAlpha(QImage image)
{
    if (!image.hasAlphaChannel())
        return image;
    if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> table = image.colorTable();
        for (QRgb &c : table) {
            const int a = qAlpha(c);
            c = qRgb((qRed(c) * a + 255 * (255 - a)) / 255, (qGreen(c) * a + 255 * (255 - a)) / 255,
                     (qBlue(c) * a + 255 * (255 - a)) / 255);
        }
        image.setColorTable(table);
        return image;
    }
    QImage flat(image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return {};
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// A JPEG whose end-of-image marker is missing was cut short; libjpeg would fill the rest
// with grey and call it a picture.
// Read before the decoder starts, which must then find the device where it began.
bool jpegComplete(QIODevice &device)
{
    const qint64 start = device.pos();
    const qint64 size = device.size();
    const qint64 tail = std::min<qint64>(size, 64 * 1024);
    if (!device.seek(size - tail))
        return false;
    const QByteArray end = device.read(tail);
    return device.seek(start) && end.contains(QByteArray("\xFF\xD9", 2));
}

// The size a header announces, for formats whose reader refuses to tell a very large one.
QSize announcedSize(const QByteArray &head)
{
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() >= 26 && head.startsWith("BM")) {
        const quint32 infoSize = qFromLittleEndian<quint32>(b + 14);
        qint64 w, h;
        if (infoSize == 12) {
            w = qFromLittleEndian<quint16>(b + 18);
            h = qFromLittleEndian<quint16>(b + 20);
        } else {
            w = qFromLittleEndian<qint32>(b + 18);
            h = qFromLittleEndian<qint32>(b + 22);
        }
        // A negative height means rows top first; the most negative one has no size at all.
        if (w <= 0 || h == 0 || h == std::numeric_limits<qint32>::min())
            return {};
        return QSize(int(std::min<qint64>(w, INT_MAX)), int(std::min<qint64>(std::abs(h), INT_MAX)));
    }
    if (head.size() >= 24 && head.startsWith("\x89PNG\r\n\x1a\n") && head.mid(12, 4) == "IHDR") {
        const quint32 w = qFromBigEndian<quint32>(b + 16), h = qFromBigEndian<quint32>(b + 20);
        return QSize(int(std::min<quint32>(w, INT_MAX)), int(std::min<quint32>(h, INT_MAX)));
    }
    if (head.size() >= 10 && (head.startsWith("GIF87a") || head.startsWith("GIF89a")))
        return QSize(qFromLittleEndian<quint16>(b + 6), qFromLittleEndian<quint16>(b + 8));
    return {};
}

LoadedPicture readRaster(QIODevice &device)
{
    const QByteArray head = device.peek(32);
    const QSize fromHeader = announcedSize(head);
    if (fromHeader.isValid() && !pictureSizeAllowed(fromHeader))
        return tooLarge(fromHeader);
    if (head.startsWith("\xFF\xD8\xFF") && !jpegComplete(device))
        return failed(tr("The picture file is incomplete."));
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // Upright as the camera meant it, as every viewer shows a phone photo of a chart.
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return failed(tr("The file is not a picture in a known format, or it is damaged."));
    const QByteArray format = reader.format();
    const QSize announced = reader.size();
    if (announced.isValid() && !pictureSizeAllowed(announced))
        return tooLarge(announced);
    QImage image = reader.read();
    if (image.isNull())
        return failed(tr("The picture could not be read: %1").arg(reader.errorString()));
    if (!pictureSizeAllowed(image.size()))
        return tooLarge(image.size());
    image = flattenAlpha(std::move(image));
    if (image.isNull())
        return failed(tr("There is not enough memory for the picture."));
    return {LoadStatus::Loaded, image, {}};
}

} // namespace

bool pictureSizeAllowed(const QSize &pixels)
{
    return pixels.width() >= 0 && pixels.height() >= 0 && pixels.width() <= MaxPictureSide
        && pixels.height() <= MaxPictureSide;
}

LoadedPicture loadPicture(const QString &fileName, const HelperWaiter &wait)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return failed(tr("The file %1 does not exist.").arg(fileName));
    if (info.isDir())
        return failed(tr("%1 is a folder, not a picture file.").arg(fileName));
    // A pipe or a device could be read forever.
    if (!info.isFile())
        return failed(tr("%1 is not a regular file.").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failed(tr("The file %1 cannot be read: %2").arg(fileName, file.errorString()));
    if (file.size() == 0)
        return failed(tr("The file %1 is empty.").arg(fileName));
    if (looksLikeMetafile(file.peek(32))) {
        file.close();
        return decodeMetafile(fileName, wait);
    }
    if (info.suffix().compare(QStringLiteral("wmf"), Qt::CaseInsensitive) == 0
        && !QImageReader(&file).canRead())
        return failed(tr("The file %1 is not a Windows Metafile.").arg(fileName));
    return readRaster(file);
}

LoadedPicture acceptPicture(const QImage &image)
{
    if (image.isNull())
        return failed(tr("There is no picture."));
    if (!pictureSizeAllowed(image.size()))
        return tooLarge(image.size());
    QImage flat = flattenAlpha(image);
    if (flat.isNull())
        return failed(tr("There is not enough memory for the picture."));
    return {LoadStatus::Loaded, flat, {}};
}

} // namespace chartrek
