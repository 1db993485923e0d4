#include "picture/ImageOps.h"
#include "picture/MetafileDecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace chartrek {

namespace {

// The most memory Qt's readers may take for one picture. They count every picture at no less
// than 32 bits per pixel, so this is what a 32760 x 32760 one needs, 1-bit and grey ones too;
// only pictures of 16 bits per channel can need more.
constexpr int kAllocationLimitMB = 4096;

LoadedPicture tooLarge(const QSize &size)
{
    return {LoadStatus::TooLarge, {},
            pictureText("The picture is %1 x %2 pixels; at most %3 pixels are allowed in each direction.")
                .arg(size.width())
                .arg(size.height())
                .arg(MaxPictureSide)};
}

LoadedPicture notEnoughMemory(const QSize &size)
{
    return LoadedPicture::failure(pictureText("There is not enough memory for a picture of %1 x %2 pixels.")
                      .arg(size.width())
                      .arg(size.height()));
}

// What a reader counts for a picture of this size and format, in whole megabytes.
qint64 readerMegabytes(const QSize &size, QImage::Format format)
{
    const int depth = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bits = std::max(32, depth);
    return ((qint64(size.width()) * bits + 31) / 32 * 4 * size.height()) >> 20;
}

// Transparent parts as a viewer shows them, on white: the tracer compares plain colours.
QImage flattenAlpha(QImage image)
{
    if (!image.hasAlphaChannel())
        return image;
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB) {
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

// A decoded picture in the form it is held in, without transparency.
LoadedPicture held(QImage image)
{
    const QSize size = image.size();
    image = toHeldFormat(flattenAlpha(std::move(image)));
    if (image.isNull())
        return notEnoughMemory(size);
    return {LoadStatus::Loaded, image, {}};
}

// Reads a file forwards in blocks, for walking through its structure without holding all of it.
class ByteWalker {
public:
    explicit ByteWalker(QIODevice &device) : mDevice(device) {}

    // The next byte, -1 at the end of the file.
    int next()
    {
        if (mPos == mBlock.size() && !refill())
            return -1;
        return uchar(mBlock[mPos++]);
    }
    // False when the file ends first.
    bool skip(qint64 count)
    {
        const qint64 buffered = std::min<qint64>(count, mBlock.size() - mPos);
        mPos += buffered;
        count -= buffered;
        return count == 0 || mDevice.skip(count) == count;
    }
    // Moves on to the next 0xFF byte and takes it; false at the end of the file.
    bool takeThroughFF()
    {
        for (;;) {
            const char *from = mBlock.constData() + mPos;
            const void *found = std::memchr(from, 0xFF, size_t(mBlock.size() - mPos));
            if (found) {
                mPos += static_cast<const char *>(found) - from + 1;
                return true;
            }
            if (!refill())
                return false;
        }
    }

private:
    bool refill()
    {
        mBlock = mDevice.read(64 * 1024);
        mPos = 0;
        return !mBlock.isEmpty();
    }

    QIODevice &mDevice;
    QByteArray mBlock;
    qsizetype mPos = 0;
};

// A JPEG ends with its end-of-image marker, after the last scan; libjpeg would fill a file cut
// short before it with grey and call it a picture. What follows the marker (a phone's second
// picture or video) is no part of it. The segments are walked from the start: marker
// segments by their lengths, the coded data of each scan up to the next marker that is
// neither a stuffed 0xFF00 nor a restart marker.
// Read before the decoder starts, which must then find the device where it began.
bool jpegComplete(QIODevice &device)
{
    const qint64 start = device.pos();
    ByteWalker walk(device);
    bool complete = false;
    if (walk.next() == 0xFF && walk.next() == 0xD8) {
        for (;;) {
            // Bytes between segments are skipped, as libjpeg skips them.
            if (!walk.takeThroughFF())
                break;
            int marker = walk.next();
            while (marker == 0xFF) // fill bytes before a marker
                marker = walk.next();
            if (marker < 0)
                break;
            if (marker == 0xD9) {
                complete = true;
                break;
            }
            // Stuffed zero bytes and restart markers belong to a scan's coded data; the rest
            // without a length stand alone.
            if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD8) || marker == 0x01)
                continue;
            const int high = walk.next(), low = walk.next();
            if (high < 0 || low < 0 || ((high << 8) | low) < 2 || !walk.skip(((high << 8) | low) - 2))
                break;
        }
    }
    return device.seek(start) && complete;
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
        return LoadedPicture::failure(pictureText("The picture file is incomplete."));
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // Upright as the camera meant it, as every viewer shows a phone photo of a chart.
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return LoadedPicture::failure(pictureText("The file is not a picture in a known format, or it is damaged."));
    const QSize announced = reader.size();
    if (announced.isValid() && !pictureSizeAllowed(announced))
        return tooLarge(announced);
    // The reader would refuse it with no more than "Unable to read image data".
    const QImage::Format decoded = reader.imageFormat();
    if (announced.isValid() && readerMegabytes(announced, decoded) > kAllocationLimitMB)
        return LoadedPicture::failure(pictureText("The picture of %1 x %2 pixels would need %3 MB of memory to be read; "
                         "at most %4 MB are allowed for one picture.")
                          .arg(announced.width())
                          .arg(announced.height())
                          .arg(readerMegabytes(announced, decoded))
                          .arg(kAllocationLimitMB));
    QImage image = reader.read();
    if (image.isNull()) {
        // The reader says the same when memory ran out; a picture that cannot even be made
        // empty tells which it was.
        if (announced.isValid()
            && QImage(announced, decoded == QImage::Format_Invalid ? QImage::Format_RGB32 : decoded).isNull())
            return notEnoughMemory(announced);
        return LoadedPicture::failure(pictureText("The picture could not be read: %1").arg(reader.errorString()));
    }
    if (!pictureSizeAllowed(image.size()))
        return tooLarge(image.size());
    return held(std::move(image));
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
        return LoadedPicture::failure(pictureText("The file %1 does not exist.").arg(fileName));
    if (info.isDir())
        return LoadedPicture::failure(pictureText("%1 is a folder, not a picture file.").arg(fileName));
    // A pipe or a device could be read forever.
    if (!info.isFile())
        return LoadedPicture::failure(pictureText("%1 is not a regular file.").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return LoadedPicture::failure(pictureText("The file %1 cannot be read: %2").arg(fileName, file.errorString()));
    if (file.size() == 0)
        return LoadedPicture::failure(pictureText("The file %1 is empty.").arg(fileName));
    if (looksLikeMetafile(file.peek(32))) {
        file.close();
        return decodeMetafile(fileName, wait);
    }
    if (info.suffix().compare(QStringLiteral("wmf"), Qt::CaseInsensitive) == 0
        && !QImageReader(&file).canRead())
        return LoadedPicture::failure(pictureText("The file %1 is not a Windows Metafile.").arg(fileName));
    return readRaster(file);
}

LoadedPicture acceptPicture(const QImage &image)
{
    if (image.isNull())
        return LoadedPicture::failure(pictureText("There is no picture."));
    if (!pictureSizeAllowed(image.size()))
        return tooLarge(image.size());
    return held(image);
}

} // namespace chartrek
