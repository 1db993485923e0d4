#pragma once

#include "core/Messages.h"
#include "core/ToolMode.h"
#include "calibration/CalibratedPoints.h"
#include "calibration/Calibration.h"

namespace chartrek {

// The state machine that captures the reference positions with clicks on the picture:
// start and cancel (the "get" button), capture click, and skip (Space).
// With both pairs chained a calibration takes two clicks, with none four (X1, X2, Y1, Y2),
// with one chained three.
class ReferenceCapture {
public:
    ReferenceCapture(Calibration &calibration, CalibratedPoints &points, Messages &messages, ToolMode &toolMode,
                     const PictureHolder &picture)
        : mCal(calibration), mPoints(points), mMessages(messages), mToolMode(toolMode), mPicture(picture)
    {
    }

    // Press of the "get" button: starts a capture, or cancels the running one.
    void startOrCancel();
    // A press on the picture in the pointer tool while capturing, at picture coordinates.
    void captureClick(float x, float y);
    // Space while capturing: moves on without capturing.
    void skip();

    static QString recalculateQuestion();

private:
    void setBack(Ref ref, quint32 color) { mCal.record().backColor[ref] = color; }
    void byCaption(Ref ref) { setBack(ref, mCal.colorByCaption(ref)); }
    void endCapture();

    Calibration &mCal;
    CalibratedPoints &mPoints;
    Messages &mMessages;
    ToolMode &mToolMode;
    const PictureHolder &mPicture;
};

// Points need a calibration: says so and returns to the pointer tool.
void AskForOrigin(Messages &messages, ToolMode &toolMode);

} // namespace chartrek
