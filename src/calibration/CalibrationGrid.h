#pragma once

#include "calibration/Calibration.h"

#include <optional>
#include <utility>
#include <vector>

namespace chartrek {

// One axis of a calibration as the conversion gives it: value = a + b·p on a linear axis,
// 10^(a + b·p) on a logarithmic one, p a picture coordinate of that axis.
struct AxisMap {
    double a = 0;
    double b = 0;
    bool log = false;

    double value(double position) const;
    // The picture coordinate of a value; none for a value a log axis cannot take.
    std::optional<double> position(double value) const;
};

// Both axes, read off PictureToValue at the picture's corners (its size in twips), so that they
// follow the conversion with all its rules; none where the conversion fails.
std::optional<std::pair<AxisMap, AxisMap>> axisMaps(const Calibration &calibration, double width, double height);

struct GridLine {
    double position; // picture coordinate
    double value;
};

// Round values between two picture coordinates, about `lines` of them or fewer, in order:
// 1, 2 or 5 times a power of ten apart on a linear axis; on a log axis every decade (or every
// n-th), 1, 2 and 5 of each decade, or 1 to 9 of each, whichever comes closest to `lines`, and
// round values of a linear axis where the range is too short for two such lines.
std::vector<GridLine> gridLines(const AxisMap &map, double from, double to, int lines);

} // namespace chartrek
