// The pixel-probe module. Reads a picture lent for one call and never keeps it.
//
// How GetAPoint places its point (the tracer's accuracy rests on these rules):
// 1. The candidate's column is the pixel column its x lies in. A candidate left or right of
//    the picture finds nothing.
// 2. In that column, starting at the candidate's row (moved into the picture if it lies above
//    or below), the nearest pixel of the line colour is searched up to SearchRows rows away;
//    at equal distance the upper one wins. A pixel is of the line colour when it is exactly
//    that colour, or, in the tolerant search, when no channel differs by more than the
//    tolerance.
// 3. The run of line-colour pixels through that pixel, in the same column, is taken, and the
//    point becomes the middle of that run: x the middle of the column, y the middle of the run,
//    in twips (a click on a pixel gives its top-left corner, twips r * twipsPerPixel for row
//    r; the middle of row r is half a pixel further). In the tolerant search each pixel of the run weighs by how close its colour is, so that
//    the edges of an anti-aliased or blurred line pull the middle by their share. Status FOUND.
// 4. Nothing found, or a line colour no pixel can have (outside 0 to 0xFFFFFF): x stays, y is
//    one row below the picture (its -y exceeds the picture's height, which the tracer reads as
//    "no line point"). Status NOT_FOUND.
// 5. A found point is checked for a crossing: a ring of RingRadius pixels around the point is
//    read, and every stretch of the ring in the line colour is a stroke. A line that just
//    passes through cuts the ring twice; three or more strokes mean another line of the same
//    colour (a tick, a grid line, another curve, a label) meets it here, and a ring all of the
//    line colour means a blot. Either way the column's run may belong to the other line, and
//    the status is CROSSING (1000). Lines of other colours cannot mislead the search, which
//    only sees the line colour: they leave the point trusted.

#include "PixProbe.h"

#include "core/Twips.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#define PIXPROBE_API __attribute__((visibility("default")))

namespace {

using chartrek::floorDiv;

constexpr int SearchRows = 10;
// Columns on either side whose runs the tolerant search fits its middle through.
constexpr int FitColumns = 2;
constexpr int RingRadius = 6;
constexpr int RingSamples = 48;
constexpr int32_t NoColor = -1;

int32_t twipsPerPixel(const PixProbeSurface *dc)
{
    return dc->twipsPerPixel > 0 ? dc->twipsPerPixel : 15;
}

// A surface whose lines are shorter than its width, or an 8-bit one without a palette of 1 to
// 256 entries, would send the reads past what the caller lent.
bool usable(const PixProbeSurface *dc)
{
    if (!dc || !dc->bits || dc->width <= 0 || dc->height <= 0)
        return false;
    if (dc->bitsPerPixel == 8)
        return dc->bytesPerLine >= dc->width && dc->palette && dc->paletteSize > 0 && dc->paletteSize <= 256;
    return dc->bitsPerPixel == 32 && int64_t(dc->bytesPerLine) >= int64_t(dc->width) * 4;
}

// 0x00BBGGRR of a pixel, NoColor outside.
int32_t pixel(const PixProbeSurface *dc, int32_t col, int32_t row)
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

int colorDistance(int32_t a, int32_t b)
{
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)));
    return d;
}

struct RingOffset {
    int32_t dx;
    int32_t dy;
};

// The ring's pixel offsets, worked out once: the tracer probes thousands of points a trace.
const std::array<RingOffset, RingSamples> &ringOffsets()
{
    static const std::array<RingOffset, RingSamples> offsets = [] {
        std::array<RingOffset, RingSamples> ring{};
        for (int k = 0; k < RingSamples; ++k) {
            const double angle = 2.0 * 3.14159265358979323846 * k / RingSamples;
            ring[k] = {int32_t(std::lround(RingRadius * std::cos(angle))),
                       int32_t(std::lround(RingRadius * std::sin(angle)))};
        }
        return ring;
    }();
    return offsets;
}

// Whether a colour belongs to the line: exactly, or within the tolerance on every channel.
bool onLine(int32_t color, int32_t lineColor, int tolerance)
{
    return color == lineColor || (tolerance > 0 && color != NoColor && colorDistance(color, lineColor) <= tolerance);
}

bool isCrossing(const PixProbeSurface *dc, int32_t col, int32_t row, int32_t lineColor, int tolerance)
{
    const auto &offsets = ringOffsets();
    std::array<bool, RingSamples> stroke;
    bool all = true;
    for (int k = 0; k < RingSamples; ++k) {
        stroke[k] = onLine(pixel(dc, col + offsets[k].dx, row + offsets[k].dy), lineColor, tolerance);
        all = all && stroke[k];
    }
    if (all)
        return true;
    // In the tolerant search a lone sample is noise (a JPEG's ringing next to a grid line);
    // a stroke is two samples at least.
    const int shortest = tolerance > 0 ? 2 : 1;
    int strokes = 0;
    for (int k = 0; k < RingSamples; ++k) {
        if (!stroke[k] || stroke[(k + RingSamples - 1) % RingSamples])
            continue;
        int length = 1;
        while (length < RingSamples && stroke[(k + length) % RingSamples])
            ++length;
        if (length >= shortest)
            ++strokes;
    }
    return strokes >= 3;
}

} // namespace

