#pragma once

#include "axes/AxisFinder.h"
#include "calibration/CalibratedPoints.h"
#include "calibration/Calibration.h"

#include <QLocale>

#include <array>
#include <optional>

namespace chartrek {

// What Find axes sets for one axis, as a user would have set it: the log box, the two
// references as if clicked (picture coordinates, twips) and the two values as typed (in the
// user's locale; the exponent on a log axis). The lower value is the first reference.
struct AxisSetting {
    bool log = false;
    std::array<float, 2> position{};
    std::array<QString, 2> text;
};

// The setting for a found axis.
AxisSetting axisSetting(const FoundAxis &axis, const QLocale &locale = QLocale());

// Applies the settings of the axes given as one step of the undo history: fields, log boxes,
// reference positions and their indicators; a reference capture under way ends. The points are
// recalculated, as after any calibration change. An axis without a setting keeps what it had.
void applyAxisSettings(Calibration &calibration, CalibratedPoints &points, const std::optional<AxisSetting> &x,
                       const std::optional<AxisSetting> &y);

} // namespace chartrek
