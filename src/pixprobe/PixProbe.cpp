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
// 6. Told the line's width, a blob much thicker than the line, filled or an outline around
//    paper, is a data marker drawn on it (a circle, square, triangle or diamond): the point is
//    the data point the marker stands on, where the line's arms in and out of it meet, or, for a
//    column past that point, the arm going out. Told the paper's colour, only colours of the
//    line's hue belong to it.

#include "pixprobe/PixProbe.h"

#include "core/Twips.h"
#include "pixprobe/ProbeMarkers.h"
#include "pixprobe/ProbeSurface.h"

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
using chartrek::LineInk;
using namespace chartrek::probe;

constexpr int SearchRows = 10;
// Columns on either side whose runs the tolerant search fits its middle through.
constexpr int FitColumns = 2;
// How far around a lone run its dot's pixels are looked for.
constexpr int DotReach = 3;
constexpr int RingRadius = 6;
constexpr int RingMargin = 4;
constexpr int MaxRingRadius = 40;

int32_t twipsPerPixel(const PixProbeSurface *dc)
{
    return dc->twipsPerPixel > 0 ? dc->twipsPerPixel : 15;
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

// The line pixels joined to (col, row) within `radius` of it.
class Joined {
public:
    Joined(const PixProbeSurface *dc, int32_t col, int32_t row, int radius, const LineInk &ink)
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
                    || !onLine(dc, col + nx, row + ny, ink))
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
bool straightArm(const PixProbeSurface *dc, int32_t col, int32_t row, RingOffset to, const LineInk &ink)
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
            near = onLine(dc, x + (steep ? n : 0), y + (steep ? 0 : n), ink);
        off += near ? 0 : 1;
    }
    return 4 * off <= steps;
}

bool isCrossing(const PixProbeSurface *dc, int32_t col, int32_t row, int radius, const LineInk &ink)
{
    radius = std::clamp(radius, RingRadius, MaxRingRadius / 2);
    const auto &offsets = ringOffsets(radius);
    const int samples = int(offsets.size());
    std::vector<bool> stroke(size_t(samples), false);
    bool all = true;
    for (int k = 0; k < samples; ++k) {
        stroke[size_t(k)] = onLine(dc, col + offsets[size_t(k)].dx, row + offsets[size_t(k)].dy, ink);
        all = all && stroke[size_t(k)];
    }
    if (all)
        return true;
    // In the tolerant search a lone sample is noise (a JPEG's ringing next to a grid line);
    // a stroke is two samples at least.
    const int shortest = ink.tolerance() > 0 ? 2 : 1;
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
    const Joined inside(dc, col, row, radius + 1, ink);
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
                    around.emplace(dc, col, row, 2 * radius, ink);
                near = around->contains(o.dx, o.dy);
            }
        }
        if (length - 1 < shortest)
            continue;
        // A stroke joined to the point counts as a line when it runs straight out from the
        // point; one joined only outside the ring is the line coming back.
        const RingOffset &o = offsets[size_t((k + (length - 1) / 2) % samples)];
        if (in)
            strokes += straightArm(dc, col, row, o, ink) ? 1 : 0;
        else
            strokes += near ? 0 : 1;
    }
    return strokes >= 3;
}

// The line's width at a pixel: the shorter of its vertical and horizontal runs there (a
// sloping line's runs are longer than its width, but the shorter one at most 1.5 times).
int lineWidth(const PixProbeSurface *dc, int32_t col, const Run &run, const LineInk &ink)
{
    const int32_t row = (run.top + run.bottom) / 2;
    int32_t left = col, right = col;
    while (right - left < run.height() && onLine(dc, left - 1, row, ink))
        --left;
    while (right - left < run.height() && onLine(dc, right + 1, row, ink))
        ++right;
    return std::min(run.height(), right - left + 1);
}

} // namespace

