#include "autoline/LineTracer.h"

#include "autoline/LineTracerInk.h"
#include "core/Twips.h"
#include "pixprobe/LineInk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace chartrek {

namespace {
// A point is repainted with every twelfth added point.
constexpr int kRepaintEvery = 10;
// How many step widths ahead a gap in a dashed line may span, and at most how many pixels.
constexpr int kBridgeSteps = 3;
constexpr int kBridgeReach = 40;
// Line pixels ahead this many pixels apart across the direction belong to two lines.
constexpr int kSecondLineGap = 8;
// How far off the straight line so far a probe behind the current point is no longer the way
// the trace came, in pixels.
constexpr int kBehindReach = 3;
// How far from the current point two crossings are looked at for being one line, in pixels.
constexpr int kJoinReach = 40;
constexpr double kQuarterTurn = 1.5707963267948966;
// Ways out of a point that all meet the line when an open marker encloses it.
constexpr int kEnclosingRays = 8;
} // namespace

qint32 nearestEven(double v)
{
    return qint32(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0));
}

PixProbeLine LineTracer::lineFor(qint32 lineColor) const
{
    if (mLearnt && mLearntFor == lineColor && mLearnt->tolerance == mState.mColorTolerance)
        return *mLearnt;
    return {lineColor, mState.mColorTolerance, -1, 0, 0};
}

bool LineTracer::onLine(qint32 color, qint32 lineColor) const
{
    const PixProbeLine line = lineFor(lineColor);
    return LineInk(line.color, line.tolerance, line.background, LineInk::thin(line.width)).matches(color);
}

TraceResult LineTracer::TraceLine(qint32 lineColor, PixProbePoint &p0, PixProbePoint &p1, const PixProbePoint &end)
{
    const qint32 endX = end.x;
    TraceResult result;
    // Once a cancel is pending nothing more is added: the rows this trace put in are all it
    // has to take back, and a row added after the tool went back to the pointer would be
    // sorted in among the user's own.
    const auto cancelled = [&](TraceResult::Ending ending) {
        if (mState.mAutoLineCancel)
            result.ending = ending;
        return mState.mAutoLineCancel;
    };
    const LearntLine learnt = learnLine(mHost, lineColor, mState.mColorTolerance, {end, p0, p1});
    mLearnt = learnt.line;
    mGap = learnt.gap;
    mDotted = learnt.dotted;
    mLearntFor = lineColor;
    SnapToLine(p0, p0, lineColor);
    if (cancelled(TraceResult::CancelledBetweenSteps))
        return result;
    SnapToLine(p1, p1, lineColor);
    if (cancelled(TraceResult::CancelledBetweenSteps))
        return result;
    // A distance point that did not snap right of the starting point gives no step width and
    // no slope; nothing is added.
    const qint32 w = p1.x - p0.x;
    if (w <= 0) {
        result.ending = TraceResult::NoStepWidth;
        return result;
    }
    mHost.addTracedPoint(p0.x, p0.y, lineColor);
    mHost.addTracedPoint(p1.x, p1.y, lineColor);
    result.pointsAdded = 2;
    double m = double(p1.y - p0.y) / w;
    double b = p0.y - p0.x * m;
    const int progressMinimum = p0.x;
    mHost.setProgress(progressMinimum, endX, progressMinimum);
    int repaintCounter = 0;
    std::array<PixProbePoint, 16> recent{};
    size_t recentCount = 0;
    recent[recentCount++] = p0;

    while (p1.x < endX) {
        if (cancelled(TraceResult::CancelledBetweenSteps))
            return result;
        mHost.processEvents();
        PixProbePoint q{};
        if (!FindNextPoint(lineColor, q, p1, w, m, b)) {
            result.ending = TraceResult::CancelledInSearch;
            return result;
        }
        // One row a pixel column: a second one in the same column adds nothing but a near
        // copy, and on a steep part or a sharp peak the probe module would place it on the
        // same run again (after a pick, with the same question). The candidate moves on to
        // the next column.
        const int column = floorDiv(p1.x, kTwipsPerPixel);
        if (floorDiv(q.x, kTwipsPerPixel) <= column)
            q.x = (column + 1) * kTwipsPerPixel + kTwipsPerPixel / 2;
        p0 = p1;
        SnapToLine(q, p1, lineColor);
        if (cancelled(TraceResult::CancelledInSearch))
            return result;
        if (floorDiv(p1.x, kTwipsPerPixel) <= column)
            p1.x = q.x;
        // Over less than half a step the slope is mostly the pixels' rounding (over one pixel,
        // a pixel up or down is a slope of 1): it is taken from the latest point at least half
        // a step back.
        recent[recentCount++ % recent.size()] = p0;
        PixProbePoint base = p0;
        for (size_t k = 1; k <= std::min<size_t>(recentCount, recent.size()) && 2 * (p1.x - base.x) < w; ++k)
            base = recent[(recentCount - k) % recent.size()];
        m = double(p1.y - base.y) / double(p1.x - base.x);
        b = p1.y - p1.x * m;
        ++result.pointsRead;
        mHost.setProgress(progressMinimum, endX, std::min(p1.x, endX));
        mHost.addTracedPoint(p1.x, p1.y, lineColor);
        ++result.pointsAdded;
        if (repaintCounter > kRepaintEvery) {
            repaintCounter = 0;
            mHost.repaintPicture();
        } else {
            ++repaintCounter;
        }
    }
    return result;
}

