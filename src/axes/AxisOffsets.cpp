#include "axes/AxesTexts.h"
#include "axes/AxisSearch.h"

#include <algorithm>
#include <cmath>

namespace chartrek {

std::optional<AxisOffset> AxisSearch::offsetFor(const Line &line, bool xAxis, const Line *other, QString &problem)
{
    // Where an offset text stands: past the end of the axis, beyond the last agreeing label
    // (below or above an x axis, above a y axis), within a label spacing and a few lines.
    const AxisFit &fit = *line.choice.fit;
    const double c = line.charSize;
    std::vector<int> agreeing;
    for (int k : fit.inliers)
        agreeing.push_back(line.members[line.sampleMember[k]]);
    // A label whose value the mapping puts where it stands is explained too (its tick was
    // missed), and so is one misread at a tick's place in the size of the others; any other
    // text there may be, or hide, the offset.
    const std::vector<int> inliers = agreeing;
    for (size_t k = 0; k < line.members.size(); ++k) {
        const int m = line.members[k];
        if (std::find(inliers.begin(), inliers.end(), m) != inliers.end())
            continue;
        const double at = along(line, mLabels[m].text.box);
        const bool placed = line.values[k] && (!fit.log || *line.values[k] > 0)
            && std::abs(fit.position(*line.values[k]) - at) <= c;
        if (placed || misreadInPlace(line, int(k)))
            agreeing.push_back(m);
    }
    PixelBox extent = mLabels[agreeing.front()].text.box;
    for (int m : agreeing)
        extent.unite(mLabels[m].text.box);
    const double sp = std::abs(fit.position(line.samples[fit.inliers.back()].value)
                               - fit.position(line.samples[fit.inliers.front()].value))
        / std::max<size_t>(1, fit.inliers.size() - 1);
    double x0, x1, y0, y1, endX, endY, plotLeft = 0;
    double nearX0 = -1e18, nearX1 = 1e18; // where text may be the offset, not only a doubt
    bool middle = false;
    if (xAxis) {
        // The axis ends at its rightmost tick: the inliers go by rising value (on an axis whose
        // values fall to the right the last is at the left end), and a label the fit explains
        // but did not use stands at a tick as well.
        double rightmost = std::max(fit.position(line.samples[fit.inliers.front()].value),
                                    fit.position(line.samples[fit.inliers.back()].value));
        for (int m : agreeing)
            rightmost = std::max(rightmost, mLabels[m].text.box.centerX());
        const double last = std::max(double(extent.x1), rightmost);
        x0 = last - 0.5 * sp - 2 * c;
        x1 = last + sp + 10 * c;
        y0 = line.direction < 0 ? extent.y0 - c : extent.y0 - 4 * c;
        y1 = line.direction < 0 ? extent.y1 + 4 * c : extent.y1 + c;
        endX = rightmost;
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
        // Text over the whole plot is looked at, but beyond the labels' side only an offset
        // there (the axis through the middle's) or a doubt.
        plotLeft = x0;
        nearX0 = x0;
        nearX1 = x1;
        if (other && other->choice.fit && other->measured) {
            const AxisFit &o = *other->choice.fit;
            const double a = o.position(other->samples[o.inliers.front()].value);
            const double b = o.position(other->samples[o.inliers.back()].value);
            const double osp = std::abs(b - a) / std::max<size_t>(1, o.inliers.size() - 1);
            x0 = std::min(x0, std::min(a, b) - osp - 2 * c);
            x1 = std::max(x1, std::max(a, b) + osp + 2 * c);
            if (line.direction > 0)
                nearX0 = x0;
            else
                nearX1 = x1;
            // Ticks on the labels' left are a right-hand axis, unless the labels stand at the x
            // axis's zero: an axis through the middle, its labels on either side.
            const double zero = o.log ? -1e18 : o.position(0);
            const bool throughZero = zero >= extent.x0 - 2 * c && zero <= extent.x1 + 2 * c;
            if (line.direction > 0 || throughZero)
                plotLeft = std::min(a, b);
            middle = line.direction < 0 && throughZero;
            if (middle)
                nearX0 = x0;
        }
        // Without an x axis of three agreeing ticks the plot's left edge is unsure: the axis may
        // run through the middle, with its offset anywhere to the left.
        if (!other || !other->choice.fit || !other->measured || other->choice.fit->inliers.size() < 3)
            x0 = 0;
    }
    // Every box in the region but the labels explained (by this axis, or as the labels of
    // another: a plot above has its x labels over this one's y axis); an offset text may have
    // run into a neighbour (the axis name) and reach out of it.
    //
    // A tick label the line missed (a turned last label standing apart) is explained too: in
    // the labels' band, it reads as a value on their grid that the mapping puts where it stands.
    // A misread factor ("x10^4" as "104") is not on the grid, or not in its place.
    double valueStep = 0;
    for (size_t k = 1; k < fit.inliers.size(); ++k) {
        const double d = line.samples[fit.inliers[k]].value - line.samples[fit.inliers[k - 1]].value;
        if (d > 0 && (valueStep == 0 || d < valueStep))
            valueStep = d;
    }
    const CommaUse comma = commaUseOf(line.texts);
    auto missedLabel = [&](int i) {
        const PixelBox &b = mLabels[i].text.box;
        const double across = line.column ? b.centerX() : b.centerY();
        if (fit.log || valueStep <= 0 || across < (line.column ? extent.x0 : extent.y0)
            || across > (line.column ? extent.x1 : extent.y1))
            return false;
        const auto v = labelValue(readLabel(i, line.angle, true), comma);
        if (!v)
            return false;
        const double steps = (*v - line.samples[fit.inliers.front()].value) / valueStep;
        return std::abs(steps - std::round(steps)) < 1e-6 && std::abs(fit.position(*v) - along(line, b)) <= c;
    };
    std::vector<int> inRegion, missed;
    for (int i = 0; i < int(mLabels.size()); ++i) {
        const bool member = std::find(line.members.begin(), line.members.end(), i) != line.members.end();
        if (std::find(agreeing.begin(), agreeing.end(), i) != agreeing.end() || (i < int(mOnAxis.size()) && mOnAxis[i] && !member))
            continue;
        const PixelBox &b = mLabels[i].text.box;
        if (b.x1 > x0 && b.x0 < x1 && b.y1 > y0 && b.y0 < y1)
            (!member && missedLabel(i) ? missed : inRegion).push_back(i);
    }
    agreeing.insert(agreeing.end(), missed.begin(), missed.end());
    std::sort(inRegion.begin(), inRegion.end(),
              [&](int a, int b) { return mLabels[a].text.box.x0 < mLabels[b].text.box.x0; });
    // A label of the line there that its value does not explain may have swallowed the offset
    // (a turned last label touching it): unless an offset is read, that is a doubt.
    const bool swallowed = std::any_of(inRegion.begin(), inRegion.end(), [&](int i) {
        return std::find(line.members.begin(), line.members.end(), i) != line.members.end();
    });
    auto letters = [&](const std::vector<int> &pieces) {
        int count = 0;
        for (int i : pieces)
            for (QChar ch : readLabel(i, 0, false, true))
                count += (ch.isLetter() && !QStringLiteral("eExX").contains(ch)) ? 1 : 0;
        return count;
    };
    // Candidates: no words (a title, an axis name), no lone tick marks, not too small.
    std::vector<int> candidates;
    for (int i : inRegion) {
        const Label &l = mLabels[i];
        if (l.charSize < 0.5 * c)
            continue;
        if (l.text.parts.size() == 1 && std::min(l.text.box.width(), l.text.box.height()) * 3 <= l.charSize)
            continue;
        if (letters({i}) < 3)
            candidates.push_back(i);
    }
    if (mTrace)
        mTrace(QStringLiteral("offset region %1..%2 x %3..%4: %5 boxes, %6 candidates").arg(x0).arg(x1).arg(y0).arg(y1).arg(inRegion.size()).arg(candidates.size()));
    // An offset text is one line: the candidates side by side, nearest the axis's end first.
    // (Candidates are in order from the left.) A wide gap parts a title from an offset.
    std::vector<std::vector<int>> textLines;
    for (int i : candidates) {
        const PixelBox &b = mLabels[i].text.box;
        auto same = std::find_if(textLines.begin(), textLines.end(), [&](const std::vector<int> &t) {
            const PixelBox &n = mLabels[t.front()].text.box;
            return std::min(b.y1, n.y1) - std::max(b.y0, n.y0) >= 0.5 * std::min(b.height(), n.height())
                && b.x0 - mLabels[t.back()].text.box.x1 <= 4 * c;
        });
        if (same == textLines.end())
            textLines.push_back({i});
        else
            same->push_back(i);
    }
    // An offset reaches out of the region to the left (its right end is what is aligned): the
    // boxes that continue a line, close beside it, belong to it.
    for (std::vector<int> &t : textLines) {
        for (bool grew = true; grew;) {
            grew = false;
            for (int i = 0; i < int(mLabels.size()); ++i) {
                if (std::find(t.begin(), t.end(), i) != t.end()
                    || std::find(agreeing.begin(), agreeing.end(), i) != agreeing.end())
                    continue;
                const PixelBox &b = mLabels[i].text.box;
                const bool beside = std::any_of(t.begin(), t.end(), [&](int j) {
                    const PixelBox &n = mLabels[j].text.box;
                    return std::min(b.y1, n.y1) - std::max(b.y0, n.y0) >= 0.5 * std::min(b.height(), n.height())
                        && std::max(b.x0, n.x0) - std::min(b.x1, n.x1) <= 1.5 * c;
                });
                if (beside) {
                    t.push_back(i);
                    grew = true;
                }
            }
        }
        std::sort(t.begin(), t.end(), [&](int a, int b) { return mLabels[a].text.box.x0 < mLabels[b].text.box.x0; });
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
        const double left = mLabels[t.front()].text.box.x0;
        if (line.direction < 0) {
            const double right = mLabels[t.back()].text.box.x1;
            return (right >= extent.x0 - 3 * c && right <= extent.x0 + 3 * c) || (middle && left >= x0 && left <= plotLeft + 2 * c);
        }
        return (left >= extent.x1 - 3 * c && left <= extent.x1 + 3 * c) || (left >= x0 && left <= plotLeft + 2 * c);
    };
    auto startsLikeOffset = [&](const std::vector<int> &t) {
        QString text;
        for (int i : t)
            text += canonicalLabel(readLabel(i, 0, true, true));
        return text.startsWith(QLatin1String("x10"));
    };
    const QString unread = AxesTexts::tr("the factor at the end of the %1 axis could not be read").arg(xAxis ? QLatin1Char('x') : QLatin1Char('y'));
    // Words beside the axis's end (a legend, an axis name) that read as no offset leave an
    // offset trusted only when it reads alike as words; unless they end in a word, they doubt
    // there being none.
    bool wordsThere = false, wordsDoubt = false;
    for (std::vector<int> &pieces : textLines) {
        bool doubtful = false, ownWord = false;
        const auto offset = readOffset(pieces, xAxis, doubtful, ownWord);
        if (doubtful) {
            problem = unread;
            return std::nullopt;
        }
        const bool near = std::any_of(pieces.begin(), pieces.end(), [&](int i) {
            const PixelBox &b = mLabels[i].text.box;
            return std::find(candidates.begin(), candidates.end(), i) != candidates.end() && b.x1 > nearX0 && b.x0 < nearX1;
        });
        if (mTrace)
            mTrace(QStringLiteral("  near %1, aligned %2, an offset %3, on its own %4").arg(near).arg(aligned(pieces)).arg(bool(offset)).arg(ownWord));
        if (!near || !aligned(pieces)) {
            // Elsewhere an offset is taken for none, but one that reads as one is a doubt (not
            // a word's tail: "1992-2030" in a title), and so is one that starts like one but
            // lost its exponent ("x10"): past a last label misread, the axis's end is unsure.
            if ((offset && ownWord) || startsLikeOffset(pieces))
                problem = unread;
            continue;
        }
        // Nothing is added to the labels of a log axis.
        if (offset && fit.log && offset->addend != 0) {
            problem = unread;
            return std::nullopt;
        }
        if (offset) {
            // Beside words only a line that is the offset and nothing else, read alike as
            // words (where a 1 may read as an l), is trusted: a legend's marker and number,
            // read as digits, can look like an addend.
            QString words;
            for (int i : pieces)
                words += canonicalLabel(readLabel(i, 0, false, true));
            const auto asWords = offsetValue(lookalikesAsDigits(words));
            const bool clean = ownWord && asWords && asWords->multiplier == offset->multiplier
                && asWords->addend == offset->addend;
            if (wordsThere && !clean)
                problem = unread;
            return problem.isEmpty() ? offset : std::nullopt;
        }
        // Text there that is no offset and no words may be a misread one; a plain number
        // among words (a legend's "2024 data") is none.
        const bool wordy = letters(pieces) >= 3;
        const bool plainAmongWords = wordy && std::all_of(pieces.begin(), pieces.end(), [&](int i) {
            const QString words = readLabel(i, 0, false, true);
            return std::find(candidates.begin(), candidates.end(), i) == candidates.end()
                || (!words.isEmpty() && std::all_of(words.begin(), words.end(), [](QChar ch) { return ch.isDigit(); }));
        });
        // An offset run into an axis name ends its line; a line that ends in a word (letters
        // no misread digit makes, and no digit) holds none.
        const QString tail = readLabel(pieces.back(), 0, false, true);
        const bool endsInWord = std::none_of(tail.begin(), tail.end(), [](QChar ch) { return ch.isDigit(); })
            && std::count_if(tail.begin(), tail.end(), [](QChar ch) {
                   return ch.isLetter() && !QStringLiteral("eExXlIiOoSsZzBbgqGT").contains(ch);
               }) >= 2;
        wordsThere = wordsThere || wordy;
        if (plainAmongWords || endsInWord)
            continue;
        if (wordy)
            wordsDoubt = true;
        else
            problem = unread;
    }
    if (swallowed || wordsDoubt)
        problem = unread;
    return problem.isEmpty() ? std::optional<AxisOffset>(AxisOffset{}) : std::nullopt;
}

// Whether a label of the line that no inlier explains is one misread: it stands where the
// agreeing labels' spacing puts a tick, and is no larger than they are (a label that swallowed
// an offset text beside it is).
bool AxisSearch::misreadInPlace(const Line &line, int member) const
{
    const AxisFit &fit = *line.choice.fit;
    std::vector<double> ticks, shifts, widths, heights;
    for (int k : fit.inliers) {
        const PixelBox &b = mLabels[line.members[line.sampleMember[k]]].text.box;
        ticks.push_back(fit.position(line.samples[k].value));
        shifts.push_back(along(line, b) - ticks.back());
        widths.push_back(b.width());
        heights.push_back(b.height());
    }
    if (ticks.size() < 2)
        return false;
    std::sort(ticks.begin(), ticks.end());
    double step = 1e18;
    for (size_t i = 1; i < ticks.size(); ++i)
        step = std::min(step, ticks[i] - ticks[i - 1]);
    if (step < 2 * line.charSize)
        return false;
    const PixelBox &b = mLabels[line.members[member]].text.box;
    if (b.width() > 1.3 * median(widths) + 2 || b.height() > 1.3 * median(heights) + 2)
        return false;
    const double at = along(line, b) - median(shifts);
    const double steps = (at - ticks.front()) / step;
    const double nearest = std::round(steps);
    const double reach = (ticks.back() - ticks.front()) / step + 2;
    return nearest >= -2 && nearest <= reach && std::abs(steps - nearest) * step <= 0.3 * line.charSize + 2;
}

// The offset a line of text ends with: the longest tail that reads as one, starting with its
// sign, its "x" or its "1e", not inside a misread word. The line is read as numbers (a "+" is
// no "t" then) and as words (a "+" is not dropped then); where both give an offset they must
// agree.
std::optional<AxisOffset> AxisSearch::readOffset(const std::vector<int> &pieces, bool xAxis, bool &doubtful,
                                                 bool &ownWord)
{
    std::optional<AxisOffset> found;
    ownWord = false;
    // Words read as numbers give numbers: in a line of words only the words' reading counts.
    int letters = 0;
    for (int i : pieces)
        for (QChar ch : readLabel(i, 0, false, true))
            letters += (ch.isLetter() && !QStringLiteral("eExX").contains(ch)) ? 1 : 0;
    for (bool numeric : {true, false}) {
        QString text;
        std::vector<int> starts; // where each piece's reading begins
        for (int i : pieces) {
            starts.push_back(int(text.size()));
            text += canonicalLabel(readLabel(i, 0, numeric, true));
        }
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
            // A factor's sign and base with nothing after them lost their raised power.
            if (!offset && text.mid(start) == QLatin1String("x10"))
                doubtful = true;
            if (offset && std::find(starts.begin(), starts.end(), start) != starts.end() && (!numeric || letters < 3))
                ownWord = true;
            // A number right before "x10^n" is its mantissa: an addend that lost its sign.
            if (offset && c0 == QLatin1Char('x') && start > 0 && text[start - 1].isDigit())
                doubtful = true;
        }
        if (offset && found && (offset->multiplier != found->multiplier || offset->addend != found->addend))
            doubtful = true;
        // Words that read as no offset, forced into digits, may read as one: a legend's "2011
        // data" after its marker line comes out as "-2011". They are no offset.
        if (!numeric && !offset && letters >= 3)
            return std::nullopt;
        if (!found)
            found = offset;
    }
    return found;
}

} // namespace chartrek
