#pragma once

#include "axes/InkImage.h"

#include <functional>
#include <optional>
#include <vector>

namespace chartrek {

// A label of an axis that runs along x, as the tick search needs it: the x its tick should be
// near, the y of its side that faces the plot, and the height of its characters.
struct LabelSpot {
    double anchor = 0;
    int edge = 0;
    int textHeight = 0;
};

// A thin line that leaves a label's side: its centre along the axis (sub-pixel, in the
// picture's pixel convention: pixel i covers [i, i+1)), how far from the label it starts, how
// long it is and where it ends.
struct TickMark {
    double position = 0;
    int start = 0;
    int length = 0;
    int reach = 0;
    // How far the centres of its middle half of rows lie apart: the rows of a clean mark agree,
    // those of one run together with something else do not, and its place is then in doubt.
    double spread = 0;
};

// For each label, its tick mark (or the end of its grid line): of the thin lines that leave the
// label's side towards the plot (`direction` -1: upwards, +1: downwards) within `window`
// pixels of its anchor, the one that agrees best with the others (marks of one axis are alike:
// as long, as far from their labels, as far from their anchors). None where there is no such
// line. `blocked` pixels (other text) are never part of a line.
std::vector<std::optional<TickMark>> findTicks(const InkImage &image, const std::vector<LabelSpot> &labels,
                                               int direction, double window,
                                               const std::function<bool(int, int)> &blocked);

} // namespace chartrek
