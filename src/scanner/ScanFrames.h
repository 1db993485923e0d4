#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace chartrek {

// The layout of one frame as the scanner reports it (sane_get_parameters).
struct ScanFrameFormat {
    int format = 0;        // a SANE_Frame value
    int depth = 8;         // bits per sample: 1, 8 or 16
    int pixelsPerLine = 0;
    int bytesPerLine = 0;  // may exceed what the pixels need: the rest of a line is padding
    int lines = 0;         // -1 when the scanner learns the height only at the end
    bool lastFrame = true;
};

struct ScanFrame {
    ScanFrameFormat format;
    QByteArray data;
};

// Whether a frame of this layout can become (part of) a picture; otherwise the reason.
bool isSupportedScanFrame(const ScanFrameFormat &format, QString *error = nullptr);

// The bytes one frame is announced to have, or -1 when its height is unknown.
qint64 expectedScanFrameBytes(const ScanFrameFormat &format);

// Turns the frames of one acquisition into a picture: one gray frame (1 bit: lineart,
// 8 or 16 bits), one RGB frame, or a red, a green and a blue frame in any order.
// 16-bit samples are in the machine's byte order, as SANE delivers them.
std::optional<QImage> imageFromScanFrames(const QList<ScanFrame> &frames, QString *error = nullptr);

} // namespace chartrek