extern "C" {

PIXPROBE_API int32_t GetAColor(int32_t x, int32_t y, const PixProbeSurface *dc)
{
    if (!usable(dc))
        return NoColor;
    const int32_t tpp = twipsPerPixel(dc);
    return pixel(dc, floorDiv(x, tpp), floorDiv(-int64_t(y), tpp));
}

} // extern "C"

namespace {

// A vertical run of line-colour pixels in one column and its middle (rows; row r's middle is
// r + 0.5), each pixel weighing by how close its colour is to the line colour.
struct Run {
    int32_t top = 0;
    int32_t bottom = 0;
    double middle = 0;
};

// The run through the line pixel nearest to row `start` within `reach` rows (the upper one at
// equal distance).
bool findRun(const PixProbeSurface *dc, int32_t col, int32_t start, int reach, int32_t lineColor, int tolerance,
             Run &run)
{
    int32_t found = -1;
    for (int d = 0; d <= reach && found < 0; ++d) {
        if (onLine(pixel(dc, col, start - d), lineColor, tolerance))
            found = start - d;
        else if (onLine(pixel(dc, col, start + d), lineColor, tolerance))
            found = start + d;
    }
    if (found < 0)
        return false;
    run.top = run.bottom = found;
    while (run.top > 0 && onLine(pixel(dc, col, run.top - 1), lineColor, tolerance))
        --run.top;
    while (run.bottom < dc->height - 1 && onLine(pixel(dc, col, run.bottom + 1), lineColor, tolerance))
        ++run.bottom;
    double sum = 0, weights = 0;
    for (int32_t row = run.top; row <= run.bottom; ++row) {
        const double weight = tolerance + 1 - colorDistance(pixel(dc, col, row), lineColor);
        sum += weight * (row + 0.5);
        weights += weight;
    }
    run.middle = sum / weights;
    return true;
}

// The line's middle at this column's centre from the runs of the columns around it: a straight
// line fitted through their middles. One column alone can only say which pixels the line
// touches; an aliased line steps from pixel to pixel, and a blurred one has noise in each
// column, and both average out over a few columns. Where the neighbours do not continue the
// run (an end, a steep part, another line), the run's own middle stays.
double smoothedMiddle(const PixProbeSurface *dc, int32_t col, const Run &run, int32_t lineColor, int tolerance)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (int k = -FitColumns; k <= FitColumns; ++k) {
        Run r;
        if (k == 0)
            r = run;
        else if (!findRun(dc, col + k, int32_t(run.middle), 2, lineColor, tolerance, r)
                 || r.bottom - r.top > run.bottom - run.top + 2 || std::abs(r.middle - run.middle) > 2.5)
            continue;
        sx += k;
        sy += r.middle;
        sxx += double(k) * k;
        sxy += k * r.middle;
        ++n;
    }
    const double det = n * sxx - sx * sx;
    if (n < 3 || det <= 0)
        return run.middle;
    return (sy * sxx - sx * sxy) / det; // the fitted line at k = 0
}

int32_t findLinePoint(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor, int tolerance,
                      const PixProbeSurface *dc)
{
    if (!point)
        return PIXPROBE_NOT_FOUND;
    if (!usable(dc)) {
        point->x = x;
        point->y = -0x40000000;
        return PIXPROBE_NOT_FOUND;
    }
    const int32_t tpp = twipsPerPixel(dc);
    const int32_t col = floorDiv(x, tpp);
    const int32_t start = std::clamp(floorDiv(-int64_t(y), tpp), 0, dc->height - 1);
    point->x = x;
    point->y = -int32_t((int64_t(dc->height) + 1) * tpp);
    // Only a colour a pixel can have is searched for; -1 (no colour) would match the rows
    // outside the picture.
    if (col < 0 || col >= dc->width || lineColor < 0 || lineColor > 0xFFFFFF)
        return PIXPROBE_NOT_FOUND;
    tolerance = std::clamp(tolerance, 0, 255);

    Run run;
    if (!findRun(dc, col, start, SearchRows, lineColor, tolerance, run))
        return PIXPROBE_NOT_FOUND;
    // Twips t stand for the position t / twipsPerPixel, as a click does: pixel row r covers
    // r to r + 1, and its middle is r + 0.5.
    point->x = int32_t(int64_t(col) * tpp + tpp / 2);
    point->y = -int32_t((int64_t(tpp) * (int64_t(run.top) + run.bottom + 1)) / 2);
    if (tolerance > 0)
        point->y = -int32_t(std::lround(smoothedMiddle(dc, col, run, lineColor, tolerance) * tpp));
    return isCrossing(dc, col, (run.top + run.bottom) / 2, lineColor, tolerance) ? PIXPROBE_CROSSING : PIXPROBE_FOUND;
}

} // namespace

extern "C" {

PIXPROBE_API int32_t GetAPoint(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor,
                               const PixProbeSurface *dc)
{
    return findLinePoint(x, y, point, lineColor, 0, dc);
}

PIXPROBE_API int32_t GetAPointTolerant(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor,
                                       int32_t tolerance, const PixProbeSurface *dc)
{
    return findLinePoint(x, y, point, lineColor, tolerance, dc);
}

} // extern "C"
