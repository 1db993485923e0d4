#include "calibration/CalibrationGrid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace chartrek {

namespace {

// Values on the edge of the range count as within it, whatever the last bit of the edge.
constexpr double kEdge = 1e-9;

// The step of 1, 2 or 5 times a power of ten at least as large as `rough`.
double roundStep(double rough)
{
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= rough)
            return m * power;
    }
    return 10 * power;
}

void linearLines(const AxisMap &map, double low, double high, int lines, std::vector<GridLine> &out)
{
    const double step = roundStep((high - low) / lines);
    if (!(step > 0) || !std::isfinite(step))
        return;
    for (double k = std::ceil(low / step - kEdge); k * step <= high + step * kEdge; ++k) {
        // k·step, not a sum of steps: 0.3 is written 0.3, not 0.30000000000000004 from adding up.
        const double value = k * step;
        if (const auto p = map.position(value))
            out.push_back({*p, value});
    }
}

// Values m·10^n of the multipliers given, every `every`-th decade, between low and high.
std::vector<double> logValues(double low, double high, std::initializer_list<double> multipliers, int every)
{
    std::vector<double> values;
    const int first = int(std::floor(std::log10(low))), last = int(std::ceil(std::log10(high)));
    for (int n = first; n <= last; ++n) {
        if (n % every != 0)
            continue;
        for (const double m : multipliers) {
            const double value = m * std::pow(10.0, n);
            if (value >= low * (1 - kEdge) && value <= high * (1 + kEdge))
                values.push_back(value);
        }
    }
    return values;
}

} // namespace

double AxisMap::value(double position) const
{
    const double e = a + b * position;
    return log ? std::pow(10.0, e) : e;
}

std::optional<double> AxisMap::position(double value) const
{
    if (log && !(value > 0))
        return std::nullopt;
    const double p = ((log ? std::log10(value) : value) - a) / b;
    return std::isfinite(p) ? std::optional(p) : std::nullopt;
}

std::optional<std::pair<AxisMap, AxisMap>> axisMaps(const Calibration &calibration, double width, double height)
{
    if (!calibration.IsCalibrated())
        return std::nullopt;
    const PicturePoint corner{roundToInt32(-width), roundToInt32(-height)};
    if (corner.x == 0 || corner.y == 0)
        return std::nullopt;
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    ValuePoint at0{none, none}, atCorner{none, none};
    calibration.PictureToValue({0, 0}, at0);
    calibration.PictureToValue(corner, atCorner);
    const CalibrationRecord &r = calibration.record();
    const auto axis = [](double v0, double v1, double length, bool log) -> std::optional<AxisMap> {
        const double e0 = log ? std::log10(v0) : v0, e1 = log ? std::log10(v1) : v1;
        const AxisMap map{e0, (e1 - e0) / length, log};
        if (!std::isfinite(map.a) || !std::isfinite(map.b) || map.b == 0)
            return std::nullopt;
        return map;
    };
    const auto x = axis(at0.x, atCorner.x, corner.x, r.xLog), y = axis(at0.y, atCorner.y, corner.y, r.yLog);
    if (!x || !y)
        return std::nullopt;
    return std::pair(*x, *y);
}

std::vector<GridLine> gridLines(const AxisMap &map, double from, double to, int lines)
{
    std::vector<GridLine> out;
    const double v0 = map.value(from), v1 = map.value(to);
    const double low = std::min(v0, v1), high = std::max(v0, v1);
    if (lines < 1 || !(high > low) || !std::isfinite(low) || !std::isfinite(high))
        return out;
    if (map.log && low > 0) {
        const double decades = std::log10(high) - std::log10(low);
        std::vector<double> values;
        if (9 * decades <= lines)
            values = logValues(low, high, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 1);
        else if (3 * decades <= lines)
            values = logValues(low, high, {1, 2, 5}, 1);
        else
            values = logValues(low, high, {1}, int(std::ceil(decades / lines)));
        if (values.size() >= 2) {
            for (const double value : values) {
                if (const auto p = map.position(value))
                    out.push_back({*p, value});
            }
            return out;
        }
    }
    linearLines(map, low, high, lines, out);
    return out;
}

} // namespace chartrek
