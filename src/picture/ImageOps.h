#pragma once

#include "picture/HelperWait.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class QIODevice;

namespace chartrek {

// Largest picture side accepted, in pixels.
constexpr int MaxPictureSide = 32760;

// Cancelled: the person stopped the load; nothing to report.
enum class LoadStatus { Loaded, TooLarge, Failed, Cancelled };

struct LoadedPicture {
    LoadStatus status = LoadStatus::Failed;
    QImage image;   // set when Loaded
    QString error;  // why not, when not Loaded

    static LoadedPicture failure(QString error) { return {LoadStatus::Failed, {}, std::move(error)}; }
};

// The texts of the picture operations for the user, translated in one context: PictureTexts::tr.
struct PictureTexts {
    Q_DECLARE_TR_FUNCTIONS(Pictures)
};

// Both sides at most MaxPictureSide pixels.
bool pictureSizeAllowed(const QSize &pixels);

// Reads the first page of a picture file: BMP and DIB, JPEG, PNG, GIF, TIFF, WebP (told by
// content, not by the name) and Windows Metafiles (drawn by a separate helper process). An
// oversized picture is refused from its header, before decoding. The helper is waited for
// with wait.
LoadedPicture loadPicture(const QString &fileName, const HelperWaiter &wait = waitBlocking);

// The same for a picture other than a metafile, read from an open device.
LoadedPicture loadRasterPicture(QIODevice &device);

// A picture taken from elsewhere (the clipboard), under the same size test.
LoadedPicture acceptPicture(const QImage &image);

// An uninitialised picture of this size and format, or a null one when memory runs out. A
// large one gets memory of its own in huge pages where the system offers them: written for
// the first time in ordinary pages, it would cost more in page faults than in the writing.
QImage newPicture(QSize size, QImage::Format format);

// The forms a held picture takes, the only ones drawing and the pixel probe read: 8 bits with
// a palette, 32 bits, 32 bits with alpha.
bool isHeldFormat(QImage::Format format);

// A picture in a held form. 1-bit and grey pictures become 8-bit ones with their own palette
// without a 32-bit copy on the way (a grey one even keeps its pixels where they are); the rest
// becomes 32 bits. A null image when memory runs out.
QImage toHeldFormat(QImage image);

// 8 bits per pixel with a palette, no dithering: every colour of the picture maps to one
// entry, the same one wherever it occurs. Pure black, pure red and pure blue always have an
// exact entry. A picture of at most 253 other colours keeps them all exactly. An 8-bit picture
// is read as it is, with the same result as its 32-bit form. The picture as it was when
// memory runs out.
QImage reduceColors(const QImage &image);

// Rotation about the centre by hundredths of a degree, positive clockwise on the screen;
// the size is kept, uncovered area black, nearest-neighbour sampling (no new colours).
QImage rotatePicture(const QImage &image, qint32 hundredths);

// Bits per pixel of a held picture as a Windows bitmap stores it: 1, 8 or 24.
int bitmapBitsPerPixel(const QImage &image);

// Writes a Windows bitmap with the picture's present bits per pixel. The file is replaced
// only when the whole picture was written; on failure an existing file stays as it was.
bool saveBitmap(const QImage &image, const QString &fileName, QString *error = nullptr);

} // namespace chartrek
