#pragma once

#include "core/SharedState.h"
#include "core/ToolMode.h"

#include <QObject>

#include <span>

class QWidget;

namespace chartrek {

class ImageControl;

// The controls the views and the window layout move and read.
struct ViewControls {
    QWidget *client = nullptr; // the window's inner area, the container of every control below
    ImageControl *mPicture = nullptr;
    ImageControl *mZoomWindow = nullptr;
    QWidget *mZoomBox = nullptr;
    QWidget *grdDataPoints = nullptr;
    QWidget *mToolBar = nullptr;
    QWidget *mStatusBar = nullptr;
};

// The 1:1 and fit-to-window views, the View commands and the main window's layout handler.
// The view decides mViewScale. Check marks and the zoom button's enabled state are kept
// here as state; the window shows them through its one enabled-state function, which
// `changed` calls.
class Views : public QObject {
    Q_OBJECT
public:
    Views(SharedState &state, ToolMode &toolMode, const ViewControls &controls, QObject *parent = nullptr)
        : QObject(parent), mState(state), mToolMode(toolMode), mControls(controls)
    {
        setObjectName(QStringLiteral("views"));
    }

    // Shows the picture 1:1 and allows the zoom tool again.
    void SetNormalPictureView();
    // Lays the control out in the picture area and, in the fit view, fits the picture and
    // sets mViewScale from the control's new size.
    void FitPictureToWindow(ImageControl &control);
    // The main window's resize handler.
    void Form_Resize();

    void mnuViewNormal_Click();
    void mnuViewWindow_Click();
    void mnuViewRepaint_Click();

    // The zoom tool made a zoom: neither view is on and the zoom tool waits for 1:1.
    void zoomMade();

    // The steps of Zoom in, Zoom out and Ctrl+wheel: screen pixels per picture pixel.
    static std::span<const double> zoomSteps();
    // The step `steps` steps above (below, when negative) the zoom given, within the range.
    static double zoomStep(double zoom, int steps);
    // Screen pixels per picture pixel in the view shown now.
    double zoom() const;
    // Zooms by whole steps about a point of the picture control (twips): the picture point
    // under it stays there, as far as the picture can fill the viewport. The view is then a
    // zoom of its own, neither 1:1 nor fitted, unless it came to 1:1.
    void zoomBy(int steps, float x, float y);
    // One step about the middle of what is seen.
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();

    bool normalChecked() const { return mNormalChecked; }
    bool fitChecked() const { return mFitChecked; }
    bool zoomAllowed() const { return mZoomAllowed; }

signals:
    // A check mark or the zoom button's state changed.
    void changed();

private:

    void leaveNormalView();
    void zoomAboutMiddle(int steps);

    SharedState &mState;
    ToolMode &mToolMode;
    ViewControls mControls;
    bool mNormalChecked = true;
    bool mFitChecked = false;
    bool mZoomAllowed = true;
};

} // namespace chartrek