bool chartrek::probe::findRun(const PixProbeSurface *dc, int32_t col, int32_t start, int reach, const LineInk &ink,
                              Run &run)
{
    int32_t found = -1;
    for (int d = 0; d <= reach && found < 0; ++d) {
        if (onLine(dc, col, start - d, ink))
            found = start - d;
        else if (onLine(dc, col, start + d, ink))
            found = start + d;
    }
    if (found < 0)
        return false;
    run.top = run.bottom = found;
    while (run.top > 0 && onLine(dc, col, run.top - 1, ink))
        --run.top;
    while (run.bottom < dc->height - 1 && onLine(dc, col, run.bottom + 1, ink))
        ++run.bottom;
    double sum = 0, weights = 0;
    for (int32_t row = run.top; row <= run.bottom; ++row) {
        const double weight = ink.weight(pixel(dc, col, row));
        sum += weight * (row + 0.5);
        weights += weight;
    }
    run.middle = sum / weights;
    return true;
}

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
// The line's middle at this column's centre from the runs of the columns around it: a straight
// line fitted through their middles. One column alone can only say which pixels the line
// touches; an aliased line steps from pixel to pixel, and a blurred one has noise in each
// column, and both average out over a few columns. Where the neighbours do not continue the
// run (a steep part, another line, a gap), the run's own middle; on a dotted line, where the
// run is a lone dot, the middle of the dot (both coordinates: it lies on the line, but not
// always above the column's centre) if it lies in the column.
struct Middle {
    double x, y;
};
Middle smoothedMiddle(const PixProbeSurface *dc, int32_t col, const Run &run, const LineInk &ink, bool dotted)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (int k = -FitColumns; k <= FitColumns; ++k) {
        Run r;
        if (k == 0)
            r = run;
        else if (!findRun(dc, col + k, int32_t(run.middle), 2, ink, r)
                 || r.bottom - r.top > run.bottom - run.top + 2 || std::abs(r.middle - run.middle) > 2.5)
            continue;
        sx += k;
        sy += r.middle;
        sxx += double(k) * k;
        sxy += k * r.middle;
        ++n;
    }
    const double det = n * sxx - sx * sx;
    if (n >= 3 && det > 0)
        return {col + 0.5, (sy * sxx - sx * sxy) / det}; // the fitted line at k = 0
    if (!dotted)
        return {col + 0.5, run.middle};
    // A dot: the line pixels joined to the run end within reach of it.
    double cx = 0, cy = 0, weights = 0;
    std::vector<std::pair<int32_t, int32_t>> todo, dot;
    for (int32_t j = run.top; j <= run.bottom; ++j)
        todo.push_back({col, j}), dot.push_back({col, j});
    while (!todo.empty()) {
        const auto [i, j] = todo.back();
        todo.pop_back();
        const double weight = ink.weight(pixel(dc, i, j));
        cx += weight * (i + 0.5), cy += weight * (j + 0.5), weights += weight;
        for (int k = 0; k < 9; ++k) {
            const int32_t ni = i + k % 3 - 1, nj = j + k / 3 - 1;
            if (std::find(dot.begin(), dot.end(), std::pair(ni, nj)) != dot.end() || !onLine(dc, ni, nj, ink))
                continue;
            if (std::hypot(ni - col, nj + 0.5 - run.middle) > DotReach)
                return {col + 0.5, run.middle};
            todo.push_back({ni, nj}), dot.push_back({ni, nj});
        }
    }
    if (weights <= 0 || cx / weights < col || cx / weights >= col + 1)
        return {col + 0.5, run.middle};
    return {cx / weights, cy / weights};
}

// width: the line's width in pixels, 0 when not known; gap: the longest gap between its dots
// or dashes, pixels, 0 when solid.
int32_t findLinePoint(int32_t x, int32_t y, PixProbePoint *point, const LineInk &ink, double width, double gap,
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
    if (col < 0 || col >= dc->width || ink.color() < 0 || ink.color() > 0xFFFFFF)
        return PIXPROBE_NOT_FOUND;

    Run run;
    if (!findRun(dc, col, start, SearchRows, ink, run))
        return PIXPROBE_NOT_FOUND;
    // Twips t stand for the position t / twipsPerPixel, as a click does: pixel row r covers
    // r to r + 1, and its middle is r + 0.5.
    point->x = int32_t(int64_t(col) * tpp + tpp / 2);
    if (const auto marker = markerPoint(dc, col, run, ink, width, gap)) {
        point->x = int32_t(std::lround(marker->x * tpp));
        point->y = -int32_t(std::lround(marker->y * tpp));
        return marker->crossing ? PIXPROBE_CROSSING : PIXPROBE_FOUND;
    }
    point->y = -int32_t((int64_t(tpp) * (int64_t(run.top) + run.bottom + 1)) / 2);
    if (ink.tolerance() > 0) {
        const Middle middle = smoothedMiddle(dc, col, run, ink, gap > 0);
        if (middle.x != col + 0.5)
            point->x = int32_t(std::lround(middle.x * tpp));
        point->y = -int32_t(std::lround(middle.y * tpp));
    }
    const int radius = (lineWidth(dc, col, run, ink) + 1) / 2 + RingMargin;
    return isCrossing(dc, col, (run.top + run.bottom) / 2, radius, ink) ? PIXPROBE_CROSSING : PIXPROBE_FOUND;
}

} // namespace

extern "C" {

PIXPROBE_API int32_t GetAPoint(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor,
                               const PixProbeSurface *dc)
{
    return findLinePoint(x, y, point, LineInk(lineColor, 0), 0, 0, dc);
}

PIXPROBE_API int32_t GetAPointTolerant(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor,
                                       int32_t tolerance, const PixProbeSurface *dc)
{
    return findLinePoint(x, y, point, LineInk(lineColor, tolerance), 0, 0, dc);
}

PIXPROBE_API int32_t GetAPointLine(int32_t x, int32_t y, PixProbePoint *point, const PixProbeLine *line,
                                   const PixProbeSurface *dc)
{
    if (!line)
        return findLinePoint(x, y, point, LineInk(-1, 0), 0, 0, dc);
    const LineInk ink(line->color, line->tolerance, line->background, LineInk::thin(line->width));
    const double width = std::max(0, line->width) / 16.0, gap = std::max(0, line->gap) / 16.0;
    const int32_t status = findLinePoint(x, y, point, ink, width, gap, dc);
    // Where a thin line's colour is nowhere in the column (a JPEG keeps it only here and there),
    // its faded edge is the line.
    if (status != PIXPROBE_NOT_FOUND || !ink.thin())
        return status;
    return findLinePoint(x, y, point, ink.withEdges(), width, gap, dc);
}

} // extern "C"
