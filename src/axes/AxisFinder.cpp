#include "axes/AxesTexts.h"
#include "axes/AxisSearch.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace chartrek {

// Whether the mapping is certain to within a pixel (or a thousandth of the axis) all over the
// plot. Each tick position is off by up to half a pixel (whole-pixel drawing), or by the fit's
// own scatter if that is larger; a line through few ticks close together may tilt enough to be
// out by more at the plot's edges: a tick spacing beyond the outer ticks, and as far as the
// other axis.
bool AxisSearch::closeEnough(const Line &line, const Line *other) const
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

// Where a line's labels lie: from and to along it, and across it on average. Once fitted, only
// the labels that agree count: a line may hold two plots' labels.
void AxisSearch::spanOf(const Line &line, double &from, double &to, double &across) const
{
    std::vector<int> members = line.members;
    if (line.choice.fit) {
        members.clear();
        for (int k : line.choice.fit->inliers)
            members.push_back(line.members[line.sampleMember[k]]);
    }
    from = 1e18;
    to = -1e18;
    across = 0;
    for (int m : members) {
        const PixelBox &b = mLabels[m].text.box;
        from = std::min(from, along(line, b));
        to = std::max(to, along(line, b));
        across += line.column ? b.centerX() : b.centerY();
    }
    across /= double(members.size());
}

// How many lines of the kind, around the hint too, lie nearer to it than this one. With
// `credible`, only lines of three or more agreeing labels count: two stray numbers (a title's,
// labels of two other axes that happen to line up) make no axis nearer.
int AxisSearch::hintRank(const std::vector<Line> &lines, const Line &line, double across, bool credible) const
{
    auto distance = [&](const Line &l, double a) { return std::abs(a - (l.column ? mHint->x() : mHint->y())); };
    int nearer = 0;
    for (const Line &other : lines) {
        if (&other == &line || other.score < 0 || !other.choice.fit
            || (credible && other.choice.fit->inliers.size() < 3) || missesHint(other))
            continue;
        double from, to, a;
        spanOf(other, from, to, a);
        nearer += distance(other, a) < distance(line, across) ? 1 : 0;
    }
    return nearer;
}

// Whether a line cannot be an axis of the plot the hint points into: the hint lies beyond its
// span, or on the side of it away from the ticks.
bool AxisSearch::missesHint(const Line &line) const
{
    if (!mHint || line.members.empty())
        return false;
    double from, to, across;
    spanOf(line, from, to, across);
    const double a = line.column ? mHint->y() : mHint->x(), c = line.column ? mHint->x() : mHint->y();
    const double margin = std::max(line.spacing, 2 * line.charSize);
    return a < from - margin || a > to + margin || (line.direction < 0 && c > across)
        || (line.direction > 0 && c < across);
}

