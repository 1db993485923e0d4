#pragma once

#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"
#include "capture/OverlayDrawing.h"
#include "calibration/ReferenceCapture.h"
#include "points/PointTables.h"

#include <QObject>


namespace chartrek {

class ImageControl;
class PictureMarkers;

// What a press, move or release on the shown picture means in the current tool: reference
// capture and deletion in the pointer tool, data points in the point tool, the line and zoom
// tools, and the value readout under the pointer. Features attached later (angle pick,
// Autoline, deletion, magnifier) receive their presses and moves through the signals.
class PictureMouse : public QObject {
    Q_OBJECT
public:
    struct Services {
        SharedState &state;
        ImageControl &picture;
        Calibration &calibration;
        ReferenceCapture &capture;
        PointTables &tables;
        ToolMode &toolMode;
        Messages &messages;
        PictureMarkers &markers;
    };

    explicit PictureMouse(const Services &services, QObject *parent = nullptr);

    // Button: 1 left, 2 right, 4 middle; shift: 1 Shift; X, Y control twips.
    void mPicture_MouseDown(int button, int shift, float X, float Y);
    void mPicture_MouseMove(int button, int shift, float X, float Y);
    void mPicture_MouseUp(int button, int shift, float X, float Y);

    // The readout of a picture position, " X: 1.000 - Y: 2.000".
    QString valueReadout(const PictureCoords &xy) const;

    // The view moved under the pointer: a line being dragged went with the repaint.
    void viewMoved();

    // Whether the active window is one of the program's: the main window, the rotate dialog
    // or the Autoline dialog. Moves take the keyboard focus only then.
    static bool IsActiveOwnWindow();

signals:
    void statusText(const QString &text);
    // The zoom tool changed the view: the main window unchecks Normal and Fit, disables Zoom.
    void zoomed();
    // Hand-offs to the features that own these tools. Connect them directly: a press reads the
    // tool mode again right after emitting, and a receiver may have returned to the pointer tool.
    // The angle pick measures in the picture: the press as picture coordinates negated (control
    // twips in the 1:1 view at its start), unrounded, so that a scroll between the two picks
    // and any zoom measure the same.
    void anglePickPress(float X, float Y);
    void autoLinePress(const PicturePoint &point, const ControlPoint &control);
    void autoLineColorProbe(qint32 drawX, qint32 drawY); // drawing coordinates
    void deletePointRequested(const PicturePoint &point);
    void magnifierUpdate(float x, float y);

private:
    void captureDataPoint(const PicturePoint &point, float X, float Y);
    void applyZoom(float X, float Y);
    void invertLine(qint32 toX, qint32 toY);

    Services mS;
};

} // namespace chartrek