bool LineTracer::FindNextPoint(qint32 lineColor, PixProbePoint &q, const PixProbePoint &p1, qint32 w, double m,
                               double b)
{
    int n = 1;
    int crossings = 0;
    Arc upper, lower;
    while (!mState.mAutoLineCancel) {
        q.x = nearestEven(p1.x + double(w) / n);
        q.y = nearestEven(q.x * m + b);
        if (onLine(mHost.colorAt(q.x, q.y), lineColor))
            return true;

        // The right halves of circles around the current point; every matching probe
        // overwrites q, so the last one (largest i, the lower at equal i) wins. A probe behind
        // the current point, against the direction so far, sees the line the trace came along:
        // on a steep part the half-circle meets it below (or above) the current point, and
        // counting it as a second line asked the user at every step.
        const double R = double(w) / n;
        // A run of matching probes on one half-circle is one crossing; a dotted line's gaps
        // do not end it.
        std::vector<PixProbePoint> hits;
        const double across = std::sqrt(1 + m * m);
        Arc *last = nullptr;
        const auto probe = [&](qint32 x, qint32 y, Arc &arc, double arcStep) {
            // Behind and close to the straight line so far: the way the trace came. A sharp
            // turn back (jagged data, a peak) lies behind too, but off that line.
            const bool ahead = (x - p1.x) + (y - p1.y) * m >= 0
                || std::abs((y - p1.y) - m * (x - p1.x)) / across > kBehindReach * kTwipsPerPixel;
            if (ahead && onLine(mHost.colorAt(x, y), lineColor)) {
                crossings += arc.run ? 0 : 1;
                if (!arc.run)
                    arc.stroke.clear();
                arc.run = true;
                arc.missed = 0;
                q = {x, y};
                hits.push_back(q);
                arc.stroke.push_back(q);
                last = &arc;
            } else if (arc.run) {
                arc.missed += arcStep;
                arc.run = arc.missed <= mGap;
            }
        };
        // Eleven values of i, from straight up and down to straight ahead (at equal i the lower
        // probe comes last). When they miss on a dotted line, about a probe a pixel of arc:
        // eleven probes step over its dots where the arc runs across the way ahead.
        for (const bool dense : {false, true}) {
            const int steps = dense ? int(std::ceil(R / kTwipsPerPixel * kQuarterTurn)) : 10;
            if (dense && (crossings > 0 || steps <= 10 || !mDotted))
                break;
            const double arcStep = R / kTwipsPerPixel * kQuarterTurn / steps;
            for (int k = 0; k <= steps; ++k) {
                double i = R * k / steps, d = std::sqrt(std::max(0.0, R * R - i * i));
                if (dense)
                    i = R * std::sin(kQuarterTurn * k / steps), d = R * std::cos(kQuarterTurn * k / steps);
                const qint32 x = nearestEven(p1.x + i);
                probe(x, nearestEven(p1.y + d), upper, arcStep);
                probe(x, nearestEven(p1.y - d), lower, arcStep);
            }
            // There the middle of the last stroke met: the last probe of a dash is its end.
            if (dense && last)
                q = last->stroke[last->stroke.size() / 2];
        }
        // Both half-circles end in (x1 + R, y1): a line through there is one crossing.
        if (upper.run && lower.run)
            --crossings;
        if (crossings > 0) {
            // Crossings joined to the current point close by are the line itself: jagged data
            // that leaves the circle and comes back, or a marker on the line.
            if (mState.mHasLines && crossings > 1 && !joinedNearby(lineColor, p1, hits, 2 * R)) {
                return askUser(q, p1.x);
            }
            return true;
        }
        ++n;
        // A half-circle smaller than two pixels reads only the pixels around the current point,
        // where the line's own thickness looks like two crossings: the line is lost.
        if (R < 2 * kTwipsPerPixel) {
            // A dashed or dotted line: a gap after the current point swallowed every
            // prediction and half-circle. The line goes on ahead, beyond the gap.
            const Bridge bridge = bridgeGap(lineColor, q, p1, w, m);
            if (bridge == Bridge::Cancelled)
                return false;
            return bridge == Bridge::Found || askUser(q, p1.x);
        }
    }
    return false;
}

