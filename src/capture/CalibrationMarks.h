#pragma once

#include "calibration/Calibration.h"
#include "core/SharedState.h"
#include "picture/ViewMarks.h"

#include <QObject>

namespace chartrek {

class ImageControl;

// What shows the user that the calibration is right, over the picture on the screen and never
// in it: a small cross labelled "X1", "X2", "Y1" or "Y2" at each reference while Show markers is
// on, and with View > Check calibration, grid lines at round values of both axes, labelled with
// their values. An x reference is marked on the level of Y1 and a y reference at the x of X1:
// where they lie on the axes, which is where the chart's own ticks for those values are.
class CalibrationMarks : public QObject {
    Q_OBJECT
public:
    CalibrationMarks(ImageControl &picture, const Calibration &calibration, const SharedState &state,
                     QObject *parent = nullptr);

    bool gridShown() const { return mGridShown; }
    // The marks for the picture's present view.
    QList<ViewMark> marks() const;

public slots:
    void setGridShown(bool shown);
    // The calibration, the view or Show markers changed.
    void refresh();

private:
    void addGrid(QList<ViewMark> &marks) const;

    ImageControl &mPicture;
    const Calibration &mCalibration;
    const SharedState &mState;
    bool mGridShown = false;
};

} // namespace chartrek
