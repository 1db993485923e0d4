#include "picture/FileChecks.h"
#include "picture/ImageOps.h"
#include "picture/MetafileDecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace chartrek {

namespace {

// The most memory Qt's readers may take for one picture. They count every picture at no less
// than 32 bits per pixel, so this is what a 32760 x 32760 one needs, 1-bit and grey ones too;
// only pictures of 16 bits per channel can need more.
constexpr int kAllocationLimitMB = 4096;

LoadedPicture tooLarge(const QSize &size)
{
    return {LoadStatus::TooLarge, {},
            PictureTexts::tr("The picture is %1 x %2 pixels; at most %3 pixels are allowed in each direction.")
                .arg(size.width())
                .arg(size.height())
                .arg(MaxPictureSide)};
}

LoadedPicture notEnoughMemory(const QSize &size)
{
    return LoadedPicture::failure(PictureTexts::tr("There is not enough memory for a picture of %1 x %2 pixels.")
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

} // namespace

LoadedPicture loadRasterPicture(QIODevice &device)
{
    const QByteArray head = device.peek(32);
    const QSize fromHeader = announcedSize(head);
    if (fromHeader.isValid() && !pictureSizeAllowed(fromHeader))
        return tooLarge(fromHeader);
    if (head.startsWith("\xFF\xD8\xFF") && !jpegComplete(device))
        return LoadedPicture::failure(PictureTexts::tr("The picture file is incomplete."));
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // Upright as the camera meant it, as every viewer shows a phone photo of a chart.
    reader.setAutoTransform(true);
    // Only the formats offered: the other decoders Qt may find (MNG, ICNS, TGA ...) were asked
    // for by nobody, and some decode a picture of any size before telling it.
    static const QList<QByteArray> offered{"bmp", "jpeg", "png", "gif", "tiff", "webp"};
    if (!reader.canRead() || !offered.contains(reader.format()))
        return LoadedPicture::failure(
            PictureTexts::tr("The file is not a picture in a known format, or it is damaged."));
    const QSize announced = reader.size();
    if (announced.isValid() && !pictureSizeAllowed(announced))
        return tooLarge(announced);
    // The reader would refuse it with no more than "Unable to read image data".
    const QImage::Format decoded = reader.imageFormat();
    if (announced.isValid() && readerMegabytes(announced, decoded) > kAllocationLimitMB)
        return LoadedPicture::failure(
            PictureTexts::tr("The picture of %1 x %2 pixels would need %3 MB of memory to be read; "
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
        return LoadedPicture::failure(PictureTexts::tr("The picture could not be read: %1").arg(reader.errorString()));
    }
    if (!pictureSizeAllowed(image.size()))
        return tooLarge(image.size());
    return held(std::move(image));
}

bool pictureSizeAllowed(const QSize &pixels)
{
    return pixels.width() >= 0 && pixels.height() >= 0 && pixels.width() <= MaxPictureSide
        && pixels.height() <= MaxPictureSide;
}

LoadedPicture loadPicture(const QString &fileName, const HelperWaiter &wait)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return LoadedPicture::failure(PictureTexts::tr("The file %1 does not exist.").arg(fileName));
    if (info.isDir())
        return LoadedPicture::failure(PictureTexts::tr("%1 is a folder, not a picture file.").arg(fileName));
    // A pipe or a device could be read forever.
    if (!info.isFile())
        return LoadedPicture::failure(PictureTexts::tr("%1 is not a regular file.").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return LoadedPicture::failure(
            PictureTexts::tr("The file %1 cannot be read: %2").arg(fileName, file.errorString()));
    if (file.size() == 0)
        return LoadedPicture::failure(PictureTexts::tr("The file %1 is empty.").arg(fileName));
    if (looksLikeMetafile(file.peek(32))) {
        file.close();
        return decodeMetafile(fileName, wait);
    }
    if (info.suffix().compare(QStringLiteral("wmf"), Qt::CaseInsensitive) == 0
        && !QImageReader(&file).canRead())
        return LoadedPicture::failure(PictureTexts::tr("The file %1 is not a Windows Metafile.").arg(fileName));
    return loadRasterPicture(file);
}

LoadedPicture acceptPicture(const QImage &image)
{
    if (image.isNull())
        return LoadedPicture::failure(PictureTexts::tr("There is no picture."));
    if (!pictureSizeAllowed(image.size()))
        return tooLarge(image.size());
    return held(image);
}

} // namespace chartrek
