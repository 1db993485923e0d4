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
// 5. A found point is checked for a crossing: a ring around the point is read, and every
//    stretch of the ring in the line colour is a stroke. The ring lies RingRadius pixels out, or
//    further round a thick line (half its width and RingMargin more), so that the line's own
//    body never fills it. A line that just passes through leaves the ring twice; three strokes
//    mean another line of the same colour (a tick, a grid line, another curve) meets it here or
//    passes close by, and a ring all of the line colour means a blot. Either way the column's
//    run may belong to the other line, and the status is CROSSING (1000). Jagged data turns
//    inside the ring and may leave it and come back: a stroke joined to the point inside the
//    ring counts only where the line runs straight out to it, and one joined to it just outside
//    the ring (within twice its radius) not at all. Lines of other colours cannot mislead the
//    search, which only sees the line colour: they leave the point trusted.
// 6. A run much thicker than the lines beside it, which go on thin on both sides with no other
//    line in the run's rows, where the thick part is about as wide as high, is a data marker
//    drawn on the line (a filled circle, square, triangle or diamond). The point keeps to the line: on the straight pieces from the thin
//    line's middle beside the marker to the marker's centre (where a marker sits on its data
//    point), and the crossing ring is centred on the marker, clear of it.

#include "PixProbe.h"

#include "core/Twips.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#define PIXPROBE_API __attribute__((visibility("default")))

