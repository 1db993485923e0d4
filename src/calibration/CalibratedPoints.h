#pragma once

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
};

} // namespace chartrek
