#include "calibration/ReferenceCapture.h"

#include <QCoreApplication>

namespace chartrek {

QString ReferenceCapture::recalculateQuestion()
{
    return QCoreApplication::translate("ReferenceCapture", "Recalculate existing data?");
}

void AskForOrigin(Messages &messages, ToolMode &toolMode)
{
    messages.ShowInfo(QCoreApplication::translate("ReferenceCapture", "You have to determine the origin first."));
    toolMode.SetPointerTool();
}

void ReferenceCapture::endCapture()
{
    SharedState &s = mCal.state();
    s.mCalibrating = false;
    s.mCalibStep = 0;
    mCal.record().buttonCaption = QStringLiteral("get");
}

void ReferenceCapture::startOrCancel()
{
    if (!mPicture.hasBitmap())
        return;
    mToolMode.SetPointerTool();
    SharedState &s = mCal.state();
    CalibrationRecord &rec = mCal.record();
    if (rec.buttonCaption == QLatin1String("get")) {
        rec.buttonCaption = QStringLiteral("...");
        s.mCalibrating = true;
        s.mCalibStep = 1;
        setBack(RefX1, ColorWaiting);
        if (mCal.xChained())
            setBack(RefY1, ColorWaiting);
    } else {
        rec.buttonCaption = QStringLiteral("get");
        s.mCalibrating = false;
        s.mCalibStep = 1;
        for (Ref ref : {RefX1, RefX2, RefY1, RefY2})
            byCaption(ref);
    }
    mCal.notifyChanged();
}

void ReferenceCapture::captureClick(float x, float y)
{
    SharedState &s = mCal.state();
    if (!s.mCalibrating)
        return;
    // The reference and what the answer did to the points are undone together.
    const CalibrationStep step(mPoints, QCoreApplication::translate("ReferenceCapture", "set reference"));
    bool recalculate = false;
    if (mPoints.hasPoints() && mCal.IsCalibrated()) {
        switch (mMessages.AskYesNoCancel(recalculateQuestion())) {
        case AnswerYes:
            recalculate = true;
            break;
        case AnswerNo:
            mPoints.ClearPointRows();
            break;
        default:
            // The button keeps "..."; its next press cancels cleanly.
            s.mCalibrating = false;
            s.mCalibStep = 1;
            mCal.notifyChanged();
            return;
        }
    }

    const bool chainX = mCal.xChained();
    const bool chainY = mCal.yChained();
    switch (s.mCalibStep) {
    case 1:
        mCal.setReferencePosition(RefX1, x);
        s.mCalibStep = 2;
        setBack(RefX1, ColorSet);
        setBack(RefX2, ColorWaiting);
        if (chainX) {
            mCal.setReferencePosition(RefY1, y);
            setBack(RefY1, ColorSet);
        }
        if (chainY)
            setBack(RefY2, ColorWaiting);
        break;
    case 2:
        mCal.setReferencePosition(RefX2, x);
        s.mCalibStep = 3;
        setBack(RefX2, ColorSet);
        setBack(RefY1, ColorWaiting);
        if (chainY) {
            mCal.setReferencePosition(RefY2, y);
            setBack(RefY2, ColorSet);
            if (chainX) {
                endCapture();
                setBack(RefY1, ColorSet);
            }
        } else if (chainX) {
            s.mCalibStep = 4;
            setBack(RefY1, ColorSet);
            setBack(RefY2, ColorWaiting);
        }
        break;
    case 3:
        mCal.setReferencePosition(RefY1, y);
        s.mCalibStep = 4;
        setBack(RefY2, ColorWaiting);
        setBack(RefY1, ColorSet);
        if (chainY) {
            endCapture();
            setBack(RefY2, ColorSet);
        }
        break;
    case 4:
        mCal.setReferencePosition(RefY2, y);
        endCapture();
        setBack(RefY2, ColorSet);
        break;
    default:
        break;
    }

    // Hide the stored numbers: the indicators show a state, not a position.
    CalibrationRecord &rec = mCal.record();
    rec.textColor = rec.backColor;
    if (recalculate)
        mPoints.RecalculatePoints();
    mCal.notifyChanged();
}

void ReferenceCapture::skip()
{
    SharedState &s = mCal.state();
    if (!s.mCalibrating)
        return;
    const bool chainX = mCal.xChained();
    const bool chainY = mCal.yChained();
    switch (s.mCalibStep) {
    case 1:
        s.mCalibStep = 2;
        byCaption(RefX1);
        setBack(RefX2, ColorWaiting);
        if (chainX)
            byCaption(RefY1);
        if (chainY)
            setBack(RefY2, ColorWaiting);
        break;
    case 2:
        s.mCalibStep = 3;
        byCaption(RefX2);
        setBack(RefY1, ColorWaiting);
        if (chainY) {
            byCaption(RefY2);
            if (chainX) {
                endCapture();
                byCaption(RefY1);
            }
        } else if (chainX) {
            byCaption(RefY1);
            s.mCalibStep = 4;
            setBack(RefY2, ColorWaiting);
        }
        break;
    case 3:
        s.mCalibStep = 4;
        setBack(RefY2, ColorWaiting);
        byCaption(RefY1);
        if (chainY) {
            endCapture();
            byCaption(RefY2);
        }
        break;
    case 4:
        endCapture();
        byCaption(RefY2);
        break;
    default:
        return;
    }
    mCal.notifyChanged();
}

} // namespace chartrek