FoundAxis AxisSearch::conclude(const Line &line, bool xAxis, const Line *other)
{
    FoundAxis axis;
    const QString name = xAxis ? QStringLiteral("x") : QStringLiteral("y");
    if (!line.choice.fit) {
        axis.problem = AxesTexts::tr("the %1 labels could not be read").arg(name);
        return axis;
    }
    const AxisFit &fit = *line.choice.fit;
    QString problem;
    const auto offset = offsetFor(line, xAxis, other, problem);
    const AxisOffset scale = offset.value_or(AxisOffset{});

    const AxisSample &lo = line.samples[fit.inliers.front()];
    const AxisSample &hi = line.samples[fit.inliers.back()];
    std::vector<double> reaches;
    // Marks whose rows disagree on their centre (run together with a minor mark or a JPEG's
    // ringing) may be off alike, which no residual shows; one of them at an axis end places a
    // reference wrongly, so any one puts the axis in doubt.
    int unclear = 0;
    for (int k : fit.inliers) {
        const auto &tick = line.ticks[line.sampleMember[k]];
        if (tick) {
            reaches.push_back(tick->reach);
            unclear += tick->spread > 0.5 ? 1 : 0;
        }
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
        axis.problem = AxesTexts::tr("the %1 axis looks logarithmic but its values are not all above zero").arg(name);
        return axis;
    }

    // A y label with text of its own height close beside it, away from its tick, is likely a
    // piece of a wider label split apart ("10" and its superscript read as "06"): when half of
    // the agreeing labels are, their values are no values to be sure of.
    int pieces = 0;
    for (int k : fit.inliers) {
        const int m = line.members[line.sampleMember[k]];
        const PixelBox &b = mLabels[m].text.box;
        pieces += line.column && std::any_of(mLabels.begin(), mLabels.end(), [&](const Label &other) {
            const PixelBox &n = other.text.box;
            const double gap = line.direction > 0 ? b.x0 - n.x1 : n.x0 - b.x1;
            return &other != &mLabels[m] && gap >= -1 && gap <= 0.5 * line.charSize
                && std::min(b.y1, n.y1) - std::max(b.y0, n.y0) >= 0.5 * std::min(b.height(), n.height())
                && n.height() >= 0.5 * b.height() && n.height() <= 1.5 * b.height()
                && std::find(line.members.begin(), line.members.end(), int(&other - mLabels.data())) == line.members.end();
        });
    }

    const int valued = int(std::count_if(line.values.begin(), line.values.end(), [](const auto &v) { return bool(v); }));
    const int outliers = valued - axis.ticks;
    // Values grow to the right and upwards on almost every chart; the other way round is
    // possible but more likely a misreading, so it is never reported as sure.
    const bool usualDirection = xAxis ? fit.slope > 0 : fit.slope < 0;
    if (line.colourBar)
        axis.problem = AxesTexts::tr("the only %1 labels found belong to a colour bar").arg(name);
    else if (line.measured && !closeEnough(line, other))
        axis.problem = AxesTexts::tr("the %1 ticks found are too few or too close together").arg(name);
    else if (!problem.isEmpty())
        axis.problem = problem;
    else if (pieces >= 2 && 2 * pieces >= axis.ticks)
        axis.problem = AxesTexts::tr("the %1 labels may be pieces of wider labels").arg(name);
    else if (!line.measured)
        axis.problem = AxesTexts::tr("no tick marks were found on the %1 axis").arg(name);
    else if (axis.ticks < 3)
        axis.problem = AxesTexts::tr("too few %1 labels could be read").arg(name);
    else if (outliers > std::max(1, valued / 4))
        axis.problem = AxesTexts::tr("some %1 labels disagree with the others").arg(name);
    else if (!line.choice.clear)
        axis.problem = AxesTexts::tr("the %1 axis could be linear or logarithmic").arg(name);
    else if (!usualDirection)
        axis.problem = AxesTexts::tr("the %1 values run the unusual way").arg(name);
    else if (line.measured && unclear > 0)
        axis.problem = AxesTexts::tr("the places of the %1 ticks are unclear").arg(name);
    else if (!fit.evenlyPlaced())
        axis.problem = AxesTexts::tr("the %1 ticks are not evenly placed").arg(name);
    axis.sure = axis.problem.isEmpty();
    return axis;
}

