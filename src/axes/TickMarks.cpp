#include "axes/TickMarks.h"

#include <algorithm>
#include <cmath>

namespace chartrek {

namespace {

constexpr int kLineContrast = 14; // grid lines may be faint: white on light grey

// Every thin line across the rows beside one label.
std::vector<TickMark> linesNear(const InkImage &image, const LabelSpot &label, int direction, double window,
                                const std::function<bool(int, int)> &blocked)
{
    const int h = std::max(4, label.textHeight);
    const int depth = int(std::ceil(2.5 * h + 12));
    const int maxWidth = std::max(3, int(std::lround(0.3 * h)));
    const int minLength = std::max(2, int(std::lround(0.2 * h)));
    const int x0 = std::max(0, int(std::floor(label.anchor - window)));
    const int x1 = std::min(image.width(), int(std::ceil(label.anchor + window)) + 1);
    const int width = x1 - x0;
    if (width < 1)
        return {};

    // strength[r][i]: how much a pixel stands out from the nearest pixels on both sides within
    // a line's width: darker than both (a dark line) or lighter than both (a light grid line
    // on grey). Wide patches and the edges between two backgrounds do not count.
    std::vector<std::vector<int>> strength, darkness, lightness;
    std::vector<int> rows;
    const int reach = maxWidth + 1;
    for (int k = 2; k <= depth; ++k) {
        const int y = label.edge + direction * k;
        if (y < 0 || y >= image.height())
            break;
        const std::uint8_t *line = image.row(y);
        std::vector<int> row(width, 0), darkRow(width, 0), lightRow(width, 0);
        for (int i = 0; i < width; ++i) {
            const int x = x0 + i;
            if (blocked(x, y))
                continue;
            int leftMax = -1, leftMin = 256, rightMax = -1, rightMin = 256;
            for (int a = 1; a <= reach; ++a) {
                if (x - a >= 0) {
                    leftMax = std::max<int>(leftMax, line[x - a]);
                    leftMin = std::min<int>(leftMin, line[x - a]);
                }
                if (x + a < image.width()) {
                    rightMax = std::max<int>(rightMax, line[x + a]);
                    rightMin = std::min<int>(rightMin, line[x + a]);
                }
            }
            if (leftMax < 0 || rightMax < 0)
                continue;
            const int dark = std::min(leftMax, rightMax) - line[x];
            // A light line has the darker background beyond it on both sides; the white gap
            // between a mark and a curve or a frame close by has white beyond it.
            const int beyond = std::max<int>(x - reach >= 0 ? line[x - reach] : 0, x + reach < image.width() ? line[x + reach] : 0);
            const int light = std::min(line[x] - std::max(leftMin, rightMin), line[x] - beyond);
            darkRow[i] = std::max(0, dark);
            lightRow[i] = std::max(0, light);
            row[i] = std::max(darkRow[i], lightRow[i]);
        }
        strength.push_back(std::move(row));
        darkness.push_back(std::move(darkRow));
        lightness.push_back(std::move(lightRow));
        rows.push_back(y);
    }

    // The strongest contrast down each column.
    std::vector<int> peakStrength(width, 0);
    for (const auto &row : strength)
        for (int i = 0; i < width; ++i)
            peakStrength[i] = std::max(peakStrength[i], row[i]);

    // The longest run down each column; a gap as wide as a line may cross it (a frame line).
    const int gapAllowed = std::max(2, maxWidth);
    std::vector<int> best(width, 0), bestFirst(width, 0);
    for (int i = 0; i < width; ++i) {
        int first = -1, gap = 0;
        for (int r = 0; r < int(strength.size()); ++r) {
            if (strength[r][i] >= kLineContrast) {
                if (first < 0 || gap > gapAllowed)
                    first = r;
                gap = 0;
                if (r - first + 1 > best[i]) {
                    best[i] = r - first + 1;
                    bestFirst[i] = first;
                }
            } else if (first >= 0) {
                ++gap;
            }
        }
    }

    // Neighbouring columns with long runs form one line. Lines closer than their width (a
    // major tick beside the minor ones of a log axis, a tick beside a legend's frame) run
    // together: they are taken apart from the longest down.
    std::vector<TickMark> lines;
    std::vector<char> used(width, 0);
    std::vector<int> takenBy(width, -1);
    // The centre of a line: along its run, each row's contrast-weighted centre over the line's
    // columns and one beside; the median of those, so that a curve crossing it does not pull.
    std::vector<double> centres;
    std::vector<int> contrasts;
    auto addLine = [&](int from, int to, int peak) {
        const int first = bestFirst[peak], last = first + best[peak];
        // In each row a line is darker or lighter than its surroundings (a dark mark may go on as
        // a white grid line over a grey plot). Only that row's kind of contrast places it there:
        // the light gap between a mark and a close minor one stands out as a light line, and
        // counted with the dark mark's edge it pulls the centre aside.
        auto darkIn = [&](int r) {
            long dark = 0, light = 0;
            for (int k = from; k <= to; ++k) {
                dark += darkness[r][k];
                light += lightness[r][k];
            }
            return dark >= light;
        };
        centres.clear();
        for (int r = first; r < last; ++r) {
            const bool darkLine = darkIn(r);
            const auto &weight = darkLine ? darkness : lightness;
            // A blurred edge lies between the line's level and the background's; a pixel beside
            // it at the background's level only stands out against something else.
            const std::uint8_t *line = image.row(rows[r]);
            int lightest = 0, darkest = 255;
            for (int x = std::max(0, x0 + from - reach - 1); x <= std::min(image.width() - 1, x0 + to + reach + 1); ++x) {
                lightest = std::max<int>(lightest, line[x]);
                darkest = std::min<int>(darkest, line[x]);
            }
            auto edgeOf = [&](int k) {
                const int v = line[x0 + k];
                return darkLine ? lightest - v >= kLineContrast / 2 : v - darkest >= kLineContrast / 2;
            };
            double sum = 0, weighted = 0;
            for (int k = std::max(0, from - 1); k <= std::min(width - 1, to + 1); ++k) {
                if ((k < from || k > to) && used[k] && best[k] > best[peak] / 2)
                    continue; // the edge of another line
                if ((k < from || k > to) && !edgeOf(k))
                    continue;
                sum += weight[r][k];
                weighted += weight[r][k] * (x0 + k + 0.5);
            }
            if (sum > 0)
                centres.push_back(weighted / sum);
        }
        if (centres.empty())
            return;
        std::sort(centres.begin(), centres.end());
        const size_t n = centres.size();
        const double centre = n % 2 ? centres[n / 2] : 0.5 * (centres[n / 2 - 1] + centres[n / 2]);
        lines.push_back({centre, first + 2, best[peak], rows[last - 1], centres[3 * n / 4] - centres[n / 4]});
        contrasts.push_back(*std::max_element(peakStrength.begin() + from, peakStrength.begin() + to + 1));
    };
    for (int i = 0; i < width;) {
        if (best[i] < minLength) {
            ++i;
            continue;
        }
        int runEnd = i;
        while (runEnd + 1 < width && best[runEnd + 1] >= minLength)
            ++runEnd;
        for (;;) {
            int peak = -1;
            for (int k = i; k <= runEnd; ++k)
                if (!used[k] && (peak < 0 || best[k] > best[peak]))
                    peak = k;
            if (peak < 0)
                break;
            // The columns of one line are about as long and leave the label together; those of
            // a slanting curve close by start one after the other.
            auto sameLine = [&](int k) {
                return !used[k] && best[k] * 5 >= best[peak] * 4 && std::abs(bestFirst[k] - bestFirst[peak]) <= 2;
            };
            int from = peak, to = peak;
            while (from > i && sameLine(from - 1))
                --from;
            while (to < runEnd && sameLine(to + 1))
                ++to;
            // A much fainter piece touching a line already taken is its blurred edge (a JPEG's
            // ringing), not a line of its own; so is a shorter one that leaves the label where it
            // does: a mark drawn wider than the grid line that goes on from it.
            auto partOf = [&](int k) {
                const int taken = takenBy[k];
                return 2 * peakStrength[peak] < peakStrength[k]
                    || (std::abs(bestFirst[peak] - bestFirst[taken]) <= 1 && best[peak] < best[taken]);
            };
            const bool edge = (from > i && used[from - 1] && partOf(from - 1)) || (to < runEnd && used[to + 1] && partOf(to + 1));
            std::fill(used.begin() + from, used.begin() + to + 1, 1);
            std::fill(takenBy.begin() + from, takenBy.begin() + to + 1, peak);
            if (!edge && to - from + 1 <= maxWidth + 1)
                addLine(from, to, peak);
        }
        i = runEnd + 1;
    }
    // A much fainter line, no longer than a strong one within a line's width of it, is that
    // one's JPEG ringing, wherever the two runs were taken apart.
    std::vector<TickMark> kept;
    for (size_t a = 0; a < lines.size(); ++a) {
        bool ringing = false;
        for (size_t b = 0; b < lines.size() && !ringing; ++b)
            ringing = 2 * contrasts[a] < contrasts[b] && lines[a].length <= lines[b].length
                && std::abs(lines[a].position - lines[b].position) <= reach;
        if (!ringing)
            kept.push_back(lines[a]);
    }
    return kept;
}

} // namespace

std::vector<std::optional<TickMark>> findTicks(const InkImage &image, const std::vector<LabelSpot> &labels,
                                               int direction, double window,
                                               const std::function<bool(int, int)> &blocked)
{
    const size_t n = labels.size();
    std::vector<std::vector<TickMark>> lines(n);
    for (size_t k = 0; k < n; ++k) {
        lines[k] = linesNear(image, labels[k], direction, window, blocked);
    }
    std::vector<std::optional<TickMark>> marks(n);
    // The marks of one axis are alike: as far from their labels, as far from their anchors, and
    // not much shorter (a curve or a legend may cut one short; a frame line may be longer). A
    // mark as long as a tick is long enough, though the others run on into grid lines that a
    // legend hides over this one. The kind of line most labels have sets the measure.
    auto alike = [&](const TickMark &a, double anchorA, const TickMark &b, double anchorB, double h) {
        return std::abs(a.start - b.start) <= std::max(3.0, 0.5 * h)
            && 2 * a.length >= std::min(double(b.length), 0.5 * h)
            && std::abs((a.position - anchorA) - (b.position - anchorB)) <= std::max(1.5, 0.1 * h);
    };
    struct Kind {
        const TickMark *line;
        double anchor;
        int support;
    };
    std::vector<Kind> kinds;
    int mostSupport = 0;
    for (size_t k = 0; k < n; ++k) {
        const double h = std::max(4, labels[k].textHeight);
        for (const TickMark &t : lines[k]) {
            int support = 0;
            for (size_t j = 0; j < n; ++j)
                support += std::any_of(lines[j].begin(), lines[j].end(), [&](const TickMark &u) {
                    return alike(t, labels[k].anchor, u, labels[j].anchor, h);
                }) ? 1 : 0;
            kinds.push_back({&t, labels[k].anchor, support});
            mostSupport = std::max(mostSupport, support);
        }
    }
    // Of the kinds nearly as common as the commonest, the one nearest the anchors: a dotted
    // grid offers a line every few pixels beside every label.
    const TickMark *model = nullptr;
    double modelAnchor = 0;
    for (const Kind &kind : kinds) {
        if (kind.support * 5 < mostSupport * 4)
            continue;
        if (!model || std::abs(kind.line->position - kind.anchor) < std::abs(model->position - modelAnchor)) {
            model = kind.line;
            modelAnchor = kind.anchor;
        }
    }
    if (!model)
        return marks;
    for (size_t k = 0; k < n; ++k) {
        const double h = std::max(4, labels[k].textHeight);
        // Of the lines alike, the longest: a stub beside it is a blurred edge or a minor tick.
        for (const TickMark &t : lines[k]) {
            if (!alike(t, labels[k].anchor, *model, modelAnchor, h))
                continue;
            const double cost = std::abs((t.position - labels[k].anchor) - (model->position - modelAnchor));
            const double held = marks[k] ? std::abs((marks[k]->position - labels[k].anchor) - (model->position - modelAnchor)) : 0;
            if (!marks[k] || t.length > marks[k]->length || (t.length == marks[k]->length && cost < held))
                marks[k] = t;
        }
    }
    return marks;
}

} // namespace chartrek
