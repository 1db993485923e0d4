#include "axes/AxisFinder.h"

#include "axes/AxisFit.h"
#include "axes/LabelValue.h"
#include "axes/TextBoxes.h"
#include "axes/TickMarks.h"

#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace chartrek {

namespace {

constexpr int kInkThreshold = 80;

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// A text box that may be a tick label.
struct Label {
    TextBox text;
    double charSize = 0;  // the largest character's longer side
    double angle = 0;     // direction of its ink, degrees counter-clockwise as drawn
    double elongation = 1;
};

// The direction of a label's text: the line through its characters' centres (not the shape
// of the ink: one digit is taller than wide). Needs two characters of some weight.
void measureShape(Label &label)
{
    int heaviest = 0;
    for (const Blob &part : label.text.parts) {
        label.charSize = std::max<double>(label.charSize, std::max(part.box.width(), part.box.height()));
        heaviest = std::max(heaviest, part.pixels);
    }
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    int counted = 0;
    for (const Blob &part : label.text.parts) {
        if (part.pixels * 5 < heaviest)
            continue;
        const double w = part.pixels, x = part.box.centerX(), y = part.box.centerY();
        ++counted;
        n += w;
        sx += w * x;
        sy += w * y;
        sxx += w * x * x;
        syy += w * y * y;
        sxy += w * x * y;
    }
    if (counted < 2)
        return;
    const double mxx = sxx / n - (sx / n) * (sx / n);
    const double myy = syy / n - (sy / n) * (sy / n);
    const double mxy = sxy / n - (sx / n) * (sy / n);
    const double root = std::sqrt(std::max(0.0, (mxx - myy) * (mxx - myy) / 4 + mxy * mxy));
    const double l1 = (mxx + myy) / 2 + root, l2 = (mxx + myy) / 2 - root;
    label.elongation = std::sqrt(l1 / std::max(l2, 0.25));
    // y grows downwards in the picture: a label rising to the right has a negative image angle.
    label.angle = -0.5 * std::atan2(2 * mxy, mxx - myy) * 180 / M_PI;
}

// A row (an x axis) or a column (a y axis) of labels of one size, in order along it.
struct Line {
    bool column = false;
    std::vector<int> members;
    double angle = 0; // of the labels' text

    // evaluated
    std::vector<QString> texts;
    std::vector<std::optional<double>> values;
    int direction = 0; // where the ticks leave the labels: -1 up/left, +1 down/right
    int tickCount = 0;
    bool colourBar = false;
    std::vector<std::optional<TickMark>> ticks;
    std::vector<AxisSample> samples;
    std::vector<int> sampleMember;
    bool measured = false;
    bool powerForms = false;
    AxisChoice choice;
    double spacing = 0;
    double charSize = 0;
    double score = -1;
};

double along(const Line &line, const PixelBox &b)
{
    return line.column ? b.centerY() : b.centerX();
}

class Search {
public:
    Search(const QImage &picture, LabelReader &reader, const std::atomic_bool *cancel,
           const std::function<void(const QString &)> &trace)
        : mImage(picture), mReader(reader), mCancel(cancel), mTrace(trace)
    {
    }

    AxesProposal run(std::optional<QPointF> hint);

private:
    bool cancelled() const { return mCancel && mCancel->load(); }
    void collectLabels();
    std::vector<Line> lines(bool column) const;
    void splitAtGaps(bool column, std::vector<int> members, std::vector<Line> &out) const;
    void measure(Line &line);
    void evaluate(Line &line);
    void evaluateAll(std::vector<Line> &lines);
    void trace(const Line &line) const;
    bool besideColourRamp(const Line &line) const;
    bool missesHint(const Line &line) const;
    bool closeEnough(const Line &line, const Line *other) const;
    void correctSnapping(Line &line) const;
    QString readLabel(int index, double angle, bool numeric);
    LabelSpot spotOf(const Line &line, int member, int direction) const;
    FoundAxis conclude(const Line &line, bool xAxis, const Line *other);
    std::optional<AxisOffset> offsetFor(const Line &line, bool xAxis, const Line *other, QString &problem);
    std::optional<AxisOffset> readOffset(const std::vector<int> &pieces, bool xAxis, bool &doubtful);

