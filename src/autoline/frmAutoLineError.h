#pragma once

#include "calibration/Calibration.h"
#include "capture/OverlayDrawing.h"
#include "core/Messages.h"
#include "core/SharedState.h"

#include <QDialog>
#include <QPoint>

#include <optional>

class QFrame;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;

namespace chartrek {

class ImageControl;

// "Get the line": the shown picture at twice the main view's magnification around the point
// where the tracer expected the line (state.mRecoveryCenterX/Y; the view scale in the state is
// already halved), where the user picks the next line point with the mouse or the keypad. An
// accepted pick goes to state.mRecoveryPickX/Y; state.mRecoveryCancelled tells OK from Cancel.
class frmAutoLineError : public QDialog {
    Q_OBJECT
public:
    frmAutoLineError(const ImageControl &picture, SharedState &state, Messages &messages, QWidget *parent = nullptr);

    // The instructions, each line ended by CR LF.
    static QString instructions();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    // True when the key was acted on; other keys go on to the controls.
    bool Form_KeyDown(const QKeyEvent &key);
    void mPic_Paint();
    void mPic_MouseMove(int button, int shift, float x, float y);
    void mPic_MouseDown(int button, int shift, float x, float y);
    void DrawCross(ControlPoint at);
    PictureCoords toPicture(float x, float y) const;
    void movePointer(QPoint step);

    const ImageControl &mPicture;
    SharedState &mState;
    Messages &mMessages;

    ImageControl *mPic;
    QPlainTextEdit *Text1;
    QFrame *mColorWindow;
    QPushButton *Command1;
    QPushButton *Command2;

    bool mLoaded = false;
    // Where the cross of the last accepted pick is on the screen, in control twips.
    std::optional<ControlPoint> mLastPick;
    // The pointer the keypad moves where the platform does not let the program move the real
    // one (device-independent pixels of mPic).
    std::optional<QPoint> mLogical;
};

} // namespace chartrek
