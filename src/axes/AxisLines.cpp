#include "axes/AxisSearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace chartrek {

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

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

namespace {

// A lone crisp bar is a tick mark (of a plot without a frame), not text; so are crisp bars side
// by side that all run one way (a major mark beside a minor one of a log axis). Taken for text,
// they would hide the very marks the labels need. A JPEG's specks beside them change nothing.
bool tickMarksOnly(const TextBox &t)
{
    int bars = 0, upright = 0, level = 0;
    for (const Blob &b : t.parts) {
        if (b.pixels <= 2)
            continue;
        const int w = b.box.width(), h = b.box.height();
        const int ratio = t.parts.size() == 1 ? 4 : 2;
        if (b.pixels < 0.9 * w * h)
            return false;
        ++bars;
        upright += h >= ratio * w ? 1 : 0;
        level += w >= ratio * h ? 1 : 0;
    }
    return bars > 0 && (upright == bars || level == bars);
}

} // namespace

void AxisSearch::collectLabels()
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
        if (tickMarksOnly(t))
            continue;
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
void AxisSearch::splitAtGaps(bool column, std::vector<int> members, std::vector<Line> &out) const
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

std::vector<Line> AxisSearch::lines(bool column) const
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

QString AxisSearch::readLabel(int index, double angle, bool numeric, bool careful)
{
    const qint64 key = (qint64(index) << 20) | (careful ? 1 << 11 : 0) | (qint64(std::lround(angle) + 360) << 1)
        | (numeric ? 1 : 0);
    const auto it = mReadings.constFind(key);
    if (it != mReadings.constEnd())
        return *it;
    if (cancelled()) {
        mStopped = true;
        return {};
    }
    const QString text = mReader.read(mImage, mLabels[index].text, angle, numeric, careful);
    mReadings.insert(key, text);
    ++mReads;
    return text;
}

LabelSpot AxisSearch::spotOf(const Line &line, int member, int direction) const
{
    const Label &label = mLabels[line.members[member]];
    const PixelBox &b = label.text.box;
    LabelSpot spot;
    spot.textHeight = int(std::lround(line.charSize));
    if (line.column) {
        // In the transposed picture the column is a row; its labels' sides face left or right.
        // A label is centred on its tick by its digits: a decimal comma hanging below them
        // does not count.
        int heaviest = 0;
        for (const Blob &part : label.text.parts)
            heaviest = std::max(heaviest, part.pixels);
        int top = b.y1, bottom = b.y0;
        for (const Blob &part : label.text.parts) {
            if (part.pixels * 5 < heaviest)
                continue;
            top = std::min(top, part.box.y0);
            bottom = std::max(bottom, part.box.y1);
        }
        spot.anchor = 0.5 * (top + bottom);
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

// Reading is what takes the time: the lines with the most tick marks are read first, and a
// line with hardly any is read only while no line of its kind has given a good axis (an axis
// drawn without marks, as some office charts draw x).
void AxisSearch::evaluateAll(std::vector<Line> &lines)
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
    // The labels of two plots side by side may line up as one row that no gap splits. When the
    // fit leaves out a run of two or more numbers at one end of a line, that run is a line of
    // its own, and the whole, two axes in one, counts for less than its parts.
    std::vector<Line> parts;
    for (Line &line : lines) {
        if (!line.choice.fit)
            continue;
        const int n = int(line.members.size());
        int firstIn = n, lastIn = -1;
        for (int k : line.choice.fit->inliers) {
            firstIn = std::min(firstIn, line.sampleMember[k]);
            lastIn = std::max(lastIn, line.sampleMember[k]);
        }
        for (const auto &[from, to] : {std::pair{0, firstIn}, std::pair{lastIn + 1, n}}) {
            if (to - from < 2 || !std::all_of(line.values.begin() + from, line.values.begin() + to, [](const auto &v) { return bool(v); }))
                continue;
            Line part;
            part.column = line.column;
            part.angle = line.angle;
            part.charSize = line.charSize;
            part.members.assign(line.members.begin() + from, line.members.begin() + to);
            line.score -= 1;
            const auto same = [&part](const Line &l) { return l.members == part.members; };
            if (std::none_of(lines.begin(), lines.end(), same) && std::none_of(parts.begin(), parts.end(), same))
                parts.push_back(std::move(part));
        }
    }
    for (Line &part : parts) {
        measure(part);
        evaluate(part);
        trace(part);
        if (mStopped)
            return;
        lines.push_back(std::move(part));
    }
    // Labels that agree with a line of three or more belong to an axis, not to a factor's text;
    // the rows' marks stay while the columns are evaluated.
    mOnAxis.resize(mLabels.size());
    for (const Line &line : lines)
        if (line.choice.fit && line.choice.fit->inliers.size() >= 3)
            for (int k : line.choice.fit->inliers)
                mOnAxis[line.members[line.sampleMember[k]]] = true;
}

// The tick marks beside a line's labels: no reading needed, so every line gets them.
void AxisSearch::measure(Line &line)
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
void AxisSearch::evaluate(Line &line)
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
    // Any two samples fit a line: when only two agree, a pair whose values grow the usual way
    // (to the right, upwards) is the likelier reading; the others hold a misread label.
    auto usual = [&line](const AxisChoice &c) { return line.column ? c.fit->slope < 0 : c.fit->slope > 0; };
    const size_t count = line.samples.size();
    for (size_t left = 0; left < count && count >= 3 && line.choice.fit->inliers.size() == 2 && !usual(line.choice); ++left) {
        std::vector<AxisSample> rest = line.samples;
        rest.erase(rest.begin() + long(left));
        AxisChoice other = chooseAxisScale(rest, tolerance, line.powerForms);
        if (!other.fit || other.fit->inliers.size() != 2 || !usual(other))
            continue;
        for (int &k : other.fit->inliers)
            k += k >= int(left) ? 1 : 0;
        line.choice = std::move(other);
    }
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
void AxisSearch::correctSnapping(Line &line) const
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
bool AxisSearch::besideColourRamp(const Line &line) const
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

void AxisSearch::trace(const Line &line) const
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
        text += QStringLiteral(" fit %1 inliers %2 resid %3 clear %4 depart %5")
                    .arg(line.choice.fit->log ? QStringLiteral("log") : QStringLiteral("lin"))
                    .arg(line.choice.fit->inliers.size())
                    .arg(line.choice.fit->maxResidual, 0, 'f', 2)
                    .arg(line.choice.clear)
                    .arg(line.choice.fit->maxDeparture, 0, 'f', 2);
    mTrace(text);
}

} // namespace chartrek
