#include "axes/AxesCalibration.h"

#include "core/NumberText.h"
#include "core/Twips.h"

#include <cmath>

namespace chartrek {

AxisSetting axisSetting(const FoundAxis &axis, const QLocale &locale)
{
    AxisSetting s;
    s.log = axis.log;
    const AxisReference *refs[2] = {&axis.first, &axis.second};
    for (int i = 0; i < 2; ++i) {
        // Picture coordinates are the negated distance from the picture's top-left corner.
        s.position[i] = float(-refs[i]->along * kTwipsPerPixel);
        const double value = refs[i]->value;
        double typed = axis.log ? std::log10(value) : value;
        // A decade typed as its exponent is a whole number, not 2.9999999999999996.
        if (axis.log && std::abs(typed - std::round(typed)) < 1e-9)
            typed = std::round(typed);
        s.text[i] = generalNumberText(typed, locale);
    }
    return s;
}

void applyAxisSettings(Calibration &calibration, CalibratedPoints &points, const std::optional<AxisSetting> &x,
                       const std::optional<AxisSetting> &y)
{
    CalibrationRecord &record = calibration.record();
    SharedState &state = calibration.state();
    if (state.mCalibrating) {
        state.mCalibrating = false;
        state.mCalibStep = 0;
        record.buttonCaption = QStringLiteral("get");
        for (Ref ref : {RefX1, RefX2, RefY1, RefY2})
            record.backColor[ref] = calibration.colorByCaption(ref);
    }
    for (auto [setting, first] : {std::pair{&x, RefX1}, std::pair{&y, RefY1}}) {
        if (!*setting)
            continue;
        (first == RefX1 ? record.xLog : record.yLog) = (*setting)->log;
        for (int i = 0; i < 2; ++i) {
            const Ref ref = Ref(first + i);
            record.field[ref] = (*setting)->text[i];
            calibration.setReferencePosition(ref, (*setting)->position[i]);
            // As after a capture click: set, its number hidden.
            record.backColor[ref] = record.textColor[ref] = ColorSet;
        }
    }
    calibration.notifyChanged();
    if (calibration.IsCalibrated())
        points.RecalculatePoints();
}

} // namespace chartrek
