#include "capture/KeyboardControl.h"

#include "capture/Magnifier.h"
#include "capture/PictureMouse.h"
#include "core/Twips.h"
#include "picture/ImageControl.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>

#include <cmath>

namespace chartrek {

std::optional<QPoint> keypadStep(const QKeyEvent &key)
{
    if (!(key.modifiers() & Qt::KeypadModifier))
        return std::nullopt;
    switch (key.key()) {
    case Qt::Key_1: case Qt::Key_End: return QPoint(-1, 1);
    case Qt::Key_2: case Qt::Key_Down: return QPoint(0, 1);
    case Qt::Key_3: case Qt::Key_PageDown: return QPoint(1, 1);
    case Qt::Key_4: case Qt::Key_Left: return QPoint(-1, 0);
    case Qt::Key_6: case Qt::Key_Right: return QPoint(1, 0);
    case Qt::Key_7: case Qt::Key_Home: return QPoint(-1, -1);
    case Qt::Key_8: case Qt::Key_Up: return QPoint(0, -1);
    case Qt::Key_9: case Qt::Key_PageUp: return QPoint(1, -1);
    default: return std::nullopt;
    }
}

KeyboardControl::KeyboardControl(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("keyboardControl"));
}

void KeyboardControl::Form_KeyDown(QKeyEvent *event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int s = held == Qt::AltModifier ? 10 : 1;
    if (const auto step = keypadStep(*event)) {
        movePointer(*step * s);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pressAtPointer();
    } else if (keypad && event->key() == Qt::Key_Plus) {
        stepZoom(1);
    } else if (keypad && event->key() == Qt::Key_Minus) {
        stepZoom(-1);
    } else if (event->key() == Qt::Key_Space) {
        if (mS.state.mCalibrating)
            mS.capture.skip();
    } else if (event->key() == Qt::Key_Control) {
        floatOrDockMagnifier();
    }
}

void KeyboardControl::movePointer(QPoint step)
{
    if (!mLogical) {
        // Some platforms cannot tell where the pointer is and answer a point on no screen
        // (even INT_MAX): that pointer cannot be walked, nor added to.
        const QPoint now = QCursor::pos();
        if (QGuiApplication::screenAt(now)) {
            const QPoint target = now + step;
            QCursor::setPos(target);
            // The system sends the move to the window under the pointer.
            if (QCursor::pos() == target)
                return;
        }
        // The platform keeps the pointer where it is: from here on the keys move a pointer of
        // the program's own over the picture, starting where the real one was last seen.
        const QPoint seen = mC.mPicture.mapFromGlobal(QCursor::pos());
        mLogical = mC.mPicture.rect().contains(seen) ? seen : mC.mPicture.rect().center();
    } else {
        mLogical = *mLogical + step;
    }
    mC.mPicture.setLogicalPointer(mLogical);
    mS.mouse.mPicture_MouseMove(0, 0, float(mLogical->x() * kTwipsPerPixel), float(mLogical->y() * kTwipsPerPixel));
}

QPoint KeyboardControl::pointerInPicture() const
{
    return mLogical ? *mLogical : mC.mPicture.mapFromGlobal(QCursor::pos());
}

bool KeyboardControl::pointerOverPictureControls() const
{
    if (mLogical)
        return true;
    const QWidget *under = QApplication::widgetAt(QCursor::pos());
    return under == &mC.mPicture || under == &mC.mZoomWindow;
}

void KeyboardControl::pressAtPointer()
{
    // Over the floating magnifier too, the press lands on the picture point under the pointer,
    // never on the enlarged one. A press only: no release and no move follow.
    if (!pointerOverPictureControls())
        return;
    const QPoint at = pointerInPicture();
    mS.mouse.mPicture_MouseDown(1, 0, float(at.x() * kTwipsPerPixel), float(at.y() * kTwipsPerPixel));
}

void KeyboardControl::floatOrDockMagnifier()
{
    // Centred on the pointer, in the coordinates of the control under it.
    QPoint local;
    if (mLogical) {
        local = *mLogical;
    } else {
        const QWidget *under = QApplication::widgetAt(QCursor::pos());
        local = (under ? under : static_cast<const QWidget *>(&mC.mPicture))->mapFromGlobal(QCursor::pos());
    }
    mS.magnifier.floatOrDock(local * kTwipsPerPixel);
}

void KeyboardControl::stepZoom(int step)
{
    // At either end of the range the key does nothing.
    const int index = mC.mZoomBox.currentIndex() + step;
    if (index >= 0 && index < mC.mZoomBox.count())
        mC.mZoomBox.setCurrentIndex(index);
}

} // namespace chartrek