namespace {

using chartrek::floorDiv;

constexpr int SearchRows = 10;
// Columns on either side whose runs the tolerant search fits its middle through.
constexpr int FitColumns = 2;
constexpr int RingRadius = 6;
constexpr int RingMargin = 4;
constexpr int MaxRingRadius = 40;
// A marker's run is this many times the line's height, and this many rows more.
constexpr double MarkerRatio = 2.5;
constexpr int MarkerExtraRows = 4;
// How far beside a marker the thin line is looked for, in columns.
constexpr int MarkerReach = 12;
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

// The ring's pixel offsets for a radius, worked out once each: the tracer probes thousands of
// points a trace. About eight samples a pixel of radius, so that a one-pixel line never slips
// between two.
const std::vector<RingOffset> &ringOffsets(int radius)
{
    static std::array<std::vector<RingOffset>, MaxRingRadius + 1> rings;
    std::vector<RingOffset> &ring = rings[size_t(radius)];
    if (ring.empty()) {
        const int samples = std::max(48, 8 * radius);
        for (int k = 0; k < samples; ++k) {
            const double angle = 2.0 * 3.14159265358979323846 * k / samples;
            ring.push_back({int32_t(std::lround(radius * std::cos(angle))), int32_t(std::lround(radius * std::sin(angle)))});
        }
    }
    return ring;
}

// Whether a colour belongs to the line: exactly, or within the tolerance on every channel.
bool onLine(int32_t color, int32_t lineColor, int tolerance)
{
    return color == lineColor || (tolerance > 0 && color != NoColor && colorDistance(color, lineColor) <= tolerance);
}

// The line pixels joined to (col, row) within `radius` of it.
class Joined {
public:
    Joined(const PixProbeSurface *dc, int32_t col, int32_t row, int radius, int32_t lineColor, int tolerance)
        : mRadius(radius), mSide(2 * radius + 1), mSeen(size_t(mSide) * size_t(mSide), false)
    {
        std::vector<std::pair<int32_t, int32_t>> todo{{0, 0}};
        mSeen[index(0, 0)] = true;
        while (!todo.empty()) {
            const auto [dx, dy] = todo.back();
            todo.pop_back();
            // Up to two pixels apart: an anti-aliased line's pixels within the tolerance may
            // leave one-pixel gaps where it passes between two rows.
            for (int k = 0; k < 25; ++k) {
                const int32_t nx = dx + k % 5 - 2, ny = dy + k / 5 - 2;
                if (nx * nx + ny * ny > radius * radius || mSeen[index(nx, ny)]
                    || !onLine(pixel(dc, col + nx, row + ny), lineColor, tolerance))
                    continue;
                mSeen[index(nx, ny)] = true;
                todo.push_back({nx, ny});
            }
        }
    }
    bool contains(int32_t dx, int32_t dy) const
    {
        return dx * dx + dy * dy <= mRadius * mRadius && mSeen[index(dx, dy)];
    }

private:
    size_t index(int32_t dx, int32_t dy) const { return size_t(dy + mRadius) * size_t(mSide) + size_t(dx + mRadius); }
    int mRadius, mSide;
    std::vector<bool> mSeen;
};

// Whether the line runs straight from the point out to a stroke of the ring: a line crossing
// there does, while jagged data that turns inside the ring and leaves it again does not. Half-
// pixel steps along the way, each on a line pixel or beside one across the way, but for a
// quarter of them.
bool straightArm(const PixProbeSurface *dc, int32_t col, int32_t row, RingOffset to, int32_t lineColor, int tolerance)
{
    const int steps = 2 * std::max(std::abs(to.dx), std::abs(to.dy));
    // Across the way: the pixel beside, on the axis the arm runs less along.
    const bool steep = std::abs(to.dy) > std::abs(to.dx);
    int off = 0;
    for (int k = 1; k < steps; ++k) {
        const int32_t x = col + int32_t(std::lround(double(to.dx) * k / steps));
        const int32_t y = row + int32_t(std::lround(double(to.dy) * k / steps));
        bool near = false;
        for (int n = -1; n <= 1 && !near; ++n)
            near = onLine(pixel(dc, x + (steep ? n : 0), y + (steep ? 0 : n)), lineColor, tolerance);
        off += near ? 0 : 1;
    }
    return 4 * off <= steps;
}

bool isCrossing(const PixProbeSurface *dc, int32_t col, int32_t row, int radius, int32_t lineColor, int tolerance)
{
    radius = std::clamp(radius, RingRadius, MaxRingRadius / 2);
    const auto &offsets = ringOffsets(radius);
    const int samples = int(offsets.size());
    std::vector<bool> stroke(size_t(samples), false);
    bool all = true;
    for (int k = 0; k < samples; ++k) {
        stroke[size_t(k)] = onLine(pixel(dc, col + offsets[size_t(k)].dx, row + offsets[size_t(k)].dy), lineColor, tolerance);
        all = all && stroke[size_t(k)];
    }
    if (all)
        return true;
    // In the tolerant search a lone sample is noise (a JPEG's ringing next to a grid line);
    // a stroke is two samples at least.
    const int shortest = tolerance > 0 ? 2 : 1;
    // Fewer than three strokes in all is no crossing, whatever joins them: the common case, read
    // without following the line.
    int strokesFound = 0;
    for (int k = 0; k < samples && strokesFound < 3; ++k) {
        if (!stroke[size_t(k)] || stroke[size_t((k + samples - 1) % samples)])
            continue;
        int length = 1;
        while (length < samples && stroke[size_t((k + length) % samples)])
            ++length;
        strokesFound += length >= shortest ? 1 : 0;
    }
    if (strokesFound < 3)
        return false;
    const Joined inside(dc, col, row, radius + 1, lineColor, tolerance);
    std::optional<Joined> around;
    int strokes = 0;
    for (int k = 0; k < samples; ++k) {
        if (!stroke[size_t(k)] || stroke[size_t((k + samples - 1) % samples)])
            continue;
        int length = 1;
        bool in = false, near = false;
        for (; length <= samples && stroke[size_t((k + length - 1) % samples)]; ++length) {
            const RingOffset &o = offsets[size_t((k + length - 1) % samples)];
            in = in || inside.contains(o.dx, o.dy);
            if (!in && !near) {
                if (!around)
                    around.emplace(dc, col, row, 2 * radius, lineColor, tolerance);
                near = around->contains(o.dx, o.dy);
            }
        }
        if (length - 1 < shortest)
            continue;
        // A stroke joined to the point counts as a line when it runs straight out from the
        // point; one joined only outside the ring is the line coming back.
        const RingOffset &o = offsets[size_t((k + (length - 1) / 2) % samples)];
        if (in)
            strokes += straightArm(dc, col, row, o, lineColor, tolerance) ? 1 : 0;
        else
            strokes += near ? 0 : 1;
    }
    return strokes >= 3;
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

// The line's width at a pixel: the shorter of its vertical and horizontal runs there (a
// sloping line's runs are longer than its width, but the shorter one at most 1.5 times).
int lineWidth(const PixProbeSurface *dc, int32_t col, const Run &run, int32_t lineColor, int tolerance)
{
    const int32_t row = (run.top + run.bottom) / 2;
    int32_t left = col, right = col;
    while (right - left < run.height() && onLine(pixel(dc, left - 1, row), lineColor, tolerance))
        --left;
    while (right - left < run.height() && onLine(pixel(dc, right + 1, row), lineColor, tolerance))
        ++right;
    return std::min(run.height(), right - left + 1);
}

// A data marker on the line at this column's run (rule 6): the line's middle here, and the
// marker's centre and half size for the crossing ring.
struct Marker {
    double middle = 0;
    int32_t col = 0, row = 0;
    int half = 0;
};

bool thin(const Run &r, int height)
{
    return r.height() * MarkerRatio <= height && r.height() + MarkerExtraRows <= height;
}

// Whether a thin run goes on thin away from the marker for a few columns (a dotted line's gaps
// allowed), as the line does and a marker's corner does not.
bool goesOn(const PixProbeSurface *dc, int32_t col, int32_t dir, const Run &run, int height, int32_t lineColor,
            int tolerance)
{
    double middle = run.middle;
    int found = 0, gaps = 0;
    for (int j = 1; j <= 6 && gaps <= 3; ++j) {
        Run next;
        // A steep line moves a row or two a column, more across the gaps of a dotted one.
        if (findRun(dc, col + dir * j, int32_t(middle), std::min(2 + 2 * (gaps + 1), 8), lineColor, tolerance, next)
            && thin(next, height)) {
            ++found, gaps = 0;
            middle = next.middle;
        } else {
            ++gaps;
        }
    }
    return found >= 2;
}

// The marker whose thick run `run` in column `col` is, and the line's middle at column `at`
// between the thin line on its two sides (or on them); nothing when `at` lies beyond them.
std::optional<Marker> markerAt(const PixProbeSurface *dc, int32_t col, const Run &run, int32_t at, int32_t lineColor,
                               int tolerance)
{
    const int height = run.height();
    if (height < 2 + MarkerExtraRows)
        return std::nullopt;
    // The thin line on either side: the first column with a thin run in the marker's rows that
    // goes on thin; the other runs there are the marker's. Two such runs are two lines.
    struct Beside {
        int32_t col;
        double middle;
    } beside[2];
    int32_t top = run.top, bottom = run.bottom, first = col, last = col;
    for (int side = 0; side < 2; ++side) {
        const int32_t dir = side == 0 ? -1 : 1;
        bool found = false;
        for (int k = 1; k <= MarkerReach && !found; ++k) {
            const int32_t c = col + dir * k;
            bool marker = false;
            // The marker's rows, and more further out, where a line leaving it steeply is.
            for (int32_t row = run.top - 1 - k; row <= run.bottom + 1 + k; ++row) {
                Run r;
                if (!findRun(dc, c, row, 0, lineColor, tolerance, r))
                    continue;
                row = r.bottom + 1;
                if (thin(r, height) && goesOn(dc, c, dir, r, height, lineColor, tolerance)) {
                    if (found)
                        return std::nullopt;
                    beside[side] = {c, r.middle};
                    found = true;
                } else {
                    marker = true;
                    top = std::min(top, r.top), bottom = std::max(bottom, r.bottom);
                }
            }
            if (marker && !found)
                (side == 0 ? first : last) = c;
        }
        if (!found)
            return std::nullopt;
    }
    // A marker is about as wide as it is high; a run stretched up along a crossing line is not.
    const int width = last - first + 1, tall = bottom - top + 1;
    if (at < beside[0].col || at > beside[1].col || 2 * width < tall || width > 2 * tall)
        return std::nullopt;
    // Its centre is the middle of its box, where a marker sits on its data point.
    Marker m;
    m.col = (first + last) / 2;
    const double centre = (top + bottom + 1) / 2.0;
    m.row = int32_t(centre);
    m.half = (std::max(width, tall) + 1) / 2;
    // On the straight piece between the thin line beside it and the marker's centre.
    const Beside &from = at <= m.col ? beside[0] : beside[1];
    const double span = double(m.col - from.col);
    const double t = span == 0 ? 0 : double(at - from.col) / span;
    m.middle = from.middle + t * (centre - from.middle);
    return m;
}

// A marker at the run, or at a column beside it that the run belongs to (a marker's corner).
std::optional<Marker> markerNear(const PixProbeSurface *dc, int32_t col, const Run &run, int32_t lineColor,
                                 int tolerance)
{
    if (auto m = markerAt(dc, col, run, col, lineColor, tolerance))
        return m;
    for (const int32_t d : {-1, 1, -2, 2}) {
        Run r;
        if (findRun(dc, col + d, int32_t(run.middle), 3, lineColor, tolerance, r) && thin(run, r.height())) {
            if (auto m = markerAt(dc, col + d, r, col, lineColor, tolerance))
                return m;
        }
    }
    return std::nullopt;
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
    if (const auto marker = markerNear(dc, col, run, lineColor, tolerance)) {
        point->y = -int32_t(std::lround(marker->middle * tpp));
        return isCrossing(dc, marker->col, marker->row, marker->half + RingMargin, lineColor, tolerance)
            ? PIXPROBE_CROSSING
            : PIXPROBE_FOUND;
    }
    point->y = -int32_t((int64_t(tpp) * (int64_t(run.top) + run.bottom + 1)) / 2);
    if (tolerance > 0)
        point->y = -int32_t(std::lround(smoothedMiddle(dc, col, run, lineColor, tolerance) * tpp));
    const int radius = (lineWidth(dc, col, run, lineColor, tolerance) + 1) / 2 + RingMargin;
    return isCrossing(dc, col, (run.top + run.bottom) / 2, radius, lineColor, tolerance) ? PIXPROBE_CROSSING
                                                                                         : PIXPROBE_FOUND;
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
