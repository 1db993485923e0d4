#pragma once

#include <optional>
#include <vector>

namespace chartrek {

// One tick as found: its position along the axis (pixels) and the value its label reads.
struct AxisSample {
    double position = 0;
    double value = 0;
};

// The mapping of one axis: position = offset + slope * f(value), f the identity on a linear
// axis and log10 on a logarithmic one; fitted to the samples that agree (the inliers).
struct AxisFit {
    bool log = false;
    double offset = 0;
    double slope = 0;
    std::vector<int> inliers;  // indices into the samples, by rising value
    double maxResidual = 0;    // pixels, over the inliers
    // Pixels: the farthest any inlier lies from the line through the others (with three or
    // more). A single tick placed a few pixels off pulls a least-squares line towards itself
    // and keeps its own residual small; the line through the others does not.
    double maxDeparture = 0;
    double position(double value) const;
    // Plotting programs snap marks to whole pixels, half a pixel either way: more than that
    // (a mark found beside its place, a misread label that still fits loosely) is no even axis.
    bool evenlyPlaced() const { return maxResidual <= 1.0 && maxDeparture <= 1.5; }
};

// The line through most samples within `tolerance` pixels (the least residual among equals),
// refitted by least squares to them: misread labels drop out. Needs two samples that agree, and
// on a log axis values above zero.
std::optional<AxisFit> fitAxis(const std::vector<AxisSample> &samples, bool log, double tolerance);

// Linear or logarithmic, from the labels' values against their positions: the scale that more
// samples agree with; on a tie the logarithmic one only when the labels are powers of ten
// (`powerForms`) or it fits clearly better over at least a decade.
struct AxisChoice {
    std::optional<AxisFit> fit;
    bool clear = false; // the other scale fits markedly fewer samples, or cannot be told apart
                        // only because the range is too narrow for it to matter
};
AxisChoice chooseAxisScale(const std::vector<AxisSample> &samples, double tolerance, bool powerForms);

} // namespace chartrek