bool LineTracer::joinedNearby(qint32 lineColor, const PixProbePoint &from, const std::vector<PixProbePoint> &points,
                              double reach)
{
    // Line pixels up to two apart (an anti-aliased line's pixels within the tolerance may leave
    // gaps of one), or across a dotted line's gaps, flooded from the current point's pixel out
    // to the reach. Each pixel is read once. The line's faded edge joins too: where a thin line
    // straddles two pixels, neither may be within the tolerance.
    const PixProbeLine line = lineFor(lineColor);
    const LineInk ink(line.color, line.tolerance, line.background, LineInk::thin(line.width));
    const int radius = std::min(kJoinReach, int(reach / kTwipsPerPixel));
    const int jump = std::max(2, int(std::ceil(mGap)) + 1);
    const int side = 2 * radius + 1;
    const auto pixelOf = [](const PixProbePoint &p) {
        return std::pair(floorDiv(p.x, kTwipsPerPixel), floorDiv(-qint64(p.y), kTwipsPerPixel));
    };
    // Plain names: Debian's clang 14 cannot capture a structured binding in a lambda.
    const int col = pixelOf(from).first, row = pixelOf(from).second;
    const auto index = [&](int dx, int dy) { return size_t(dy + radius) * size_t(side) + size_t(dx + radius); };
    std::vector<signed char> known(size_t(side) * size_t(side), -1); // -1 not read yet
    const auto isLine = [&](int dx, int dy) {
        signed char &read = known[index(dx, dy)];
        if (read < 0)
            read = ink.edge(mHost.colorAt((col + dx) * kTwipsPerPixel + kTwipsPerPixel / 2,
                                          -((row + dy) * kTwipsPerPixel + kTwipsPerPixel / 2)));
        return read == 1;
    };
    std::vector<bool> seen(size_t(side) * size_t(side), false);
    std::vector<std::pair<int, int>> todo{{0, 0}};
    seen[index(0, 0)] = true;
    // A point inside an open marker lies on paper that the marker's outline encloses: it is
    // joined to the outline, which every way out of it meets first.
    if (!isLine(0, 0)) {
        std::vector<std::pair<int, int>> outline;
        for (int k = 0; k < kEnclosingRays; ++k) {
            const double angle = 2 * kQuarterTurn * 2 * k / kEnclosingRays;
            for (int r = 1; r <= radius; ++r) {
                const int dx = int(std::lround(r * std::cos(angle))), dy = int(std::lround(r * std::sin(angle)));
                if (isLine(dx, dy)) {
                    outline.push_back({dx, dy});
                    break;
                }
            }
        }
        if (outline.size() == size_t(kEnclosingRays)) {
            for (const auto &pixel : outline) {
                if (!seen[index(pixel.first, pixel.second)])
                    seen[index(pixel.first, pixel.second)] = true, todo.push_back(pixel);
            }
        }
    }
    while (!todo.empty()) {
        const auto [dx, dy] = todo.back();
        todo.pop_back();
        for (int ny = dy - jump; ny <= dy + jump; ++ny) {
            for (int nx = dx - jump; nx <= dx + jump; ++nx) {
                if (nx * nx + ny * ny > radius * radius || seen[index(nx, ny)] || !isLine(nx, ny))
                    continue;
                seen[index(nx, ny)] = true;
                todo.push_back({nx, ny});
            }
        }
    }
    return std::all_of(points.begin(), points.end(), [&](const PixProbePoint &p) {
        const auto [c, r] = pixelOf(p);
        const int dx = c - col, dy = r - row;
        return dx * dx + dy * dy <= radius * radius && seen[index(dx, dy)];
    });
}

