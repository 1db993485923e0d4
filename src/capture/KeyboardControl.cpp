#include "capture/KeyboardControl.h"

#include "capture/Magnifier.h"
#include "capture/PictureMouse.h"
#include "core/Twips.h"
#include "picture/ImageControl.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
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

void KeyboardControl::Form_KeyDown(QKeyEvent *event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int s = held == Qt::AltModifier ? 10 : 1;
    if (event->key() != Qt::Key_Control)
        mCtrlAlone = false;
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
        // Floats or docks when released with no other key in between, not with every shortcut.
        mCtrlAlone = mCtrlAlone || !event->isAutoRepeat();
    }
}

bool KeyboardControl::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Control)
            mCtrlAlone = false;
        break;
    case QEvent::Shortcut: // the key that made it may never reach a control
    case QEvent::MouseButtonPress:
    case QEvent::Wheel: // Ctrl+wheel zooms
        mCtrlAlone = false;
        break;
    case QEvent::KeyRelease: {
        // Another key's release counts too: its press may have been taken before it came here.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Control) {
            mCtrlAlone = false;
        } else if (!key->isAutoRepeat() && mCtrlAlone) {
            mCtrlAlone = false;
            floatOrDockMagnifier();
        }
        break;
    }
    case QEvent::MouseMove:
        if (watched == &mC.mPicture && mLogical) {
            mLogical = clippedToPicture(static_cast<QMouseEvent *>(event)->position().toPoint());
            mC.mPicture.setLogicalPointer(mLogical);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

QPoint KeyboardControl::clippedToPicture(QPoint at) const
{
    const QRectF shown = mC.mPicture.displayRect();
    const QRect picture = QRectF(shown.topLeft() / kTwipsPerPixel, shown.size() / kTwipsPerPixel).toAlignedRect()
                              .intersected(mC.mPicture.viewport());
    if (picture.isEmpty())
        return at;
    return {std::clamp(at.x(), picture.left(), picture.right()), std::clamp(at.y(), picture.top(), picture.bottom())};
}

bool walkPointer(std::optional<QPoint> &logical, QPoint step, const QWidget &area)
{
    // Whether this platform lets a program move the pointer is learnt once, from the first
    // step that can tell: one that starts and ends on a screen. A step off the screen's edge
    // says nothing, since the system keeps the pointer on the screen.
    static std::optional<bool> platformMoves;
    const QRect bounds = area.rect();
    if (!logical && platformMoves.value_or(true)) {
        const QPoint now = QCursor::pos();
        if (QGuiApplication::screenAt(now)) {
            if (!QGuiApplication::screenAt(now + step))
                return true; // at the edge the pointer stays where it is
            QCursor::setPos(now + step);
            // The system sends the move to the window under the pointer.
            if (QCursor::pos() != now)
                platformMoves = true;
            if (platformMoves)
                return true;
        }
        // Not moved, or a position on no screen (even INT_MAX), which cannot be walked.
        platformMoves = false;
        const QPoint seen = area.mapFromGlobal(QCursor::pos());
        logical = bounds.contains(seen) ? seen : bounds.center();
        return false;
    }
    if (!logical)
        logical = bounds.center();
    *logical = QPoint(std::clamp(logical->x() + step.x(), bounds.left(), bounds.right()),
                      std::clamp(logical->y() + step.y(), bounds.top(), bounds.bottom()));
    return false;
}

KeyboardControl::KeyboardControl(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("keyboardControl"));
    // The logical pointer follows the mouse; Ctrl counts alone only until another key or a
    // button comes, wherever it goes (a menu shortcut's letter goes to the menu).
    qApp->installEventFilter(this);
}

void KeyboardControl::movePointer(QPoint step)
{
    if (walkPointer(mLogical, step, mC.mPicture))
        return;
    mLogical = clippedToPicture(*mLogical);
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
