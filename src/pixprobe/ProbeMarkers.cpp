// A data marker is a blob much thicker than the line it sits on: a filled circle, square,
// triangle or diamond, or an open one, whose outline encloses paper. Where the line runs
// through it, its pixels are hidden; the data point lies where the line's two arms, the line
// coming in and the line going out, meet, which is also the marker's centre. The answer for a
// column is that point, or past it, the arm going out.

#include "pixprobe/ProbeMarkers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace chartrek::probe {

namespace {

// How far around the run the picture is read: enough for a marker and a stretch of its arms.
constexpr int MinReach = 24;
constexpr int MaxReach = 40;
// How long a stretch of an arm is fitted beyond the marker, in pixels: a line bends at the
// next data point.
constexpr double ArmLength = 14;
// Arms this close in angle around the marker are one arm (a dotted line's dots), radians.
constexpr double ArmGap = 0.5;
// Arms meeting at less than this angle (its sine) cross too flatly to place their meeting point.
constexpr double FlattestMeeting = 0.2;
// An arm whose direction's x part is smaller than this (steeper than 4 in 1) passes a column
// too steeply to say where.
constexpr double Steepest = 0.25;
constexpr double Far = 1e9;
constexpr double MinDepth = 2.5;
// An arm of fewer pixels, or spread along less, gives only the way it leaves, not its line.
constexpr size_t MinArmPixels = 5;
constexpr double MinArmSpread = 4;
// An arm is followed across gaps of up to four pixels (a dotted line's), within this square.
constexpr int DotJump = 11;

// Squared distances to the nearest zero of f along one line of n values (the lower envelope
// of parabolas), into d.
void distanceAlong(const double *f, int n, double *d)
{
    std::vector<int> v(size_t(n), 0);
    std::vector<double> z(size_t(n) + 1, 0);
    const auto meet = [&](int q, int p) { return ((f[q] + double(q) * q) - (f[p] + double(p) * p)) / (2.0 * (q - p)); };
    int k = 0;
    z[0] = -2 * Far;
    z[1] = 2 * Far;
    for (int q = 1; q < n; ++q) {
        double s = meet(q, v[size_t(k)]);
        while (s <= z[size_t(k)])
            s = meet(q, v[size_t(--k)]);
        ++k;
        v[size_t(k)] = q;
        z[size_t(k)] = s;
        z[size_t(k) + 1] = 2 * Far;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[size_t(k) + 1] < q)
            ++k;
        const int p = v[size_t(k)];
        d[q] = double(q - p) * (q - p) + f[p];
    }
}

// The square of pixels around a point: which are line, which are paper enclosed by line (the
// inside of an open marker), and how deep each lies in the line-and-enclosed area.
class Window {
public:
    Window(const PixProbeSurface *dc, const LineInk &ink, int32_t col, int32_t row, int reach)
        : mLeft(col - reach), mTop(row - reach), mSide(2 * reach + 1), mWeight(size()), mFilled(size(), 1),
          mDepth(size())
    {
        for (int j = 0; j < mSide; ++j) {
            for (int i = 0; i < mSide; ++i)
                mWeight[index(i, j)] = ink.weight(pixel(dc, mLeft + i, mTop + j));
        }
        // Paper reached from the window's edge without crossing the line is outside; what is
        // left is the line and the paper it encloses.
        std::vector<int> todo;
        const auto reach4 = [&](int i, int j) {
            if (i >= 0 && j >= 0 && i < mSide && j < mSide && mFilled[index(i, j)] && mWeight[index(i, j)] == 0) {
                mFilled[index(i, j)] = 0;
                todo.push_back(int(index(i, j)));
            }
        };
        for (int k = 0; k < mSide; ++k)
            reach4(k, 0), reach4(k, mSide - 1), reach4(0, k), reach4(mSide - 1, k);
        while (!todo.empty()) {
            const int at = todo.back();
            todo.pop_back();
            const int i = at % mSide, j = at / mSide;
            reach4(i - 1, j), reach4(i + 1, j), reach4(i, j - 1), reach4(i, j + 1);
        }
        // Depth: the distance from each pixel to the nearest one outside, columns then rows.
        std::vector<double> f(static_cast<size_t>(mSide)), d(static_cast<size_t>(mSide));
        for (int i = 0; i < mSide; ++i) {
            for (int j = 0; j < mSide; ++j)
                f[size_t(j)] = mFilled[index(i, j)] ? Far : 0;
            distanceAlong(f.data(), mSide, d.data());
            for (int j = 0; j < mSide; ++j)
                mDepth[index(i, j)] = d[size_t(j)];
        }
        for (int j = 0; j < mSide; ++j) {
            for (int i = 0; i < mSide; ++i)
                f[size_t(i)] = mDepth[index(i, j)];
            distanceAlong(f.data(), mSide, d.data());
            for (int i = 0; i < mSide; ++i)
                mDepth[index(i, j)] = std::sqrt(d[size_t(i)]);
        }
    }

