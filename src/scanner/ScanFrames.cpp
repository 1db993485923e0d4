#include "scanner/ScanFrames.h"

#include "scanner/ScannerTexts.h"

#include <sane/sane.h>

#include <QRgba64>

#include <cstring>

namespace chartrek {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

int channelsOf(int format)
{
    return format == SANE_FRAME_RGB ? 3 : 1;
}

qint64 neededBytesPerLine(const ScanFrameFormat &f)
{
    const qint64 samples = qint64(f.pixelsPerLine) * channelsOf(f.format);
    return f.depth == 1 ? (samples + 7) / 8 : samples * (f.depth / 8);
}

// Sample i of a line, scaled to 0..255 (1 and 8 bits) or 0..65535 (16 bits). A set bit
// is full intensity; lineart inverts that itself.
inline quint16 sampleAt(const uchar *line, qint64 i, int depth)
{
    switch (depth) {
    case 1:
        return (line[i / 8] >> (7 - i % 8)) & 1 ? 255 : 0;
    case 8:
        return line[i];
    default: {
        quint16 value;
        std::memcpy(&value, line + 2 * i, sizeof value);
        return value;
    }
    }
}

// Lines actually usable from a frame: the announced count, or as many whole lines as
// arrived when the height was unknown. Fewer bytes than announced is a fault of the
// device and refused rather than shown as a cut-off picture.
std::optional<int> linesOf(const ScanFrame &frame, QString *error)
{
    const ScanFrameFormat &f = frame.format;
    const qint64 available = frame.data.size() / f.bytesPerLine;
    if (f.lines < 0) {
        if (available == 0) {
            setError(error, ScannerTexts::tr("The scanner sent no picture data."));
            return std::nullopt;
        }
        return int(available);
    }
    if (available < f.lines) {
        setError(error, ScannerTexts::tr("The scanner sent %1 of %2 lines.").arg(available).arg(f.lines));
        return std::nullopt;
    }
    return f.lines;
}

QImage blankImage(int width, int height, QImage::Format format, QString *error)
{
    QImage image(width, height, format);
    if (image.isNull())
        setError(error, ScannerTexts::tr("There is not enough memory for a scanned picture of %1 x %2 pixels.")
                            .arg(width)
                            .arg(height));
    return image;
}

std::optional<QImage> grayImage(const ScanFrame &frame, int lines, QString *error)
{
    const ScanFrameFormat &f = frame.format;
    const auto format = f.depth == 1 ? QImage::Format_Mono
                        : f.depth == 8 ? QImage::Format_Grayscale8
                                       : QImage::Format_Grayscale16;
    QImage image = blankImage(f.pixelsPerLine, lines, format, error);
    if (image.isNull())
        return std::nullopt;
    if (f.depth == 1)
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // lineart: a set bit is black
    const qint64 lineBytes = neededBytesPerLine(f);
    const auto *data = reinterpret_cast<const uchar *>(frame.data.constData());
    for (int y = 0; y < lines; ++y)
        std::memcpy(image.scanLine(y), data + qint64(y) * f.bytesPerLine, lineBytes);
    return image;
}

std::optional<QImage> rgbImage(const ScanFrame &frame, int lines, QString *error)
{
    const ScanFrameFormat &f = frame.format;
    QImage image = blankImage(f.pixelsPerLine, lines,
                              f.depth == 16 ? QImage::Format_RGBX64 : QImage::Format_RGB888, error);
    if (image.isNull())
        return std::nullopt;
    const auto *data = reinterpret_cast<const uchar *>(frame.data.constData());
    for (int y = 0; y < lines; ++y) {
        const uchar *line = data + qint64(y) * f.bytesPerLine;
        if (f.depth == 8) {
            std::memcpy(image.scanLine(y), line, qsizetype(f.pixelsPerLine) * 3);
        } else if (f.depth == 16) {
            auto *out = reinterpret_cast<QRgba64 *>(image.scanLine(y));
            for (int x = 0; x < f.pixelsPerLine; ++x)
                out[x] = QRgba64::fromRgba64(sampleAt(line, 3 * x, 16), sampleAt(line, 3 * x + 1, 16),
                                             sampleAt(line, 3 * x + 2, 16), 0xffff);
        } else {
            uchar *out = image.scanLine(y);
            for (qint64 i = 0; i < qint64(f.pixelsPerLine) * 3; ++i)
                out[i] = uchar(sampleAt(line, i, 1));
        }
    }
    return image;
}

std::optional<QImage> imageFromPlanes(const QList<ScanFrame> &frames, QString *error)
{
    const ScanFrame *planes[3] = {};
    for (const ScanFrame &frame : frames) {
        const int index = frame.format.format - SANE_FRAME_RED;
        if (index < 0 || index > 2 || planes[index]) {
            setError(error, ScannerTexts::tr("The scanner sent an unexpected sequence of colour frames."));
            return std::nullopt;
        }
        planes[index] = &frame;
    }
    const ScanFrameFormat &f = planes[0]->format;
    std::optional<int> lines = linesOf(*planes[0], error);
    if (!lines)
        return std::nullopt;
    for (const ScanFrame *plane : planes) {
        const std::optional<int> planeLines = linesOf(*plane, error);
        if (!planeLines)
            return std::nullopt;
        if (plane->format.pixelsPerLine != f.pixelsPerLine || plane->format.depth != f.depth
            || *planeLines != *lines) {
            setError(error, ScannerTexts::tr("The scanner sent colour frames of different sizes."));
            return std::nullopt;
        }
    }
    QImage image = blankImage(f.pixelsPerLine, *lines,
                              f.depth == 16 ? QImage::Format_RGBX64 : QImage::Format_RGB888, error);
    if (image.isNull())
        return std::nullopt;
    for (int y = 0; y < *lines; ++y) {
        const uchar *line[3];
        for (int c = 0; c < 3; ++c)
            line[c] = reinterpret_cast<const uchar *>(planes[c]->data.constData())
                      + qint64(y) * planes[c]->format.bytesPerLine;
        if (f.depth == 16) {
            auto *out = reinterpret_cast<QRgba64 *>(image.scanLine(y));
            for (int x = 0; x < f.pixelsPerLine; ++x)
                out[x] = QRgba64::fromRgba64(sampleAt(line[0], x, 16), sampleAt(line[1], x, 16),
                                             sampleAt(line[2], x, 16), 0xffff);
        } else {
            uchar *out = image.scanLine(y);
            for (int x = 0; x < f.pixelsPerLine; ++x)
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = uchar(sampleAt(line[c], x, f.depth));
        }
    }
    return image;
}

} // namespace