    InkImage mImage;
    InkImage mTransposed;
    LabelReader &mReader;
    const std::atomic_bool *mCancel;
    const std::function<void(const QString &)> &mTrace;
    std::vector<Label> mLabels;
    std::vector<TextBox> mAllText;
    std::vector<int> mOwner; // per pixel: the label whose box covers it, or -1
    QHash<qint64, QString> mReadings;
    bool mStopped = false;
    std::optional<QPointF> mHint;
    int mReads = 0;
};

void Search::collectLabels()
{
    const int maxSize = std::max(24, std::min(mImage.width(), mImage.height()) / 5);
    mAllText = groupBlobs(findBlobs(mImage, kInkThreshold, maxSize));
    const double largestChar = std::max(12.0, std::min(mImage.width(), mImage.height()) / 8.0);
    for (const TextBox &t : mAllText) {
        Label label{t};
        measureShape(label);
        const double longest = std::max(t.box.width(), t.box.height());
        if (label.charSize < 4 || label.charSize > largestChar || t.parts.size() > 16 || longest > 14 * label.charSize)
            continue;
        // A lone crisp bar is a tick mark (of a plot without a frame), not text.
        if (t.parts.size() == 1) {
            const Blob &b = t.parts.front();
            const int shorter = std::min(b.box.width(), b.box.height());
            if (shorter * 4 <= longest && b.pixels >= 0.9 * b.box.width() * b.box.height())
                continue;
        }
        mLabels.push_back(std::move(label));
    }
    mOwner.assign(size_t(mImage.width()) * mImage.height(), -1);
    for (int i = 0; i < int(mLabels.size()); ++i) {
        const PixelBox &b = mLabels[i].text.box;
        for (int y = b.y0; y < b.y1; ++y)
            std::fill_n(mOwner.begin() + size_t(y) * mImage.width() + b.x0, b.width(), i);
    }
}

// A wide gap ends a line: the labels of a second plot beside it, a legend below.
void Search::splitAtGaps(bool column, std::vector<int> members, std::vector<Line> &out) const
{
    Line proto;
    proto.column = column;
    std::sort(members.begin(), members.end(), [&](int a, int b) {
        return along(proto, mLabels[a].text.box) < along(proto, mLabels[b].text.box);
    });
    std::vector<double> gaps;
    for (size_t k = 1; k < members.size(); ++k)
        gaps.push_back(along(proto, mLabels[members[k]].text.box) - along(proto, mLabels[members[k - 1]].text.box));
    const double usual = median(gaps);
    std::vector<int> current{members.front()};
    bool split = false;
    auto flush = [&] {
        if (current.size() >= 2) {
            Line line = proto;
            line.members = current;
            out.push_back(std::move(line));
        }
        current.clear();
    };
    for (size_t k = 1; k < members.size(); ++k) {
        if (gaps[k - 1] > 2.2 * usual) {
            flush();
            split = true;
        }
        current.push_back(members[k]);
    }
    flush();
    // The gap may as well be labels that were not found: the whole line is a candidate too.
    if (split) {
        Line line = proto;
        line.members = std::move(members);
        out.push_back(std::move(line));
    }
}

std::vector<Line> Search::lines(bool column) const
{
    const int n = int(mLabels.size());
    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    for (int i = 0; i < n; ++i) {
        const PixelBox &a = mLabels[i].text.box;
        for (int j = i + 1; j < n; ++j) {
            const PixelBox &b = mLabels[j].text.box;
            const double ratio = mLabels[i].charSize / mLabels[j].charSize;
            if (ratio > 1.5 || ratio < 1 / 1.5)
                continue;
            const int overlap = column ? std::min(a.x1, b.x1) - std::max(a.x0, b.x0)
                                       : std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
            const int smaller = column ? std::min(a.width(), b.width()) : std::min(a.height(), b.height());
            if (overlap >= 0.5 * smaller)
                parent[find(i)] = find(j);
        }
    }
    QHash<int, std::vector<int>> sets;
    for (int i = 0; i < n; ++i)
        sets[find(i)].push_back(i);

    std::vector<Line> out;
    for (auto &set : sets) {
        // The labels of an axis are aligned: by their right, left or middle (a column), their
        // top, bottom or middle (a row). Boxes that only touch a line are no part of it; the
        // rest of a set may hold another line (a second plot's labels at the same height).
        std::vector<int> rest = set;
        while (rest.size() >= 2) {
            std::vector<int> members;
            for (int edge = 0; edge < 3; ++edge) {
                auto at = [&](int i) {
                    const PixelBox &b = mLabels[i].text.box;
                    const double lo = column ? b.x0 : b.y0, hi = column ? b.x1 : b.y1;
                    return edge == 0 ? lo : edge == 1 ? hi : 0.5 * (lo + hi);
                };
                for (int i : rest) {
                    std::vector<int> aligned;
                    for (int j : rest)
                        if (std::abs(at(j) - at(i)) <= std::max(2.0, 0.15 * mLabels[i].charSize))
                            aligned.push_back(j);
                    if (aligned.size() > members.size())
                        members = std::move(aligned);
                }
            }
            if (members.size() < 2)
                break;
            std::erase_if(rest, [&](int i) { return std::find(members.begin(), members.end(), i) != members.end(); });
            splitAtGaps(column, members, out);
        }
    }
    for (Line &line : out) {
        std::vector<double> angles, sizes;
        for (int m : line.members) {
            sizes.push_back(mLabels[m].charSize);
            if (mLabels[m].elongation >= 2.5)
                angles.push_back(mLabels[m].angle);
        }
        line.charSize = median(sizes);
        // Turned text shows in most labels of a line, not in one odd box.
        double a = angles.size() * 2 >= line.members.size() && angles.size() >= 2 ? median(angles) : 0;
        if (std::abs(a) < 20)
            a = 0;
        else if (std::abs(a) > 75)
            a = 90;
        line.angle = a;
    }
    return out;
}

QString Search::readLabel(int index, double angle, bool numeric)
{
    const qint64 key = (qint64(index) << 20) | (qint64(std::lround(angle) + 360) << 1) | (numeric ? 1 : 0);
    const auto it = mReadings.constFind(key);
    if (it != mReadings.constEnd())
        return *it;
    if (cancelled()) {
        mStopped = true;
        return {};
    }
    const QString text = mReader.read(mImage, mLabels[index].text, angle, numeric);
    mReadings.insert(key, text);
    ++mReads;
    return text;
}

LabelSpot Search::spotOf(const Line &line, int member, int direction) const
{
    const Label &label = mLabels[line.members[member]];
    const PixelBox &b = label.text.box;
    LabelSpot spot;
    spot.textHeight = int(std::lround(line.charSize));
    if (line.column) {
        // In the transposed picture the column is a row; its labels' sides face left or right.
        spot.anchor = b.centerY();
        spot.edge = direction < 0 ? b.x0 : b.x1 - 1;
        return spot;
    }
    spot.edge = direction < 0 ? b.y0 : b.y1 - 1;
    spot.anchor = b.centerX();
    if (line.angle != 0 && line.angle != 90) {
        // A turned label ends at its tick: take the x of its ink nearest the axis.
        const int y = direction < 0 ? b.y0 : b.y1 - 1;
        double sum = 0, n = 0;
        for (int k = 0; k < 2; ++k) {
            const int yy = y - direction * k;
            for (int x = b.x0; x < b.x1; ++x) {
                const double w = mImage.ink(x, yy);
                if (w >= kInkThreshold) {
                    sum += w * (x + 0.5);
                    n += w;
                }
            }
        }
        if (n > 0)
            spot.anchor = sum / n;
    }
    return spot;
}

// Whether the mapping is certain to within a pixel (or a thousandth of the axis) all over the
// plot. Each tick position is off by up to half a pixel (whole-pixel drawing), or by the fit's
// own scatter if that is larger; a line through few ticks close together may tilt enough to be
// out by more at the plot's edges: a tick spacing beyond the outer ticks, and as far as the
// other axis.
bool Search::closeEnough(const Line &line, const Line *other) const
{
    const AxisFit &fit = *line.choice.fit;
    std::vector<double> p;
    double squares = 0;
    for (int k : fit.inliers) {
        p.push_back(line.samples[k].position);
        const double r = fit.position(line.samples[k].value) - line.samples[k].position;
        squares += r * r;
    }
    const double n = double(p.size());
    const double mean = std::accumulate(p.begin(), p.end(), 0.0) / n;
    double sxx = 0;
    for (double v : p)
        sxx += (v - mean) * (v - mean);
    const auto [minP, maxP] = std::minmax_element(p.begin(), p.end());
    const double spacing = (*maxP - *minP) / std::max(1.0, n - 1);
    double lo = *minP - spacing, hi = *maxP + spacing;
    if (other && other->measured && other->choice.fit) {
        std::vector<double> reaches;
        for (const auto &tick : other->ticks)
            if (tick)
                reaches.push_back(tick->reach);
        if (!reaches.empty()) {
            lo = std::min(lo, median(reaches));
            hi = std::max(hi, median(reaches));
        }
    }
    const double sigma = std::max(0.3, std::sqrt(squares / std::max(1.0, n - 2)));
    const double tolerance = std::max(1.0, 0.001 * (hi - lo));
    for (double q : {lo, hi}) {
        const double error = sigma * std::sqrt(1 / n + (q - mean) * (q - mean) / sxx);
        if (2 * error > tolerance)
            return false;
    }
    return true;
}

// Whether a line cannot be an axis of the plot the hint points into: the hint lies beyond its
// span, or on the side of it away from the ticks.
bool Search::missesHint(const Line &line) const
{
    if (!mHint || line.members.empty())
        return false;
    // The labels that agree with the axis, once it is fitted: a line may hold two plots' labels.
    std::vector<int> members = line.members;
    if (line.choice.fit) {
        members.clear();
        for (int k : line.choice.fit->inliers)
            members.push_back(line.members[line.sampleMember[k]]);
    }
    double from = 1e18, to = -1e18, across = 0;
    for (int m : members) {
        const PixelBox &b = mLabels[m].text.box;
        from = std::min(from, along(line, b));
        to = std::max(to, along(line, b));
        across += line.column ? b.centerX() : b.centerY();
    }
    across /= double(members.size());
    const double a = line.column ? mHint->y() : mHint->x(), c = line.column ? mHint->x() : mHint->y();
    const double margin = std::max(line.spacing, 2 * line.charSize);
    return a < from - margin || a > to + margin || (line.direction < 0 && c > across)
        || (line.direction > 0 && c < across);
}

// Reading is what takes the time: the lines with the most tick marks are read first, and a
// line with hardly any is read only while no line of its kind has given a good axis (an axis
// drawn without marks, as some office charts draw x).
void Search::evaluateAll(std::vector<Line> &lines)
{
    for (Line &line : lines)
        measure(line);
    std::sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
        return a.tickCount != b.tickCount ? a.tickCount > b.tickCount : a.members.size() > b.members.size();
    });
    bool good = false;
    for (Line &line : lines) {
        if (line.tickCount < 2 && good && (!mHint || missesHint(line))) {
            if (mTrace) {
                QString boxes;
                for (int m : line.members)
                    boxes += QStringLiteral(" %1,%2").arg(mLabels[m].text.box.x0).arg(mLabels[m].text.box.y0);
                mTrace(QStringLiteral("skipped %1 with %2 ticks:%3").arg(line.column ? "column" : "row").arg(line.tickCount).arg(boxes));
            }
            continue;
        }
        evaluate(line);
        trace(line);
        if (mStopped)
            return;
        good = good || (line.choice.fit && line.choice.fit->inliers.size() >= 3);
    }
}

