#pragma once

#include <QtGlobal>

namespace chartrek {

// The state every subsystem of the main window shares. One instance lives in frmMain
// and is handed by reference to the subsystems that read or write it; the start values
// are the program's start values.
struct SharedState {
    // Tool mode: what a press on the picture means.
    enum Tool : int { PointerTool = 1, LineTool = 2, PointTool = 3, ZoomTool = 4, AutoLineTool = 5, AnglePickTool = 7 };
    int mToolMode = PointerTool;

    // Picture units per control unit of the shown picture (1.0 in the 1:1 view).
    double mViewScale = 1.0;
    bool mFitToWindow = false;

    // Reference capture.
    bool mCalibrating = false;
    int mCalibStep = 0; // 1 = X1 (origin), 2 = X2, 3 = Y1, 4 = Y2, 0 = none
    // Picture positions of the references, parsed back from the captions the panel shows.
    double mX1Pix = 0;
    double mY1Pix = 0;
    double mX2Pix = 0;
    double mY2Pix = 0;

    // Zoom and line tools; 32-bit because pictures up to 32760 pixels are 491400 twips.
    qint32 mZoomStartX = 0;
    qint32 mZoomStartY = 0;
    qint32 mLineStartX = 0;
    qint32 mLineStartY = 0;
    qint32 mLineEndX = 0;
    qint32 mLineEndY = 0;
    bool mLineFirstMove = false;
    bool mLineDragging = false;

    // Autoline set-up.
    bool mAutoLine = false;
    int mAutoLineStep = 0;
    bool mAutoLineCancel = false;
    bool mHasGrid = false;
    bool mHasLines = false;
    // How far (largest channel difference, 0 to 255) a colour may lie from the line colour and
    // still belong to the line; 0 compares exactly. The start value suits anti-aliased lines,
    // JPEGs and scans, where a line's pixels differ a little from the colour clicked; the
    // user's last choice is kept here for the run, like the check boxes.
    static constexpr int kDefaultColorTolerance = 40;
    int mColorTolerance = kDefaultColorTolerance;

    // Lost-line recovery.
    qint32 mRecoveryCenterX = 0;
    qint32 mRecoveryCenterY = 0;
    qint32 mRecoveryRefX = 0;
    qint32 mRecoveryPickX = 0;
    qint32 mRecoveryPickY = 0;
    bool mRecoveryCancelled = false;

    // Two-point angle pick of the rotate dialog: 1 = left point next, 2 = right point next;
    // picking from "calculate" until the right point is taken; the left point in control
    // twips, rounded.
    int mRotatePickStep = 1;
    bool mRotatePicking = false;
    struct Point32 {
        qint32 x = 0;
        qint32 y = 0;
    };
    Point32 mRotateFirstPoint;

    // Check marks of "Sort data (by X)" (new points are inserted sorted by x when set) and
    // "Show markers" (captured points get a marker), kept in step with the menu.
    bool mSortData = true;
    bool mShowMarkers = true;
};

} // namespace chartrek
