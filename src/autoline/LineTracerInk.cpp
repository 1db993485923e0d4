#include "autoline/LineTracerInk.h"

#include "autoline/LineTracer.h"
#include "core/Twips.h"
#include "pixprobe/LineInk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace chartrek {

namespace {
// The paper is read this many pixels around each point, every PaperStep pixels; the line's core
// within CoreReach pixels of it.
constexpr int PaperReach = 15;
constexpr int PaperStep = 3;
constexpr int CoreReach = 2;
// A run across the line is followed at most this far.
constexpr int LongestRun = 64;
// The longest gap of a dotted or dashed line, pixels.
constexpr double LongestGap = 8;

// The median of each channel.
qint32 medianColor(std::vector<qint32> colors)
{
    qint32 median = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        std::vector<int> channel;
        for (const qint32 c : colors)
            channel.push_back((c >> shift) & 0xFF);
        std::nth_element(channel.begin(), channel.begin() + qsizetype(channel.size() / 2), channel.end());
        median |= channel[channel.size() / 2] << shift;
    }
    return median;
}

struct Pixel {
    int col, row;
};

} // namespace

LearntLine learnLine(TraceHost &host, qint32 clicked, int tolerance, const std::vector<PixProbePoint> &points)
{
    const auto colorOf = [&host](int col, int row) {
        return host.colorAt(col * kTwipsPerPixel + kTwipsPerPixel / 2, -(row * kTwipsPerPixel + kTwipsPerPixel / 2));
    };
    PixProbeLine line{clicked, tolerance, -1, 0, 0};
    std::vector<Pixel> centres;
    for (const PixProbePoint &p : points)
        centres.push_back({floorDiv(p.x, kTwipsPerPixel), floorDiv(-qint64(p.y), kTwipsPerPixel)});

    if (tolerance > 0) {
        // The paper: what is around the points, less the line and its blurred edges.
        std::vector<qint32> paper;
        for (const Pixel &c : centres) {
            for (int dy = -PaperReach; dy <= PaperReach; dy += PaperStep) {
                for (int dx = -PaperReach; dx <= PaperReach; dx += PaperStep) {
                    const qint32 color = colorOf(c.col + dx, c.row + dy);
                    if (color >= 0 && LineInk::distance(color, clicked) > 2 * tolerance)
                        paper.push_back(color);
                }
            }
        }
        if (paper.size() >= 8)
            line.background = medianColor(paper);
        // The core: near each point, the pixel of the line colour that stands out most from the
        // paper (a dotted line's dot may have only one); their median over the points.
        std::vector<qint32> cores;
        const LineInk near(clicked, tolerance);
        for (const Pixel &c : centres) {
            qint32 core = -1;
            for (int dy = -CoreReach; dy <= CoreReach && line.background >= 0; ++dy) {
                for (int dx = -CoreReach; dx <= CoreReach; ++dx) {
                    const qint32 color = colorOf(c.col + dx, c.row + dy);
                    if (near.matches(color)
                        && (core < 0 || LineInk::distance(color, line.background) > LineInk::distance(core, line.background)))
                        core = color;
                }
            }
            if (core >= 0)
                cores.push_back(core);
        }
        // A clicked pixel that stands out as much is the core already.
        if (!cores.empty()) {
            const qint32 core = medianColor(cores);
            if (LineInk::distance(core, clicked) <= tolerance
                && LineInk::distance(core, line.background) > LineInk::distance(clicked, line.background))
                line.color = core;
        }
    }

    // The width: from the runs down the columns and along the rows around the line's core
    // pixel near each point (a band w wide, sloping, runs v down and h along, with
    // w = v h / sqrt(v^2 + h^2)); the thinnest point, as a marker can only make one thicker.
    const LineInk ink(line.color, line.tolerance, line.background);
    const auto runThrough = [&](int col, int row, int dx, int dy) {
        int run = 0;
        if (!ink.matches(colorOf(col, row)))
            return 0;
        for (const int sign : {-1, 1}) {
            for (int k = 1; k < LongestRun && ink.matches(colorOf(col + sign * k * dx, row + sign * k * dy)); ++k)
                ++run;
        }
        return run + 1;
    };
    double width = 0;
    std::vector<Pixel> cores;
    for (const Pixel &c : centres) {
        std::optional<Pixel> core;
        int best = 0;
        for (int dy = -CoreReach; dy <= CoreReach; ++dy) {
            for (int dx = -CoreReach; dx <= CoreReach; ++dx) {
                const int weight = ink.weight(colorOf(c.col + dx, c.row + dy));
                if (weight > best)
                    best = weight, core = Pixel{c.col + dx, c.row + dy};
            }
        }
        if (!core)
            continue;
        cores.push_back(*core);
        double down = 0, along = 0;
        int columns = 0, rows = 0;
        for (int k = -CoreReach; k <= CoreReach; ++k) {
            // The run nearest the core's row in the column beside it, and the same along rows.
            for (int d = 0; d <= CoreReach; ++d) {
                const int run = std::max(runThrough(core->col + k, core->row - d, 0, 1), runThrough(core->col + k, core->row + d, 0, 1));
                if (run > 0) {
                    down += run, ++columns;
                    break;
                }
            }
            for (int d = 0; d <= CoreReach; ++d) {
                const int run = std::max(runThrough(core->col - d, core->row + k, 1, 0), runThrough(core->col + d, core->row + k, 1, 0));
                if (run > 0) {
                    along += run, ++rows;
                    break;
                }
            }
        }
        if (columns == 0 || rows == 0)
            continue;
        down /= columns, along /= rows;
        const double across = down * along / std::hypot(down, along);
        width = width > 0 ? std::min(width, across) : across;
    }
    line.width = int(std::lround(width * 16));

    // The gaps: along the straight stretch between the starting and distance points' cores,
    // the longest part with no line pixel across it, and whether a dot lies between two gaps,
    // no longer than they are: a dotted line, not a dashed one. Of the exact colour, the pixels
    // a smoothed or blurred line lacks here and there cannot be told from its gaps.
    double gap = 0, shortestDot = LongestRun;
    if (cores.size() == 3 && tolerance > 0) {
        const Pixel a = cores[1], b = cores[2];
        const double length = std::hypot(b.col - a.col, b.row - a.row);
        const int steps = int(std::ceil(2 * length));
        double missing = 0, dot = 0;
        bool afterGap = false;
        for (int k = 0; k <= steps; ++k) {
            const double x = a.col + (b.col - a.col) * double(k) / steps, y = a.row + (b.row - a.row) * double(k) / steps;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                found = ink.matches(colorOf(int(std::lround(x)), int(std::lround(y)) + dy));
            if (found) {
                dot += length / steps;
                missing = 0;
            } else {
                if (afterGap && dot > 0)
                    shortestDot = std::min(shortestDot, dot);
                afterGap = true;
                dot = 0;
                missing += length / steps;
            }
            gap = std::max(gap, missing);
        }
        // A stretch with hardly a line pixel (of the exact colour in a JPEG) says nothing of
        // dots; a longer gap is for the bridge over a gap to cross.
        if (gap > length / 2)
            gap = 0;
        gap = std::min(gap, LongestGap);
    }
    line.gap = int(std::lround(gap * 16));
    return {line, gap, gap > 0 && shortestDot <= gap};
}

} // namespace chartrek