// The tick marks beside a line's labels: no reading needed, so every line gets them.
void Search::measure(Line &line)
{
    const int n = int(line.members.size());
    std::vector<double> gaps;
    for (int k = 1; k < n; ++k)
        gaps.push_back(along(line, mLabels[line.members[k]].text.box) - along(line, mLabels[line.members[k - 1]].text.box));
    line.spacing = median(gaps);
    // A level label is centred on its tick; a turned one ends near it.
    const double near = line.angle == 0 ? 0.3 * line.charSize + 2 : 0.8 * line.charSize + 3;
    const double window = std::max(3.0, std::min(0.4 * line.spacing, near));

    // The ticks leave the labels towards the plot: the side where more of them are found.
    // Other text is no tick.
    const InkImage &image = line.column ? mTransposed : mImage;
    const auto blocked = [&](int x, int y) {
        const int owner = line.column ? mOwner[size_t(x) * mImage.width() + y] : mOwner[size_t(y) * mImage.width() + x];
        return owner >= 0 && std::find(line.members.begin(), line.members.end(), owner) == line.members.end();
    };
    line.tickCount = -1;
    for (int direction : {line.column ? 1 : -1, line.column ? -1 : 1}) {
        std::vector<LabelSpot> spots;
        for (int k = 0; k < n; ++k)
            spots.push_back(spotOf(line, k, direction));
        auto ticks = findTicks(image, spots, direction, window, blocked);
        const int count = int(std::count_if(ticks.begin(), ticks.end(), [](const auto &t) { return bool(t); }));
        if (count > line.tickCount) {
            line.tickCount = count;
            line.direction = direction;
            line.ticks = std::move(ticks);
        }
    }
    correctSnapping(line);
}

