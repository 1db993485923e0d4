#pragma once

#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QStatusBar;
class QWidget;

namespace chartrek {

class ImageControl;
class PictureMarkers;
class Views;
class frmRotate;

// View > Rotate Graphic: straightens a tilted picture by a typed angle or one measured from
// two presses on the x-axis. The clean copy is turned on trial and shown with the markers; the
// magnifier's copy stays the clean reference until OK makes the turned one the new one. Points
// and calibration stay, and so do their markers, which are never turned into the picture.
class RotateGraphic : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget &window; // the owner of the dialog
        ImageControl &mPicture;
        ImageControl &mZoomWindow;
        QStatusBar &mStatusBar;
    };
    struct Services {
        SharedState &state;
        ToolMode &toolMode;
        Messages &messages;
        Views &views;
        PictureMarkers &markers;
    };

    RotateGraphic(const Controls &controls, const Services &services, QObject *parent = nullptr);

    static QString angleMessage();

    // The angle that levels the line from the left press to the right one, in degrees,
    // positive when the right press lies higher on the screen; none for one spot pressed twice.
    static std::optional<double> levellingAngle(SharedState::Point32 left, float x, float y);
    // The typed angle in hundredths of a degree, nearest with ties to even; none when the text
    // is not a number in the user's locale.
    static std::optional<qint32> hundredthsOf(const QString &text);

    void mnuViewRotate_Click();
    // A press on the picture while the angle pick runs, in control twips.
    void anglePick(float X, float Y);
    // While a trace runs the picture must not turn under it.
    void setTracing(bool tracing);

private:
    void btnGetWinkel_Click();
    void btnDoIt_Click();
    void btnBack_Click();
    void btnOK_Click();
    void Command1_Click();
    void closeDialog();

    Controls mC;
    Services mS;
    QPointer<frmRotate> mDialog;
    bool mTracing = false;
};

} // namespace chartrek