bool isSupportedScanFrame(const ScanFrameFormat &f, QString *error)
{
    if (f.format < SANE_FRAME_GRAY || f.format > SANE_FRAME_BLUE) {
        setError(error, ScannerTexts::tr("The scanner sends pictures in a form this program cannot read (frame type %1).")
                            .arg(f.format));
        return false;
    }
    if (f.depth != 1 && f.depth != 8 && f.depth != 16) {
        setError(error, ScannerTexts::tr("The scanner sends %1 bits per sample; 1, 8 or 16 can be read.").arg(f.depth));
        return false;
    }
    if (f.pixelsPerLine <= 0 || f.lines == 0 || f.lines < -1 || f.bytesPerLine < neededBytesPerLine(f)) {
        setError(error, ScannerTexts::tr("The scanner reported an impossible picture size."));
        return false;
    }
    return true;
}

qint64 expectedScanFrameBytes(const ScanFrameFormat &format)
{
    return format.lines < 0 ? -1 : qint64(format.lines) * format.bytesPerLine;
}

std::optional<QImage> imageFromScanFrames(const QList<ScanFrame> &frames, QString *error)
{
    if (frames.isEmpty()) {
        setError(error, ScannerTexts::tr("The scanner sent no picture data."));
        return std::nullopt;
    }
    for (const ScanFrame &frame : frames) {
        if (!isSupportedScanFrame(frame.format, error))
            return std::nullopt;
    }
    const int format = frames.first().format.format;
    if (format == SANE_FRAME_GRAY || format == SANE_FRAME_RGB) {
        if (frames.size() != 1) {
            setError(error, ScannerTexts::tr("The scanner sent an unexpected sequence of frames."));
            return std::nullopt;
        }
        const std::optional<int> lines = linesOf(frames.first(), error);
        if (!lines)
            return std::nullopt;
        return format == SANE_FRAME_GRAY ? grayImage(frames.first(), *lines, error)
                                         : rgbImage(frames.first(), *lines, error);
    }
    if (frames.size() != 3) {
        setError(error, ScannerTexts::tr("The scanner sent %1 colour frames instead of three.").arg(frames.size()));
        return std::nullopt;
    }
    return imageFromPlanes(frames, error);
}

} // namespace chartrek