// Reads a line's labels and fits its axis. A line whose first labels read as no numbers at
// all is text, not an axis: it is given up early.
void Search::evaluate(Line &line)
{
    const int n = int(line.members.size());
    line.texts.resize(n);
    line.values.assign(n, std::nullopt);
    int valued = 0, powers = 0;
    for (int k = 0; k < n; ++k) {
        line.texts[k] = readLabel(line.members[k], line.angle, true);
        if (line.angle == 90 && line.texts[k].isEmpty())
            line.texts[k] = readLabel(line.members[k], -90, true);
        if (mStopped)
            return;
        if (k == 2 && std::none_of(line.texts.begin(), line.texts.begin() + 3, [](const QString &t) {
                return labelValue(t, CommaUse::Decimal) || labelValue(t, CommaUse::Thousands);
            }))
            return;
    }
    const CommaUse comma = commaUseOf(line.texts);
    for (int k = 0; k < n; ++k) {
        line.values[k] = labelValue(line.texts[k], comma);
        if (line.values[k]) {
            ++valued;
            powers += isPowerForm(line.texts[k]) ? 1 : 0;
        }
    }
    if (valued < 2)
        return;
    line.powerForms = powers >= 2 && powers * 4 >= valued * 3;

    int ticked = 0;
    for (int k = 0; k < n; ++k)
        ticked += (line.ticks[k] && line.values[k]) ? 1 : 0;
    line.measured = ticked >= std::max(2, (valued + 1) / 2);
    for (int k = 0; k < n; ++k) {
        if (!line.values[k])
            continue;
        if (line.measured && !line.ticks[k])
            continue;
        const double p = line.measured ? line.ticks[k]->position : spotOf(line, k, line.direction).anchor;
        line.samples.push_back({p, *line.values[k]});
        line.sampleMember.push_back(k);
    }
    const double tolerance = line.measured ? 1.5 : std::max(2.0, 0.15 * line.charSize);
    line.choice = chooseAxisScale(line.samples, tolerance, line.powerForms);
    if (!line.choice.fit)
        return;
    const int inliers = int(line.choice.fit->inliers.size());
    line.score = inliers + (line.measured ? 1.0 : 0.0) - 0.5 * (valued - inliers);
    line.colourBar = line.measured && besideColourRamp(line);
    if (line.colourBar)
        line.score -= 10;
}

// Plotting programs draw tick marks and grid lines snapped to whole pixels: a line of odd
// width gets its centre moved to the next pixel centre at or after its true place (up to a
// pixel later), one of even width to the nearest pixel edge. When the marks of an axis all sit
// on pixel centres, half a pixel back is where they were meant to be on average.
void Search::correctSnapping(Line &line) const
{
    int ticks = 0, centred = 0;
    for (const auto &tick : line.ticks) {
        if (!tick)
            continue;
        ++ticks;
        const double frac = tick->position - std::floor(tick->position);
        centred += std::abs(frac - 0.5) <= 0.12 ? 1 : 0;
    }
    if (ticks < 3 || centred * 3 < ticks * 2)
        return;
    for (auto &tick : line.ticks)
        if (tick)
            tick->position -= 0.5;
}

