#pragma once

#include "core/SharedState.h"
#include "pixprobe/PixProbe.h"

#include <QtGlobal>

#include <optional>
#include <vector>

namespace chartrek {

// What the tracer needs from the window: colours and line points of the clean copy, the
// tables and markers, the progress, the events and the user. Points are drawing coordinates.
class TraceHost {
public:
    virtual ~TraceHost() = default;
    // Colour 0x00BBGGRR of the probe picture; -1 outside it.
    virtual qint32 colorAt(qint32 x, qint32 y) = 0;
    // GetAPoint on the probe picture for the line described: the status, the point written.
    virtual qint32 linePoint(qint32 x, qint32 y, PixProbePoint &point, const PixProbeLine &line) = 0;
    // The probe picture's height in twips.
    virtual double pictureHeight() = 0;
    // Adds one traced point to the tables and marks it on the shown picture.
    virtual void addTracedPoint(qint32 x, qint32 y, qint32 lineColor) = 0;
    virtual void repaintPicture() = 0;
    virtual void setProgress(int minimum, int maximum, int value) = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    // The user picks the point (the pick written into point); false when the user cancelled,
    // which the host has turned into a cancel request.
    virtual bool getPointFromUser(PixProbePoint &point) = 0;
};

// How a trace ended.
struct TraceResult {
    enum Ending { Completed, CancelledBetweenSteps, CancelledInSearch, NoStepWidth };
    Ending ending = Completed;
    int pointsAdded = 0; // rows this trace put into the tables
    int pointsRead = 0;  // points found inside the loop ("Line read" counts these and two)
};

// Follows one curve of one colour from left to right, a point per step: the prediction on the
// straight line through the last two points, half-circles of shrinking radius on the right of
// the current point when it misses, the probe module's line point, and the user when nothing
// can be trusted.
class LineTracer {
public:
    LineTracer(SharedState &state, TraceHost &host) : mState(state), mHost(host) {}

    // Traces from the previous point p0 (the starting point) and the current point p1 (the
    // distance point) until x reaches the end point's; p0 and p1 move along as the trace goes.
    // What it learns of the line around the three points serves the whole trace.
    TraceResult TraceLine(qint32 lineColor, PixProbePoint &p0, PixProbePoint &p1, const PixProbePoint &end);

    // True with q a point of the line colour or a point the user picked; false when a cancel
    // request ended the search first, or the user cancelled instead of picking.
    bool FindNextPoint(qint32 lineColor, PixProbePoint &q, const PixProbePoint &p1, qint32 w, double m, double b);

    // Lets the probe module place the line point for `candidate` into `target` (they may be
    // the same); asks the user when that point is below the picture or, with "has grid", a
    // crossing.
    void SnapToLine(PixProbePoint candidate, PixProbePoint &target, qint32 lineColor);

    // Whether a colour read belongs to the line, under the run's tolerance.
    bool onLine(qint32 color, qint32 lineColor) const;

private:
    // Looks ahead of the current point, in about the direction so far, for the line going on:
    // found (q is its nearest pixel), found beside another line of its colour with "has lines
    // next to it" (q is where to ask), nothing within reach, or a cancel came.
    enum class Bridge { Found, Unsure, Nothing, Cancelled };
    Bridge bridgeGap(qint32 lineColor, PixProbePoint &q, const PixProbePoint &p1, qint32 w, double m);
    // Whether the points are joined to `from` by line pixels within `reach` (twips) of it.
    bool joinedNearby(qint32 lineColor, const PixProbePoint &from, const std::vector<PixProbePoint> &points,
                      double reach);
    // The user picks q, not left of refX; false when the user cancelled.
    bool askUser(PixProbePoint &q, qint32 refX);
    // The line learnt for this colour, or the colour alone under the run's tolerance.
    PixProbeLine lineFor(qint32 lineColor) const;

    SharedState &mState;
    TraceHost &mHost;
    std::optional<PixProbeLine> mLearnt;
    qint32 mLearntFor = -1;
    double mGap = 0; // the longest gap of the line's dots or dashes, pixels
    bool mDotted = false;
    // One half-circle's probes: in a run of the line colour, and how far along the arc the
    // last one of it lies, pixels.
    struct Arc {
        bool run = false;
        double missed = 0;
        std::vector<PixProbePoint> stroke; // the probes of the run
    };
};

// Nearest integer, halves to the even neighbour.
qint32 nearestEven(double v);

} // namespace chartrek
