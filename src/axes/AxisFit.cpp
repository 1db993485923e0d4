#include "axes/AxisFit.h"

#include <algorithm>
#include <cmath>

namespace chartrek {

double AxisFit::position(double value) const
{
    return offset + slope * (log ? std::log10(value) : value);
}

namespace {

struct Line {
    double offset = 0;
    double slope = 0;
};

std::optional<Line> leastSquares(const std::vector<double> &f, const std::vector<double> &p, const std::vector<int> &use)
{
    const double n = double(use.size());
    double mf = 0, mp = 0;
    for (int i : use) {
        mf += f[i];
        mp += p[i];
    }
    mf /= n;
    mp /= n;
    double sff = 0, sfp = 0;
    for (int i : use) {
        sff += (f[i] - mf) * (f[i] - mf);
        sfp += (f[i] - mf) * (p[i] - mp);
    }
    if (!(sff > 0))
        return std::nullopt;
    const double slope = sfp / sff;
    return Line{mp - slope * mf, slope};
}

} // namespace

std::optional<AxisFit> fitAxis(const std::vector<AxisSample> &samples, bool log, double tolerance)
{
    const int n = int(samples.size());
    std::vector<double> f(n), p(n);
    std::vector<bool> usable(n);
    for (int i = 0; i < n; ++i) {
        usable[i] = std::isfinite(samples[i].value) && (!log || samples[i].value > 0);
        f[i] = usable[i] ? (log ? std::log10(samples[i].value) : samples[i].value) : 0;
        p[i] = samples[i].position;
    }

    std::vector<int> best;
    double bestResidual = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (!usable[i] || !usable[j] || f[i] == f[j] || p[i] == p[j])
                continue;
            const double slope = (p[j] - p[i]) / (f[j] - f[i]);
            const double offset = p[i] - slope * f[i];
            std::vector<int> in;
            double sum = 0;
            for (int k = 0; k < n; ++k) {
                if (!usable[k])
                    continue;
                const double r = std::abs(offset + slope * f[k] - p[k]);
                if (r <= tolerance) {
                    in.push_back(k);
                    sum += r;
                }
            }
            if (in.size() > best.size() || (in.size() == best.size() && sum < bestResidual)) {
                best = std::move(in);
                bestResidual = sum;
            }
        }
    }
    if (best.size() < 2)
        return std::nullopt;
    // Two samples of the same value cannot both be right.
    std::sort(best.begin(), best.end(), [&](int a, int b) { return f[a] < f[b]; });
    for (size_t k = 1; k < best.size(); ++k) {
        if (f[best[k]] == f[best[k - 1]])
            return std::nullopt;
    }
    const auto line = leastSquares(f, p, best);
    if (!line || line->slope == 0)
        return std::nullopt;
    AxisFit fit;
    fit.log = log;
    fit.offset = line->offset;
    fit.slope = line->slope;
    fit.inliers = best;
    for (int i : best)
        fit.maxResidual = std::max(fit.maxResidual, std::abs(fit.offset + fit.slope * f[i] - p[i]));
    for (size_t k = 0; best.size() >= 3 && k < best.size(); ++k) {
        std::vector<int> others = best;
        others.erase(others.begin() + long(k));
        if (const auto without = leastSquares(f, p, others))
            fit.maxDeparture = std::max(fit.maxDeparture, std::abs(without->offset + without->slope * f[best[k]] - p[best[k]]));
    }
    return fit;
}

AxisChoice chooseAxisScale(const std::vector<AxisSample> &samples, double tolerance, bool powerForms)
{
    const auto lin = fitAxis(samples, false, tolerance);
    const auto lg = fitAxis(samples, true, tolerance);
    const size_t nLin = lin ? lin->inliers.size() : 0;
    const size_t nLog = lg ? lg->inliers.size() : 0;
    if (nLin == 0 && nLog == 0)
        return {};
    // Any two samples fit a line: the winner must explain a third.
    if (nLog > nLin)
        return {lg, nLog >= 3};
    if (nLin > nLog)
        return {lin, nLin >= 3};

    // As many samples either way: the values span too little for the scales to differ, or
    // there are only two.
    double lo = 0, hi = 0;
    for (int i : lg->inliers) {
        lo = lo == 0 ? samples[i].value : std::min(lo, samples[i].value);
        hi = std::max(hi, samples[i].value);
    }
    const bool decade = hi >= 10 * lo;
    // Two labels only, both powers of ten ("10" and "100"): a linear axis never steps by 90 or
    // 990, a logarithmic one puts exactly these at its decades.
    auto power = [](double v) { return std::abs(std::log10(v) - std::round(std::log10(v))) < 1e-9; };
    const bool decades = nLog == 2 && decade && power(lo) && power(hi);
    if (powerForms || decades || (decade && lg->maxResidual < 0.5 * lin->maxResidual))
        return {lg, powerForms && nLog >= 3};
    return {lin, !decade && nLin >= 3};
}

} // namespace chartrek