    int side() const { return mSide; }
    int32_t left() const { return mLeft; }
    int32_t top() const { return mTop; }
    size_t index(int i, int j) const { return size_t(j) * size_t(mSide) + size_t(i); }
    int weight(int i, int j) const { return mWeight[index(i, j)]; }
    bool filled(int i, int j) const { return mFilled[index(i, j)] != 0; }
    double depth(int i, int j) const { return mDepth[index(i, j)]; }

private:
    size_t size() const { return size_t(mSide) * size_t(mSide); }
    int32_t mLeft, mTop;
    int mSide;
    std::vector<int> mWeight;
    std::vector<char> mFilled;
    std::vector<double> mDepth;
};

// A straight line fitted through weighted pixels: through their centre along the direction
// they spread most in.
struct Arm {
    double x = 0, y = 0;   // centre, pixels
    double dx = 1, dy = 0; // unit direction
    double weight = 0;
    std::vector<std::pair<double, double>> points;
    std::vector<double> weights;

    void fit()
    {
        double sx = 0, sy = 0;
        weight = 0;
        for (size_t k = 0; k < points.size(); ++k)
            sx += weights[k] * points[k].first, sy += weights[k] * points[k].second, weight += weights[k];
        x = sx / weight, y = sy / weight;
        double xx = 0, xy = 0, yy = 0;
        for (size_t k = 0; k < points.size(); ++k) {
            const double u = points[k].first - x, v = points[k].second - y;
            xx += weights[k] * u * u, xy += weights[k] * u * v, yy += weights[k] * v * v;
        }
        const double angle = 0.5 * std::atan2(2 * xy, xx - yy);
        dx = std::cos(angle), dy = std::sin(angle);
    }
    // y where the arm's line passes x.
    double yAt(double at) const { return y + (at - x) * dy / dx; }
    // Enough pixels, far enough apart, to give the arm's direction.
    bool reliable() const
    {
        double low = Far, high = -Far;
        for (const auto &[px, py] : points) {
            const double along = (px - x) * dx + (py - y) * dy;
            low = std::min(low, along), high = std::max(high, along);
        }
        return points.size() >= MinArmPixels && high - low >= MinArmSpread;
    }
};

} // namespace

