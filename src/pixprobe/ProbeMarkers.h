// Inside the probe module: data markers drawn on a line.
#pragma once

#include "pixprobe/ProbeSurface.h"

#include <optional>

namespace chartrek::probe {

// The point to answer for a column through a marker, in pixels (pixel (i, j) covers [i, i + 1)
// by [j, j + 1)), and whether more lines than the line's own two arms leave the marker.
struct MarkerPoint {
    double x = 0;
    double y = 0;
    bool crossing = false;
};

// The marker that the run in column `col` belongs to or touches, on a line `width` pixels
// wide, whose dots or dashes leave gaps of up to `gap` pixels; nothing when the run is the line
// alone.
std::optional<MarkerPoint> markerPoint(const PixProbeSurface *dc, int32_t col, const Run &run, const LineInk &ink,
                                       double width, double gap);

} // namespace chartrek::probe
