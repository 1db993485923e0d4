#include "autoline/LineTracer.h"

#include "core/Twips.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace chartrek {

namespace {
// A point is repainted with every twelfth added point.
constexpr int kRepaintEvery = 10;
// How many step widths ahead a gap in a dashed line may span.
constexpr int kBridgeSteps = 3;
} // namespace

qint32 nearestEven(double v)
{
    return qint32(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0));
}

bool LineTracer::onLine(qint32 color, qint32 lineColor) const
{
    if (color == lineColor)
        return true;
    const int t = mState.mColorTolerance;
    if (t <= 0 || color < 0)
        return false;
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(((color >> shift) & 0xFF) - ((lineColor >> shift) & 0xFF)) > t)
            return false;
    }
    return true;
}

TraceResult LineTracer::TraceLine(qint32 lineColor, PixProbePoint &p0, PixProbePoint &p1, qint32 endX)
{
    TraceResult result;
    SnapToLine(p0, p0, lineColor);
    SnapToLine(p1, p1, lineColor);
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
    PixProbePoint lastSnapped = p1;

    while (p1.x < endX) {
        if (mState.mAutoLineCancel) {
            result.ending = TraceResult::CancelledBetweenSteps;
            return result;
        }
        mHost.processEvents();
        PixProbePoint q{};
        if (!FindNextPoint(lineColor, q, p1, w, m, b)) {
            result.ending = TraceResult::CancelledInSearch;
            return result;
        }
        p0 = p1;
        SnapToLine(q, p1, lineColor);
        // On a steep part the probe module places every candidate of one pixel column on the
        // middle of the column's run: the same point again, which adds nothing. The trace
        // moves on without it (and 2 units right, as below).
        const bool repeated = p1.x == lastSnapped.x && p1.y == lastSnapped.y;
        lastSnapped = p1;
        // A vertical part keeps x, and the probe module may put x back to the middle of the
        // candidate's pixel column; the next step must still move right, or the trace would
        // never end.
        if (p1.x <= p0.x)
            p1.x = p0.x + 2;
        if (repeated) {
            b = p1.y - p1.x * m;
            continue;
        }
        // Over less than half a step the slope is mostly the pixels' rounding (over 2 units, a
        // pixel up or down is a slope of 7): it is taken from the latest point at least half a
        // step back.
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
    bool upperRun = false;
    bool lowerRun = false;
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
        const double step = R / 10;
        // A run of matching probes on one half-circle is one crossing.
        const auto probe = [&](qint32 x, qint32 y, bool &run) {
            const bool ahead = (x - p1.x) + (y - p1.y) * m >= 0;
            if (ahead && onLine(mHost.colorAt(x, y), lineColor)) {
                crossings += run ? 0 : 1;
                run = true;
                q = {x, y};
            } else {
                run = false;
            }
        };
        for (double i = 0; i <= R; i += step) {
            const double d = std::sqrt(std::max(0.0, R * R - i * i));
            const qint32 x = nearestEven(p1.x + i);
            probe(x, nearestEven(p1.y + d), upperRun);
            probe(x, nearestEven(p1.y - d), lowerRun);
            if (step <= 0)
                break;
        }
        // Both half-circles end in (x1 + R, y1): a line through there is one crossing.
        if (upperRun && lowerRun)
            --crossings;
        if (crossings > 0) {
            if (mState.mHasLines && crossings > 1) {
                mState.mRecoveryRefX = p1.x;
                mHost.getPointFromUser(q);
            }
            return true;
        }
        ++n;
        // A half-circle smaller than two pixels reads only the pixels around the current point,
        // where the line's own thickness looks like two crossings: the line is lost.
        if (R < 2 * kTwipsPerPixel) {
            // A dashed or dotted line: a gap after the current point swallowed every
            // prediction and half-circle. The line goes on ahead, beyond the gap.
            if (bridgeGap(lineColor, q, p1, w, m))
                return true;
            mState.mRecoveryRefX = p1.x;
            mHost.getPointFromUser(q);
            return true;
        }
    }
    return false;
}

bool LineTracer::bridgeGap(qint32 lineColor, PixProbePoint &q, const PixProbePoint &p1, qint32 w, double m)
{
    // The nearest line pixel ahead, on arcs of growing radius a pixel apart and within 45
    // degrees of the direction so far, nearest that direction first: a curve bends over a gap,
    // a dash may lie off the straight prediction, and the half-circles, sampled at eleven
    // points, can step over a short dash.
    const double direction = std::atan(m);
    constexpr double kCone = 0.7853981633974483; // 45 degrees
    for (double r = 2 * kTwipsPerPixel; r <= double(kBridgeSteps) * w; r += kTwipsPerPixel) {
        const int steps = std::max(1, int(std::ceil(r * kCone / kTwipsPerPixel)));
        for (int k = 0; k <= 2 * steps; ++k) {
            const int side = k % 2 ? 1 : -1; // 0, +1, -1, +2, -2, ...
            const double angle = direction + side * ((k + 1) / 2) * kCone / steps;
            const qint32 x = nearestEven(p1.x + r * std::cos(angle));
            const qint32 y = nearestEven(p1.y + r * std::sin(angle));
            if (x > p1.x && onLine(mHost.colorAt(x, y), lineColor)) {
                q = {x, y};
                return true;
            }
        }
    }
    return false;
}

void LineTracer::SnapToLine(PixProbePoint candidate, PixProbePoint &target, qint32 lineColor)
{
    const qint32 status = mHost.linePoint(candidate.x, candidate.y, target, lineColor, mState.mColorTolerance);
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