AxesProposal AxisSearch::run(std::optional<QPointF> hint)
{
    mHint = hint;
    AxesProposal proposal;
    if (mImage.width() < 8 || mImage.height() < 8)
        return proposal;
    mTransposed = mImage.transposed();
    collectLabels();

    std::vector<Line> rows = lines(false), columns = lines(true);
    evaluateAll(rows);
    evaluateAll(columns);
    if (mStopped) {
        proposal.cancelled = true;
        return proposal;
    }

    // The x row and the y column that belong together: both read, the column beside the row's
    // left or right end and the row below or above the column; with a hint, the pair whose
    // plot holds it.
    auto span = [&](const Line &l, double &from, double &to, double &across) { spanOf(l, from, to, across); };
    // A hint outside every plot found (on a margin, a title) chooses nothing.
    const bool hintHolds = std::any_of(rows.begin(), rows.end(), [&](const Line &r) { return r.score >= 0 && !missesHint(r); })
        || std::any_of(columns.begin(), columns.end(), [&](const Line &c) { return c.score >= 0 && !missesHint(c); });
    if (!hintHolds)
        mHint.reset();
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
            // Axes may cross in the middle of the plot, each at the other's zero.
            auto atZero = [](const Line &line, double across, double reach) {
                const AxisFit &fit = *line.choice.fit;
                return !fit.log && std::abs(fit.position(0) - across) <= reach;
            };
            const bool rowAtZero = atZero(column, ry, 2.5 * row.charSize);
            const bool columnAtZero = atZero(row, cx, 4 * column.charSize);
            score -= (below || rowAtZero ? 0 : above ? 0.5 : 3) + (left || columnAtZero ? 0 : right ? 0.5 : 3);
            // The nearer the pair, the likelier one plot.
            const double gapX = left ? rx0 - cx : cx - rx1, gapY = below ? ry - cy1 : cy0 - ry;
            score -= 0.5 * (std::max(0.0, gapX) / std::max(1.0, rx1 - rx0) + std::max(0.0, gapY) / std::max(1.0, cy1 - cy0));
            if (mHint) {
                score -= 20 * ((missesHint(row) ? 1 : 0) + (missesHint(column) ? 1 : 0));
                // Of the axes around the point the user chose, the nearest (the plot's own, not
                // a plot's below or beside it).
                score -= 6 * (hintRank(rows, row, ry, true) + hintRank(columns, column, cx, true));
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
        proposal.x.problem = AxesTexts::tr("no x labels were found");
    if (bestColumn)
        proposal.y = conclude(*bestColumn, false, bestRow);
    else
        proposal.y.problem = AxesTexts::tr("no y labels were found");
    // Axes of another plot than the one pointed at are no answer to be sure of, nor are axes
    // with labels nearer the pointer, however few (the plot's own, read too poorly).
    for (auto [line, axis] : {std::pair{bestRow, &proposal.x}, std::pair{bestColumn, &proposal.y}}) {
        if (!line || !axis->found)
            continue;
        double from, to, across;
        spanOf(*line, from, to, across);
        if (missesHint(*line) || (mHint && axis->sure && hintRank(line->column ? columns : rows, *line, across, false) > 0)) {
            axis->sure = false;
            axis->problem = AxesTexts::tr("the %1 axis of the plot at the pointer was not found")
                                .arg(axis == &proposal.x ? QLatin1Char('x') : QLatin1Char('y'));
        }
    }
    // An axis read on the far side of the plot (a y axis on the right, an x axis on top) while
    // another is read on the near side of the same plot may be a colour bar's or a second
    // axis, chosen for its larger number of labels: which one is meant is not sure.
    if (bestRow && bestColumn) {
        double rx0, rx1, ry, cy0, cy1, cx;
        span(*bestRow, rx0, rx1, ry);
        span(*bestColumn, cy0, cy1, cx);
        const double rowReach = 0.5 * bestRow->spacing, columnReach = 0.5 * bestColumn->spacing;
        const bool columnFar = cx > rx1 - rowReach && !(cx < rx0 + rowReach);
        const bool rowFar = ry < cy0 + columnReach && !(ry > cy1 - columnReach);
        const bool nearColumn = columnFar && std::any_of(columns.begin(), columns.end(), [&](const Line &c) {
            double from, to, across;
            span(c, from, to, across);
            return &c != bestColumn && c.score >= 0 && across < rx0 + rowReach && from < cy1 && to > cy0;
        });
        const bool nearRow = rowFar && std::any_of(rows.begin(), rows.end(), [&](const Line &r) {
            double from, to, across;
            span(r, from, to, across);
            return &r != bestRow && r.score >= 0 && across > cy1 - columnReach && from < rx1 && to > rx0;
        });
        for (const auto &[doubt, axis, name] : {std::tuple{nearRow, &proposal.x, QLatin1Char('x')},
                                                std::tuple{nearColumn, &proposal.y, QLatin1Char('y')}}) {
            if (doubt && axis->sure) {
                axis->sure = false;
                axis->problem = AxesTexts::tr("another %1 axis was found on the other side of the plot").arg(name);
            }
        }
    }
    if (mStopped)
        proposal.cancelled = true;
    if (mTrace)
        mTrace(QStringLiteral("%1 labels, %2 rows, %3 columns, %4 readings").arg(mLabels.size()).arg(rows.size()).arg(columns.size()).arg(mReads));
    return proposal;
}

AxesProposal AxisFinder::find(const QImage &picture, std::optional<QPointF> hint, const std::atomic_bool *cancel)
{
    return AxisSearch(picture, mReader, cancel, mTrace).run(hint);
}

} // namespace chartrek
