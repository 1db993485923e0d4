#pragma once

#include "pixprobe/PixProbe.h"

#include <QtGlobal>

#include <vector>

namespace chartrek {

class TraceHost;

struct LearntLine {
    PixProbeLine line;
    double gap = 0; // the longest gap between the line's dots or dashes, pixels; 0 when solid
    bool dotted = false; // dots no longer than the gaps between them
};

// What a trace learns of its line around the points the user clicked on it (the ending, starting
// and distance points): the colour of its core (in a JPEG or a scan the clicked pixel may be a
// pale edge, and a dotted line's colour is faded everywhere), the paper's colour around it, its
// width, which tells a data marker from the line, and from the stretch between the starting and
// distance points whether it is dotted or dashed. With tolerance 0 the colour stays the clicked
// one.
LearntLine learnLine(TraceHost &host, qint32 clicked, int tolerance, const std::vector<PixProbePoint> &points);

} // namespace chartrek