bool LineTracer::askUser(PixProbePoint &q, qint32 refX)
{
    mState.mRecoveryRefX = refX;
    return mHost.getPointFromUser(q);
}

LineTracer::Bridge LineTracer::bridgeGap(qint32 lineColor, PixProbePoint &q, const PixProbePoint &p1, qint32 w,
                                         double m)
{
    // The nearest line pixel ahead, on arcs of growing radius a pixel apart and within 45
    // degrees of the direction so far, nearest that direction first: a curve bends over a gap,
    // a dash may lie off the straight prediction, and the half-circles, sampled at eleven
    // points, can step over a short dash. A gap wider than the reach is a lost line, and a
    // huge step must not freeze the window in arcs of thousands of pixels.
    const double direction = std::atan(m);
    const double reach = std::min(double(kBridgeSteps) * w, double(kBridgeReach * kTwipsPerPixel));
    constexpr double kCone = 0.7853981633974483; // 45 degrees
    // With lines next to it, the whole cone is read: every line pixel's distance across the
    // direction, so that a second line beside the one that goes on shows.
    std::vector<double> across;
    bool found = false;
    for (double r = 2 * kTwipsPerPixel; r <= reach; r += kTwipsPerPixel) {
        mHost.processEvents();
        if (mState.mAutoLineCancel)
            return Bridge::Cancelled;
        const int steps = std::max(1, int(std::ceil(r * kCone / kTwipsPerPixel)));
        bool onPicture = false;
        for (int k = 0; k <= 2 * steps; ++k) {
            const int side = k % 2 ? 1 : -1; // 0, +1, -1, +2, -2, ...
            const double angle = side * ((k + 1) / 2) * kCone / steps;
            const double dx = r * std::cos(direction + angle), dy = r * std::sin(direction + angle);
            const qint32 x = nearestEven(p1.x + dx), y = nearestEven(p1.y + dy);
            const qint32 color = mHost.colorAt(x, y);
            onPicture = onPicture || color >= 0;
            if (x <= p1.x || !onLine(color, lineColor))
                continue;
            if (!found)
                q = {x, y};
            found = true;
            if (!mState.mHasLines)
                return Bridge::Found;
            across.push_back(r * std::sin(angle));
        }
        // Beyond the picture's edge there is nothing more to find.
        if (!onPicture)
            break;
    }
    if (!found)
        return Bridge::Nothing;
    // One line ahead spreads its pixels over one band across the direction (a bend widens
    // it); a gap between bands wider than a few pixels is a second line. A band of one or two
    // probes is a speck (of the exact colour in a JPEG), not a line.
    std::sort(across.begin(), across.end());
    int lines = 0;
    for (size_t first = 0, k = 1; k <= across.size(); ++k) {
        if (k == across.size() || across[k] - across[k - 1] > kSecondLineGap * kTwipsPerPixel) {
            lines += k - first > 2 ? 1 : 0;
            first = k;
        }
    }
    return lines > 1 ? Bridge::Unsure : Bridge::Found;
}

void LineTracer::SnapToLine(PixProbePoint candidate, PixProbePoint &target, qint32 lineColor)
{
    const qint32 status = mHost.linePoint(candidate.x, candidate.y, target, lineFor(lineColor));
    mHost.processEvents();
    const bool belowPicture = -double(target.y) > mHost.pictureHeight();
    const bool untrusted = belowPicture || (mState.mHasGrid && status == PIXPROBE_CROSSING);
    if (untrusted && !mState.mAutoLineCancel) {
        mState.mRecoveryRefX = candidate.x;
        // Below the picture is only the module's way of saying "nothing here": the user is
        // shown where the line was looked for, not the picture's bottom edge.
        if (belowPicture)
            target = candidate;
        mHost.getPointFromUser(target);
    }
}

} // namespace chartrek
