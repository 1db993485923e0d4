#pragma once

#include "calibration/Calibration.h"

namespace chartrek {

// The captured points as the calibration sees them: a new reference either recalculates them or
// drops them. The point tables implement it; the calibration knows nothing else of them.
class CalibratedPoints {
public:
    virtual ~CalibratedPoints() = default;
    virtual bool hasPoints() const = 0;
    // Removes every point; the header rows stay as they are.
    virtual void ClearPointRows() = 0;
    // Recomputes the values of every point from its picture coordinates.
    virtual void RecalculatePoints() = 0;
    // Whatever changes between the two, points and calibration, is one step of the undo
    // history. Steps of one `session` (not 0) that follow each other make one step: the
    // keystrokes of one edit of a field.
    virtual void beginChange(const QString &name, int session) = 0;
    virtual void endChange() = 0;
};

// One step of the undo history from construction to destruction.
class CalibrationStep {
public:
    CalibrationStep(CalibratedPoints &points, const QString &name, int session = 0) : mPoints(points)
    {
        mPoints.beginChange(name, session);
    }
    ~CalibrationStep() { mPoints.endChange(); }
    CalibrationStep(const CalibrationStep &) = delete;
    CalibrationStep &operator=(const CalibrationStep &) = delete;

private:
    CalibratedPoints &mPoints;
};

// Makes `state` the calibration, as one step of the undo history named `name`, with the values
// of the points recalculated when the calibration is complete. Several fields and references
// may change at once: one undo takes them all back.
void changeCalibration(Calibration &calibration, CalibratedPoints &points, const CalibrationState &state,
                       const QString &name, int session = 0);

} // namespace chartrek
