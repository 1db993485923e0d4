#include "capture/RotateGraphic.h"

#include "calibration/Calibration.h"
#include "capture/PictureMarkers.h"
#include "capture/frmRotate.h"
#include "core/NumberText.h"
#include "core/TwipsGeometry.h"
#include "core/WindowPlacement.h"
#include "picture/ImageControl.h"
#include "picture/Views.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include <cmath>
#include <limits>
#include <numbers>

namespace chartrek {

RotateGraphic::RotateGraphic(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("rotateGraphic"));
}

QString RotateGraphic::angleMessage()
{
    return tr("Enter a number between -360.00 and 360.00 for the angle.");
}

std::optional<double> RotateGraphic::levellingAngle(SharedState::Point32 left, float x, float y)
{
    const double dx = double(x) - left.x, dy = double(y) - left.y;
    if (dx == 0 && dy == 0)
        return std::nullopt;
    // Screen y runs downwards: a right point higher up gives dy < 0 and a positive angle, which
    // turns the picture clockwise. For one x the quotient is infinite and the angle ±90.
    const double a = std::atan(dy / dx) * 180 / std::numbers::pi;
    return a == 0 ? 0.0 : -a; // never "-0"
}

std::optional<qint32> RotateGraphic::hundredthsOf(const QString &text)
{
    const std::optional<double> degrees = parseNumber(text);
    if (!degrees)
        return std::nullopt;
    // The default rounding mode rounds halves to even.
    double hundredths = std::nearbyint(*degrees * 100);
    // Any number is taken; one past 32 bits is the same turn less whole circles.
    if (!(std::abs(hundredths) <= std::numeric_limits<qint32>::max()))
        hundredths = std::nearbyint(std::fmod(*degrees, 360.0) * 100);
    return qint32(hundredths);
}

void RotateGraphic::mnuViewRotate_Click()
{
    if (!mC.mPicture.hasBitmap())
        return;
    if (!mDialog) {
        mDialog = new frmRotate(&mC.window);
        frmRotate *d = mDialog;
        connect(d->btnGetWinkel, &QPushButton::clicked, this, &RotateGraphic::btnGetWinkel_Click);
        connect(d->btnDoIt, &QPushButton::clicked, this, &RotateGraphic::btnDoIt_Click);
        connect(d->btnBack, &QPushButton::clicked, this, &RotateGraphic::btnBack_Click);
        connect(d->btnOK, &QPushButton::clicked, this, &RotateGraphic::btnOK_Click);
        connect(d->Command1, &QPushButton::clicked, this, &RotateGraphic::Command1_Click);
        connect(d, &frmRotate::closeRequested, this, &RotateGraphic::Command1_Click);
        d->setEnabled(!mTracing);
        d->adjustSize();
        // Over the right column, clear of the picture the points are picked on.
        const QRect frame = mC.window.frameGeometry();
        const int left = frame.right() + 1 - d->width() - toPixels(120);
        const int top = mC.window.geometry().top() + toPixels(2640);
        placeOnScreen(*d, {left, top});
    }
    mDialog->show();
    mDialog->raise();
    mDialog->activateWindow();
}

void RotateGraphic::btnGetWinkel_Click()
{
    mS.toolMode.SetPointerTool();
    mS.state.mToolMode = SharedState::AnglePickTool;
    mC.mPicture.setMousePointer(ImageControl::PointerCustom);
    mS.state.mRotatePicking = true;
    mC.mStatusBar.showMessage(tr("Select the left point"));
    mC.window.activateWindow();
}

void RotateGraphic::anglePick(float X, float Y)
{
    SharedState &s = mS.state;
    if (s.mRotatePickStep == 1) {
        s.mRotateFirstPoint = {roundToInt32(X), roundToInt32(Y)};
        s.mRotatePickStep = 2;
        mC.mStatusBar.showMessage(tr("Select the right point"));
        return;
    }
    const std::optional<double> angle = levellingAngle(s.mRotateFirstPoint, X, Y);
    // One spot twice measures nothing: an empty field, which "do it" refuses.
    if (mDialog)
        mDialog->txtWinkel->setText(angle ? generalNumberText(*angle) : QString());
    s.mRotatePickStep = 1;
    mS.toolMode.SetPointerTool();
    s.mRotatePicking = false;
}

void RotateGraphic::btnDoIt_Click()
{
    if (!mDialog || mTracing)
        return;
    const std::optional<qint32> hundredths = hundredthsOf(mDialog->txtWinkel->text());
    if (!hundredths) {
        mS.messages.ShowInfo(angleMessage());
        return;
    }
    // The turn tried so far turns further; the clean copy stays for "back". The rotation keeps
    // the size, so the turned copy fits the view as it is.
    mS.markers.setTrial(rotatePicture(mS.markers.base(), *hundredths));
}

void RotateGraphic::btnBack_Click()
{
    if (!mTracing)
        mS.markers.dropTrial();
}

void RotateGraphic::btnOK_Click()
{
    if (mTracing)
        return;
    if (mS.markers.trying()) {
        mC.mZoomWindow.setImage(mS.markers.base());
        const QSize area = twipsSize(&mC.mPicture);
        mC.mZoomWindow.setupZoomWindow(0, 0, float(area.width()), float(area.height()), mC.mPicture);
        mC.mZoomWindow.setRepaintEnabled(true);
        mS.markers.dropTrial();
    }
    // 1:1, with the Normal check mark that says so.
    if (mC.mPicture.hasBitmap())
        mS.views.mnuViewNormal_Click();
    closeDialog();
    mC.window.activateWindow();
}

void RotateGraphic::Command1_Click()
{
    if (mTracing)
        return;
    mS.markers.dropTrial();
    closeDialog();
}

void RotateGraphic::closeDialog()
{
    // A pick still running would hand presses to a window that is gone.
    if (mS.state.mToolMode == SharedState::AnglePickTool)
        mS.toolMode.SetPointerTool();
    mS.state.mRotatePicking = false;
    if (mDialog) {
        mDialog->hide();
        mDialog->deleteLater();
        mDialog = nullptr;
    }
}

void RotateGraphic::setTracing(bool tracing)
{
    mTracing = tracing;
    if (mDialog)
        mDialog->setEnabled(!tracing);
}

} // namespace chartrek
