#pragma once

#include "core/Messages.h"
#include "picture/PixProbeLibrary.h"
#include "picture/BitmapHolder.h"

namespace chartrek {

// The program's only way to read picture colours and line points: through the pixel-probe
// module, on a surface the picture's holder lends for the one call.
class ColorProbe {
public:
    explicit ColorProbe(Messages &messages, PixProbeLibrary &library = PixProbeLibrary::shared())
        : mMessages(messages), mLibrary(library)
    {
    }

    // Colour 0x00BBGGRR at a point in drawing coordinates; -1 outside the picture or without
    // one. When the module cannot be used the scan error is shown (once per probe object, so
    // that a trace of thousands of reads shows it once) and the colour counts as 0.
    qint32 GetColor(qint32 x, qint32 y, BitmapHolder &control);

    // Lets the module place the line point for (x, y) into point and returns its status
    // (PIXPROBE_FOUND, PIXPROBE_CROSSING or PIXPROBE_NOT_FOUND). Without a module or a picture
    // the point goes below the picture, which callers read as "no line point".
    // With a tolerance above 0, pixels within it of the line colour count as the line.
    qint32 GetAPoint(qint32 x, qint32 y, PixProbePoint &point, qint32 lineColor, BitmapHolder &control,
                     int tolerance = 0);
    // The same for a line whose paper and width are known (see PixProbeLine).
    qint32 GetAPoint(qint32 x, qint32 y, PixProbePoint &point, const PixProbeLine &line, BitmapHolder &control);

private:
    DrawingSurface *borrowSurface(BitmapHolder &control);

    Messages &mMessages;
    PixProbeLibrary &mLibrary;
    bool mReported = false;
};

} // namespace chartrek