// A colour bar's labels look like an axis's; what lies beyond their ticks tells them apart: a
// strip whose level keeps changing along the whole span, where a plot shows mostly its one
// background level (crossed by grid lines and curves).
bool Search::besideColourRamp(const Line &line) const
{
    std::vector<double> reaches, positions;
    for (int k : line.choice.fit->inliers) {
        const auto &tick = line.ticks[line.sampleMember[k]];
        if (tick) {
            reaches.push_back(tick->reach);
            positions.push_back(tick->position);
        }
    }
    if (positions.size() < 2)
        return false;
    const int across = int(median(reaches)) + line.direction * std::max(4, int(0.3 * line.charSize));
    const int from = int(*std::min_element(positions.begin(), positions.end()));
    const int to = int(*std::max_element(positions.begin(), positions.end()));
    std::array<int, 256> histogram{};
    int count = 0;
    for (int a = from; a <= to; ++a) {
        const int x = line.column ? across : a, y = line.column ? a : across;
        if (!mImage.contains(x, y))
            return false;
        ++histogram[mImage.at(x, y)];
        ++count;
    }
    int mostCommon = 0;
    for (int level = 0; level < 256; ++level) {
        int near = 0;
        for (int d = std::max(0, level - 6); d <= std::min(255, level + 6); ++d)
            near += histogram[d];
        mostCommon = std::max(mostCommon, near);
    }
    if (mTrace)
        mTrace(QStringLiteral("ramp test across %1 from %2 to %3: %4 of %5").arg(across).arg(from).arg(to).arg(mostCommon).arg(count));
    return mostCommon < 0.3 * count;
}

void Search::trace(const Line &line) const
{
    if (!mTrace)
        return;
    QString text = QStringLiteral("%1 angle %2 size %3 dir %4 %5 score %6:")
                       .arg(line.column ? QStringLiteral("column") : QStringLiteral("row"))
                       .arg(line.angle)
                       .arg(line.charSize)
                       .arg(line.direction)
                       .arg(line.measured ? QStringLiteral("ticks") : QStringLiteral("labels"))
                       .arg(line.score);
    for (size_t k = 0; k < line.members.size(); ++k) {
        const PixelBox &b = mLabels[line.members[k]].text.box;
        text += QStringLiteral(" [%1,%2 '%3'").arg(b.x0).arg(b.y0).arg(k < line.texts.size() ? line.texts[k] : QString());
        if (k < line.ticks.size() && line.ticks[k])
            text += QStringLiteral(" @%1").arg(line.ticks[k]->position, 0, 'f', 2);
        text += QLatin1Char(']');
    }
    if (line.choice.fit)
        text += QStringLiteral(" fit %1 inliers %2 resid %3 clear %4")
                    .arg(line.choice.fit->log ? QStringLiteral("log") : QStringLiteral("lin"))
                    .arg(line.choice.fit->inliers.size())
                    .arg(line.choice.fit->maxResidual, 0, 'f', 2)
                    .arg(line.choice.clear);
    mTrace(text);
}

