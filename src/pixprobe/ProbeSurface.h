// Inside the probe module: reading the lent picture, and the vertical runs of line pixels that
// every rule of the module starts from.
#pragma once

#include "pixprobe/LineInk.h"
#include "pixprobe/PixProbe.h"

#include <cstdint>

namespace chartrek::probe {

constexpr int32_t NoColor = -1;

// A surface whose lines are shorter than its width, or an 8-bit one without a palette of 1 to
// 256 entries, would send the reads past what the caller lent.
inline bool usable(const PixProbeSurface *dc)
{
    if (!dc || !dc->bits || dc->width <= 0 || dc->height <= 0)
        return false;
    if (dc->bitsPerPixel == 8)
        return dc->bytesPerLine >= dc->width && dc->palette && dc->paletteSize > 0 && dc->paletteSize <= 256;
    return dc->bitsPerPixel == 32 && int64_t(dc->bytesPerLine) >= int64_t(dc->width) * 4;
}

// 0x00BBGGRR of a pixel, NoColor outside.
inline int32_t pixel(const PixProbeSurface *dc, int32_t col, int32_t row)
{
    if (col < 0 || row < 0 || col >= dc->width || row >= dc->height)
        return NoColor;
    const uint8_t *line = dc->bits + int64_t(row) * dc->bytesPerLine;
    uint32_t argb;
    if (dc->bitsPerPixel == 8) {
        const uint8_t index = line[col];
        argb = (dc->palette && index < dc->paletteSize) ? dc->palette[index] : 0;
    } else {
        argb = reinterpret_cast<const uint32_t *>(line)[col];
    }
    return int32_t(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
}

inline bool onLine(const PixProbeSurface *dc, int32_t col, int32_t row, const LineInk &ink)
{
    return ink.matches(pixel(dc, col, row));
}

// A vertical run of line-colour pixels in one column and its middle (rows; row r's middle is
// r + 0.5), each pixel weighing by how close its colour is to the line colour.
struct Run {
    int32_t top = 0;
    int32_t bottom = 0;
    double middle = 0;
    int32_t height() const { return bottom - top + 1; }
};

// The run through the line pixel nearest to row `start` within `reach` rows (the upper one at
// equal distance).
bool findRun(const PixProbeSurface *dc, int32_t col, int32_t start, int reach, const LineInk &ink, Run &run);

} // namespace chartrek::probe
