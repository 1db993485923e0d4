#include "axes/AxesCalibration.h"

#include "axes/AxesTexts.h"
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
        s.text[i] = generalNumberText(axis.log ? std::log10(value) : value, locale);
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
    CalibrationState next = calibration.snapshot();
    for (auto [setting, first] : {std::pair{&x, RefX1}, std::pair{&y, RefY1}}) {
        if (!*setting)
            continue;
        (first == RefX1 ? next.xLog : next.yLog) = (*setting)->log;
        for (int i = 0; i < 2; ++i) {
            const Ref ref = Ref(first + i);
            next.field[ref] = (*setting)->text[i];
            // As a capture click stores it: the text of the single, 7 digits.
            next.caption[ref] = generalNumberText((*setting)->position[i], QLocale(), 7);
            next.color[ref] = ColorSet;
        }
    }
    changeCalibration(calibration, points, next, AxesTexts::tr("find axes"));
}

} // namespace chartrek