std::optional<AxisOffset> Search::offsetFor(const Line &line, bool xAxis, const Line *other, QString &problem)
{
    // Where an offset text stands: past the end of the axis, beyond the last agreeing label
    // (below or above an x axis, above a y axis), within a label spacing and a few lines.
    const AxisFit &fit = *line.choice.fit;
    std::vector<int> agreeing;
    PixelBox extent = mLabels[line.members[line.sampleMember[fit.inliers.front()]]].text.box;
    for (int k : fit.inliers) {
        agreeing.push_back(line.members[line.sampleMember[k]]);
        extent.unite(mLabels[agreeing.back()].text.box);
    }
    const double c = line.charSize;
    const double sp = std::abs(fit.position(line.samples[fit.inliers.back()].value)
                               - fit.position(line.samples[fit.inliers.front()].value))
        / std::max<size_t>(1, fit.inliers.size() - 1);
    double x0, x1, y0, y1, endX, endY, plotLeft = 0;
    if (xAxis) {
        const double last = std::max(extent.x1, int(fit.position(line.samples[fit.inliers.back()].value)));
        x0 = last - 0.5 * sp - 2 * c;
        x1 = last + sp + 10 * c;
        y0 = line.direction < 0 ? extent.y0 - c : extent.y0 - 4 * c;
        y1 = line.direction < 0 ? extent.y1 + 4 * c : extent.y1 + c;
        endX = fit.position(line.samples[fit.inliers.back()].value);
        endY = line.direction < 0 ? extent.y1 + c : extent.y0 - c;
    } else {
        const double top = std::min(extent.y0, int(std::min(fit.position(line.samples[fit.inliers.front()].value),
                                                             fit.position(line.samples[fit.inliers.back()].value))));
        y0 = top - sp - 3 * c;
        y1 = top - 0.2 * c;
        x0 = line.direction > 0 ? extent.x0 - 2 * c : extent.x0 - 10 * c;
        x1 = line.direction > 0 ? extent.x1 + 10 * c : extent.x1 + 2 * c;
        endX = line.direction > 0 ? extent.x1 + c : extent.x0 - c;
        endY = top - 0.5 * sp;
        // A y axis through the middle of the plot has its offset over the plot's outer edge.
        plotLeft = x0;
        if (other && other->choice.fit && other->measured) {
            const AxisFit &o = *other->choice.fit;
            const double a = o.position(other->samples[o.inliers.front()].value);
            const double b = o.position(other->samples[o.inliers.back()].value);
            const double osp = std::abs(b - a) / std::max<size_t>(1, o.inliers.size() - 1);
            if (line.direction > 0) {
                x0 = std::min(x0, std::min(a, b) - osp - 2 * c);
                plotLeft = std::min(a, b);
            }
            else
                x1 = std::max(x1, std::max(a, b) + osp + 2 * c);
        }
    }
    // Every box in the region but the labels that agree with the axis; an offset text may have
    // run into a neighbour (the axis name) and reach out of it.
    // A label whose value the mapping puts where it stands is explained too (its tick was
    // missed); any other text there may be, or hide, the offset.
    for (size_t k = 0; k < line.members.size(); ++k) {
        if (!line.values[k])
            continue;
        const double at = along(line, mLabels[line.members[k]].text.box);
        if ((!fit.log || *line.values[k] > 0) && std::abs(fit.position(*line.values[k]) - at) <= c)
            agreeing.push_back(line.members[k]);
    }
    std::vector<int> inRegion;
    for (int i = 0; i < int(mLabels.size()); ++i) {
        if (std::find(agreeing.begin(), agreeing.end(), i) != agreeing.end())
            continue;
        const PixelBox &b = mLabels[i].text.box;
        if (b.x1 > x0 && b.x0 < x1 && b.y1 > y0 && b.y0 < y1)
            inRegion.push_back(i);
    }
    std::sort(inRegion.begin(), inRegion.end(),
              [&](int a, int b) { return mLabels[a].text.box.x0 < mLabels[b].text.box.x0; });
    // A label of the line there that its value does not explain may have swallowed the offset
    // (a turned last label touching it): unless an offset is read, that is a doubt.
    const bool swallowed = std::any_of(inRegion.begin(), inRegion.end(), [&](int i) {
        return std::find(line.members.begin(), line.members.end(), i) != line.members.end();
    });
    // Candidates: no words (a title, an axis name), no lone tick marks, not too small.
    std::vector<int> candidates;
    for (int i : inRegion) {
        const Label &l = mLabels[i];
        if (l.charSize < 0.5 * c)
            continue;
        if (l.text.parts.size() == 1 && std::min(l.text.box.width(), l.text.box.height()) * 3 <= l.charSize)
            continue;
        int letters = 0;
        for (QChar ch : readLabel(i, 0, false))
            letters += (ch.isLetter() && !QStringLiteral("eExX").contains(ch)) ? 1 : 0;
        if (letters < 3)
            candidates.push_back(i);
    }
    if (mTrace)
        mTrace(QStringLiteral("offset region %1..%2 x %3..%4: %5 boxes, %6 candidates").arg(x0).arg(x1).arg(y0).arg(y1).arg(inRegion.size()).arg(candidates.size()));
    // An offset text is one line: the candidates side by side, nearest the axis's end first.
    std::vector<std::vector<int>> textLines;
    for (int i : candidates) {
        const PixelBox &b = mLabels[i].text.box;
        auto same = std::find_if(textLines.begin(), textLines.end(), [&](const std::vector<int> &t) {
            const PixelBox &n = mLabels[t.front()].text.box;
            return std::min(b.y1, n.y1) - std::max(b.y0, n.y0) >= 0.5 * std::min(b.height(), n.height());
        });
        if (same == textLines.end())
            textLines.push_back({i});
        else
            same->push_back(i);
    }
    auto distance = [&](const std::vector<int> &t) {
        double d = 1e18;
        for (int i : t)
            d = std::min(d, std::hypot(mLabels[i].text.box.centerX() - endX, mLabels[i].text.box.centerY() - endY));
        return d;
    };
    std::sort(textLines.begin(), textLines.end(), [&](const auto &a, const auto &b) { return distance(a) < distance(b); });
    // An offset text is aligned with the axis's end: an x axis's ends at the plot's right edge
    // (after the last tick, before the next one would be), a y axis's starts at the plot's left
    // edge (beside the labels, or further left when the axis runs through the middle).
    auto aligned = [&](std::vector<int> &t) {
        std::sort(t.begin(), t.end(), [&](int a, int b) { return mLabels[a].text.box.x0 < mLabels[b].text.box.x0; });
        if (xAxis) {
            const double right = mLabels[t.back()].text.box.x1;
            return right >= endX - c && right <= endX + sp + 2 * c;
        }
        if (line.direction < 0) {
            const double right = mLabels[t.back()].text.box.x1;
            return right >= extent.x0 - 3 * c && right <= extent.x0 + 3 * c;
        }
        const double left = mLabels[t.front()].text.box.x0;
        return (left >= extent.x1 - 3 * c && left <= extent.x1 + 3 * c) || (left >= x0 && left <= plotLeft + 2 * c);
    };
    const QString unread = QStringLiteral("the factor at the end of the %1 axis could not be read").arg(xAxis ? QLatin1Char('x') : QLatin1Char('y'));
    for (std::vector<int> &pieces : textLines) {
        bool doubtful = false;
        const auto offset = readOffset(pieces, xAxis, doubtful);
        if (doubtful) {
            problem = unread;
            return std::nullopt;
        }
        if (!aligned(pieces)) {
            // Elsewhere an offset is taken for none, but one that reads as one is a doubt.
            if (offset)
                problem = unread;
            continue;
        }
        // Nothing is added to the labels of a log axis.
        if (offset && fit.log && offset->addend != 0) {
            problem = unread;
            return std::nullopt;
        }
        if (offset)
            return problem.isEmpty() ? offset : std::nullopt;
        problem = unread; // text there that is no offset and no words may be a misread one
    }
    if (swallowed)
        problem = unread;
    return problem.isEmpty() ? std::optional<AxisOffset>(AxisOffset{}) : std::nullopt;
}

