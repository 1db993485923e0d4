#pragma once

#include "calibration/ReferenceCapture.h"
#include "core/SharedState.h"

#include <QObject>
#include <QPoint>

#include <optional>

class QComboBox;
class QKeyEvent;
class QWidget;

namespace chartrek {

class ImageControl;
class Magnifier;
class PictureMouse;

// The pointer direction of a keypad key other than 5 (y downward), with Num Lock on (digits) or
// off (the keys' other names); nothing for any other key.
std::optional<QPoint> keypadStep(const QKeyEvent &key);

// Moves the real pointer by `step` screen pixels and returns true; at the screen's edge it
// stays. Where the platform keeps the pointer where it is (Wayland; some cannot even tell where
// it is), which is found out once for the run, the keys walk a pointer of the program's own
// over `area` instead, starting where the real one was last seen and kept inside `area`:
// `logical` holds it, and false is returned.
bool walkPointer(std::optional<QPoint> &logical, QPoint step, const QWidget &area);

// The main window from the keyboard: the keypad moves the pointer by one pixel (ten with Alt
// alone), Enter presses the left button on the picture at the pointer, keypad + and - step
// the magnifier's factor, Ctrl pressed and released alone floats or docks the magnifier, Space skips the reference point
// being captured. Keypad keys count with Num Lock off too; other keys, keypad 5 and the arrow
// keys do nothing. No key is taken from the control it was meant for.
//
// Where the platform does not let a program move the pointer (a Wayland session), the keys
// move a logical pointer over the picture instead, drawn as a small crosshair and kept on the
// picture: each step runs the picture's move handling, a move of the mouse takes it along, and
// Enter presses where it is.
class KeyboardControl : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ImageControl &mPicture;
        ImageControl &mZoomWindow;
        QComboBox &mZoomBox;
    };
    struct Services {
        SharedState &state;
        ReferenceCapture &capture;
        PictureMouse &mouse;
        Magnifier &magnifier;
    };

    KeyboardControl(const Controls &controls, const Services &services, QObject *parent = nullptr);

    // Whether the keys move the logical pointer rather than the real one.
    bool logicalPointer() const { return mLogical.has_value(); }

public slots:
    void Form_KeyDown(QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint clippedToPicture(QPoint at) const;
    void movePointer(QPoint step);
    void pressAtPointer();
    void floatOrDockMagnifier();
    void stepZoom(int step);
    // The pointer in the picture control's pixels, and whether it is over the picture or the
    // magnifier.
    QPoint pointerInPicture() const;
    bool pointerOverPictureControls() const;

    Controls mC;
    Services mS;
    std::optional<QPoint> mLogical; // in the picture control's pixels, once the real pointer would not move
    bool mCtrlAlone = false;        // Ctrl is down, and no other key or button came since
};

} // namespace chartrek