std::optional<MarkerPoint> markerPoint(const PixProbeSurface *dc, int32_t col, const Run &run, const LineInk &ink,
                                       double width, double gap)
{
    if (width <= 0)
        return std::nullopt;
    const int reach = std::clamp(int(4 * width) + 20, MinReach, MaxReach);
    const int32_t row = (run.top + run.bottom) / 2;
    // Read with the line's faded edge: a blur leaves gaps of paler pixels in an open marker's
    // outline, through which the paper outside would seem to reach its inside.
    const Window w(dc, ink.withEdges(), col, row, reach);
    const int side = w.side();
    // A line's pixels lie at most about half its width deep, where it turns a corner 0.85 of its
    // width; a marker's centre deeper, 2.5 pixels at least (a blob of 5 by 5).
    const double thick = std::max(0.9 * width + 0.75, MinDepth);
    const int ri = col - w.left(), rj = row - w.top();

    // The marker's deep part that the run belongs to or touches: flooded from the deep pixels
    // near the run.
    std::vector<char> core(size_t(side) * size_t(side), 0);
    std::vector<int> todo;
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            const double d = w.depth(i, j);
            if (d >= thick && std::hypot(i - ri, j - rj) <= d + width + 2) {
                core[w.index(i, j)] = 1;
                todo.push_back(int(w.index(i, j)));
            }
        }
    }
    if (todo.empty())
        return std::nullopt;
    // Its box: every deep pixel with the disc its depth spans.
    double left = Far, right = -Far, top = Far, bottom = -Far;
    std::vector<int> marker;
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        marker.push_back(at);
        const int i = at % side, j = at / side;
        const double d = w.depth(i, j) - 0.5;
        left = std::min(left, i + 0.5 - d), right = std::max(right, i + 0.5 + d);
        top = std::min(top, j + 0.5 - d), bottom = std::max(bottom, j + 0.5 + d);
        for (int k = 0; k < 9; ++k) {
            const int ni = i + k % 3 - 1, nj = j + k / 3 - 1;
            if (ni < 0 || nj < 0 || ni >= side || nj >= side || core[w.index(ni, nj)] || w.depth(ni, nj) < thick)
                continue;
            core[w.index(ni, nj)] = 1;
            todo.push_back(int(w.index(ni, nj)));
        }
    }
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double radius = std::max(right - left, bottom - top) / 2;
    // A run beside the marker, not joined to it, is the line's own.
    if (ri + 0.5 < left - width - 2 || ri + 0.5 > right + width + 2 || rj + 0.5 < top - width - 2
        || rj + 0.5 > bottom + width + 2)
        return std::nullopt;

    // The arms: line pixels joined to the marker (across a dotted line's gaps), beyond it.
    std::vector<char> seen(size_t(side) * size_t(side), 0);
    for (const int at : marker)
        seen[size_t(at)] = 1, todo.push_back(at);
    // Where two arms leave the marker side by side they touch: they are told apart a little
    // further out.
    const double armFrom = radius + width / 2 + 2.5, armTo = armFrom + ArmLength + 2 * gap;
    struct Pixel {
        double angle, x, y, weight;
    };
    std::vector<Pixel> armPixels;
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        const int i = at % side, j = at / side;
        for (int k = 0; k < DotJump * DotJump; ++k) {
            const int ni = i + k % DotJump - DotJump / 2, nj = j + k / DotJump - DotJump / 2;
            if (ni < 0 || nj < 0 || ni >= side || nj >= side || seen[w.index(ni, nj)] || !w.filled(ni, nj))
                continue;
            const double x = ni + 0.5 - cx, y = nj + 0.5 - cy, r = std::hypot(x, y);
            if (r > armTo)
                continue;
            seen[w.index(ni, nj)] = 1;
            todo.push_back(int(w.index(ni, nj)));
            if (r >= armFrom && w.weight(ni, nj) > 0)
                armPixels.push_back({std::atan2(y, x), x, y, double(w.weight(ni, nj))});
        }
    }
    // Pixels close in angle around the marker are one arm.
    std::sort(armPixels.begin(), armPixels.end(), [](const Pixel &a, const Pixel &b) { return a.angle < b.angle; });
    std::vector<Arm> arms;
    if (!armPixels.empty()) {
        size_t start = 0; // an arm's first pixel: after the widest gap, so that none is split
        double widest = armPixels.front().angle + 2 * M_PI - armPixels.back().angle;
        for (size_t k = 1; k < armPixels.size(); ++k) {
            if (armPixels[k].angle - armPixels[k - 1].angle > widest)
                widest = armPixels[k].angle - armPixels[k - 1].angle, start = k;
        }
        for (size_t n = 0; n < armPixels.size(); ++n) {
            const Pixel &p = armPixels[(start + n) % armPixels.size()];
            const Pixel &before = armPixels[(start + n + armPixels.size() - 1) % armPixels.size()];
            if (n == 0 || std::remainder(p.angle - before.angle, 2 * M_PI) > ArmGap)
                arms.emplace_back();
            arms.back().points.push_back({p.x + cx, p.y + cy});
            arms.back().weights.push_back(p.weight);
        }
    }
    // Specks (a JPEG's ringing, a neighbour's anti-aliased edge) are no arms; a dotted line's
    // dots, or of the exact colour its pixels, may be two pixels.
    const size_t speck = ink.tolerance() > 0 && gap == 0 ? 2 : 1;
    arms.erase(std::remove_if(arms.begin(), arms.end(), [&](const Arm &a) { return a.points.size() <= speck; }),
               arms.end());
    for (Arm &a : arms)
        a.fit();

    MarkerPoint answer;
    answer.crossing = arms.size() > 2;
    answer.x = cx, answer.y = cy;
    // The arm coming in lies left of the marker, the arm going out right of it; two on one
    // side are two lines, neither of them told apart.
    const Arm *in = nullptr, *out = nullptr;
    int lefts = 0, rights = 0;
    for (const Arm &a : arms)
        (a.x < cx ? (++lefts, in) : (++rights, out)) = &a;
    if (lefts > 1)
        in = nullptr;
    if (rights > 1)
        out = nullptr;
    if (in && out && in->reliable() && out->reliable()) {
        const double cross = in->dx * out->dy - in->dy * out->dx;
        if (std::abs(cross) >= FlattestMeeting) {
            // Where the two arms' lines meet.
            const double t = ((out->x - in->x) * out->dy - (out->y - in->y) * out->dx) / cross;
            const double x = in->x + t * in->dx, y = in->y + t * in->dy;
            if (std::hypot(x - cx, y - cy) <= radius + 1)
                answer.x = x, answer.y = y;
        } else if (std::abs(in->dx) >= Steepest && std::abs(out->dx) >= Steepest) {
            // Nearly one straight line through the marker: on it, at the marker's centre.
            answer.y = (in->yAt(cx) + out->yAt(cx)) / 2;
        }
    }
    // The column's middle on the line from the data point to the middle of the arm that passes
    // it: the line coming in up to the data point, the line going out after it. An arm too
    // steep to say where it passes the column, or none, leaves the data point.
    const double at = ri + 0.5;
    if (const Arm *arm = at <= answer.x ? in : out) {
        const double dx = arm->x - answer.x, dy = arm->y - answer.y;
        if (std::abs(dx) >= Steepest * std::hypot(dx, dy)) {
            answer.y += (at - answer.x) * dy / dx;
            answer.x = at;
        }
    }
    answer.x += w.left(), answer.y += w.top();
    return answer;
}

} // namespace chartrek::probe