// The offset a line of text ends with: the longest tail that reads as one, starting with its
// sign, its "x" or its "1e", not inside a misread word. The line is read as numbers (a "+" is
// no "t" then) and as words (a "+" is not dropped then); where both give an offset they must
// agree.
std::optional<AxisOffset> Search::readOffset(const std::vector<int> &pieces, bool xAxis, bool &doubtful)
{
    std::optional<AxisOffset> found;
    for (bool numeric : {true, false}) {
        QString joined;
        for (int i : pieces)
            joined += readLabel(i, 0, numeric);
        const QString text = canonicalLabel(joined);
        if (mTrace) {
            QString where;
            for (int i : pieces)
                where += QStringLiteral(" %1,%2").arg(mLabels[i].text.box.x0).arg(mLabels[i].text.box.y0);
            mTrace(QStringLiteral("offset %1: '%2' from%3").arg(xAxis ? QLatin1Char('x') : QLatin1Char('y')).arg(text, where));
        }
        std::optional<AxisOffset> offset;
        for (int start = 0; start < text.size() && !offset; ++start) {
            const QChar c0 = text[start];
            if (!(c0 == QLatin1Char('+') || c0 == QLatin1Char('-') || c0 == QLatin1Char('x')
                  || text.mid(start, 2) == QLatin1String("1e"))
                || (start > 0 && (text[start - 1].isLetter() || QStringLiteral("+-^.,").contains(text[start - 1]))))
                continue;
            offset = offsetValue(text.mid(start));
            // A number right before "x10^n" is its mantissa: an addend that lost its sign.
            if (offset && c0 == QLatin1Char('x') && start > 0 && text[start - 1].isDigit())
                doubtful = true;
        }
        if (offset && found && (offset->multiplier != found->multiplier || offset->addend != found->addend))
            doubtful = true;
        if (!found)
            found = offset;
    }
    return found;
}

FoundAxis Search::conclude(const Line &line, bool xAxis, const Line *other)
{
    FoundAxis axis;
    const QString name = xAxis ? QStringLiteral("x") : QStringLiteral("y");
    if (!line.choice.fit) {
        axis.problem = QStringLiteral("the %1 labels could not be read").arg(name);
        return axis;
    }
    const AxisFit &fit = *line.choice.fit;
    QString problem;
    const auto offset = offsetFor(line, xAxis, other, problem);
    const AxisOffset scale = offset.value_or(AxisOffset{});

    const AxisSample &lo = line.samples[fit.inliers.front()];
    const AxisSample &hi = line.samples[fit.inliers.back()];
    std::vector<double> reaches;
    for (int k : fit.inliers) {
        const auto &tick = line.ticks[line.sampleMember[k]];
        if (tick)
            reaches.push_back(tick->reach);
    }
    const Label &anyLabel = mLabels[line.members[line.sampleMember[fit.inliers.front()]]];
    const double across = !reaches.empty() ? median(reaches) + 0.5
        : line.column ? (line.direction > 0 ? anyLabel.text.box.x1 : anyLabel.text.box.x0)
                      : (line.direction < 0 ? anyLabel.text.box.y0 : anyLabel.text.box.y1);

    axis.found = true;
    axis.log = fit.log;
    axis.ticks = int(fit.inliers.size());
    const double v1 = lo.value * scale.multiplier + scale.addend;
    const double v2 = hi.value * scale.multiplier + scale.addend;
    axis.first = {fit.position(lo.value), across, v1};
    axis.second = {fit.position(hi.value), across, v2};
    if (fit.log && (v1 <= 0 || v2 <= 0)) {
        axis.found = false;
        axis.problem = QStringLiteral("the %1 axis looks logarithmic but its values are not all above zero").arg(name);
        return axis;
    }

    const int valued = int(std::count_if(line.values.begin(), line.values.end(), [](const auto &v) { return bool(v); }));
    const int outliers = valued - axis.ticks;
    // Values grow to the right and upwards on almost every chart; the other way round is
    // possible but more likely a misreading, so it is never reported as sure.
    const bool usualDirection = xAxis ? fit.slope > 0 : fit.slope < 0;
    if (line.colourBar)
        axis.problem = QStringLiteral("the only %1 labels found belong to a colour bar").arg(name);
    else if (line.measured && !closeEnough(line, other))
        axis.problem = QStringLiteral("the %1 ticks found are too few or too close together").arg(name);
    else if (!problem.isEmpty())
        axis.problem = problem;
    else if (!line.measured)
        axis.problem = QStringLiteral("no tick marks were found on the %1 axis").arg(name);
    else if (axis.ticks < 3)
        axis.problem = QStringLiteral("too few %1 labels could be read").arg(name);
    else if (outliers > std::max(1, valued / 4))
        axis.problem = QStringLiteral("some %1 labels disagree with the others").arg(name);
    else if (!line.choice.clear)
        axis.problem = QStringLiteral("the %1 axis could be linear or logarithmic").arg(name);
    else if (!usualDirection)
        axis.problem = QStringLiteral("the %1 values run the unusual way").arg(name);
    else if (fit.maxResidual > 1.0)
        axis.problem = QStringLiteral("the %1 ticks are not evenly placed").arg(name);
    axis.sure = axis.problem.isEmpty();
    return axis;
}

