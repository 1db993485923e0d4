#pragma once

#include "core/SharedState.h"

#include <QObject>
#include <QPoint>

class QComboBox;
class QWidget;

namespace chartrek {

class ImageControl;
class PictureMouse;

// The magnifier `mZoomWindow`: the clean copy of the picture, 2 to 6 times as large as the view
// shows it, centred under its crosshair on the pointer's picture point. It sits docked in the
// right-hand column under `mZoomBox`, or floats over the picture; it is docked exactly when its
// left edge is the box's. Floating, it passes presses and moves on to the picture at the screen
// point under the pointer.
class Magnifier : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ImageControl &mZoomWindow;
        QComboBox &mZoomBox;
        ImageControl &mPicture;
    };

    Magnifier(const Controls &controls, SharedState &state, PictureMouse &mouse, QObject *parent = nullptr);

    bool docked() const;
    // The factor of the box's text, "4 x Zoom" → 4.
    int zoomFactor() const;
    // Floats the magnifier over the picture, centred on a point given in the coordinates of the
    // picture control (twips) but never reaching left of or above that control; docks it again
    // when it floats.
    void floatOrDock(QPoint twipsInPicture);

public slots:
    // Picture coordinates of the pointer (negative inside the picture).
    void UpdateMagnifier(float x, float y);
    // The magnifier's own mouse events, in its control twips.
    void mZoomWindow_MouseDown(int button, int shift, float X, float Y);
    void mZoomWindow_MouseMove(int button, int shift, float X, float Y);

private:
    // Where a point of the magnifier lies in the picture control's coordinates; nothing when docked.
    bool toPicture(float &X, float &Y) const;

    Controls mC;
    SharedState &mState;
    PictureMouse &mMouse;
};

} // namespace chartrek