AxesProposal Search::run(std::optional<QPointF> hint)
{
    mHint = hint;
    AxesProposal proposal;
    if (mImage.width() < 8 || mImage.height() < 8)
        return proposal;
    QElapsedTimer t0;
    t0.start();
    mTransposed = mImage.transposed();
    collectLabels();
    if (mTrace)
        mTrace(QStringLiteral("TIMING labels %1 ms").arg(t0.elapsed()));

    std::vector<Line> rows = lines(false), columns = lines(true);
    evaluateAll(rows);
    evaluateAll(columns);
    if (mTrace)
        mTrace(QStringLiteral("TIMING lines %1 ms").arg(t0.elapsed()));
    if (mStopped) {
        proposal.cancelled = true;
        return proposal;
    }

    // The x row and the y column that belong together: both read, the column beside the row's
    // left or right end and the row below or above the column; with a hint, the pair whose
    // plot holds it.
    auto span = [&](const Line &l, double &from, double &to, double &across) {
        from = 1e18;
        to = -1e18;
        double a = 0;
        for (int m : l.members) {
            const PixelBox &b = mLabels[m].text.box;
            from = std::min(from, along(l, b));
            to = std::max(to, along(l, b));
            a += l.column ? b.centerX() : b.centerY();
        }
        across = a / double(l.members.size());
    };
    const Line *bestRow = nullptr, *bestColumn = nullptr;
    double best = -1e18;
    for (const Line &row : rows) {
        if (row.score < 0)
            continue;
        double rx0, rx1, ry;
        span(row, rx0, rx1, ry);
        for (const Line &column : columns) {
            if (column.score < 0)
                continue;
            double cy0, cy1, cx;
            span(column, cy0, cy1, cx);
            double score = row.score + column.score;
            const bool below = ry > cy1 - 0.5 * column.spacing, above = ry < cy0 + 0.5 * column.spacing;
            const bool left = cx < rx0 + 0.5 * row.spacing, right = cx > rx1 - 0.5 * row.spacing;
            score -= (below ? 0 : above ? 0.5 : 3) + (left ? 0 : right ? 0.5 : 3);
            // The nearer the pair, the likelier one plot.
            const double gapX = left ? rx0 - cx : cx - rx1, gapY = below ? ry - cy1 : cy0 - ry;
            score -= 0.5 * (std::max(0.0, gapX) / std::max(1.0, rx1 - rx0) + std::max(0.0, gapY) / std::max(1.0, cy1 - cy0));
            if (mHint) {
                score -= 20 * ((missesHint(row) ? 1 : 0) + (missesHint(column) ? 1 : 0));
                // The axes nearest the point the user chose.
                score -= 20 * (std::abs(ry - mHint->y()) / mImage.height() + std::abs(cx - mHint->x()) / mImage.width());
            }
            if (score > best) {
                best = score;
                bestRow = &row;
                bestColumn = &column;
            }
        }
    }
    if (!bestRow) {
        // One axis alone is still worth proposing.
        for (const Line &row : rows)
            if (row.score >= 0 && (!bestRow || row.score > bestRow->score))
                bestRow = &row;
        for (const Line &column : columns)
            if (column.score >= 0 && (!bestColumn || column.score > bestColumn->score))
                bestColumn = &column;
    }
    if (bestRow)
        proposal.x = conclude(*bestRow, true, bestColumn);
    else
        proposal.x.problem = QStringLiteral("no x labels were found");
    if (bestColumn)
        proposal.y = conclude(*bestColumn, false, bestRow);
    else
        proposal.y.problem = QStringLiteral("no y labels were found");
    // Axes of another plot than the one pointed at are no answer to be sure of.
    for (auto [line, axis] : {std::pair{bestRow, &proposal.x}, std::pair{bestColumn, &proposal.y}}) {
        if (line && missesHint(*line) && axis->found) {
            axis->sure = false;
            axis->problem = QStringLiteral("the %1 axis of the plot at the pointer was not found")
                                .arg(axis == &proposal.x ? QLatin1Char('x') : QLatin1Char('y'));
        }
    }
    if (mStopped)
        proposal.cancelled = true;
    if (mTrace)
        mTrace(QStringLiteral("%1 labels, %2 rows, %3 columns, %4 readings").arg(mLabels.size()).arg(rows.size()).arg(columns.size()).arg(mReads));
    return proposal;
}

} // namespace

AxesProposal AxisFinder::find(const QImage &picture, std::optional<QPointF> hint, const std::atomic_bool *cancel)
{
    return Search(picture, mReader, cancel, mTrace).run(hint);
}

} // namespace chartrek
