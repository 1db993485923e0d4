#include "autoline/frmAutoLineError.h"

#include "capture/KeyboardControl.h"
#include "core/Twips.h"
#include "picture/ColorProbe.h"
#include "picture/ImageControl.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace chartrek {

namespace {

constexpr int kPicturePixels = 420;
constexpr int kSideWidth = 240;
constexpr qint32 kSquareHalf = 300; // twips from the centre to each side of the centre square
constexpr qint32 kCrossArm = 150;

} // namespace

frmAutoLineError::frmAutoLineError(const ImageControl &picture, SharedState &state, Messages &messages, QWidget *parent)
    : QDialog(parent), mPicture(picture), mState(state), mMessages(messages)
{
    setObjectName(QStringLiteral("frmAutoLineError"));
    setWindowTitle(tr("Get the line"));

    mPic = new ImageControl(this);
    mPic->setObjectName(QStringLiteral("mPic"));
    mPic->setFixedSize(kPicturePixels, kPicturePixels);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setPlainText(instructions());

    mColorWindow = new QFrame(this);
    mColorWindow->setObjectName(QStringLiteral("mColorWindow"));
    mColorWindow->setFrameShape(QFrame::Box);
    mColorWindow->setAutoFillBackground(true);
    mColorWindow->setFixedHeight(48);

    Command1 = new QPushButton(tr("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    Command2 = new QPushButton(tr("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    // Enter picks a point here; it must never press a button.
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);

    auto *side = new QVBoxLayout;
    side->addWidget(Text1, 1);
    side->addWidget(mColorWindow);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    side->addLayout(buttons);
    auto *sideWidget = new QWidget(this);
    sideWidget->setFixedWidth(kSideWidth);
    sideWidget->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);
    auto *all = new QHBoxLayout(this);
    all->addWidget(mPic);
    all->addWidget(sideWidget);
    // The centre square and the display rectangle are laid out for one size of mPic.
    all->setSizeConstraint(QLayout::SetFixedSize);

    connect(mPic, &ImageControl::repainted, this, &frmAutoLineError::mPic_Paint);
    connect(mPic, &ImageControl::mouseMove, this, &frmAutoLineError::mPic_MouseMove);
    connect(mPic, &ImageControl::mouseDown, this, &frmAutoLineError::mPic_MouseDown);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    // The dialog sees every key before the control it is meant for.
    qApp->installEventFilter(this);
}

QString frmAutoLineError::instructions()
{
    // Paragraphs apart by an empty line; the text box wraps the lines.
    return tr("I was not able to find the next point. It should be somewhere near the rectangle in the middle of the "
              "view. Now click on the line to select the next point.\r\n\r\n"
              "You may use the numeric keypad to select the point. Use the Enter key to set the point.\r\n\r\n"
              "In the window below, you can see the color of the point under the mouse pointer.\r\n\r\n"
              "After selecting a point, click OK to accept your choice.\r\n");
}

void frmAutoLineError::showEvent(QShowEvent *event)
{
    // Here mPic has its final size, which the display rectangle and the centre square need.
    if (!mLoaded) {
        mLoaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void frmAutoLineError::Form_Load()
{
    const double s = mState.mViewScale;
    const double w = double(mPic->width()) * kTwipsPerPixel;
    const double h = double(mPic->height()) * kTwipsPerPixel;
    mPic->setRepaintEnabled(false);
    mPic->assignFrom(mPicture);
    mPic->setDisplayRect(float(w / 2 + mState.mRecoveryCenterX / s), float(h / 2 + mState.mRecoveryCenterY / s),
                         float(mPicture.bitmapWidth() / s), float(mPicture.bitmapHeight() / s));
    mPic->setRepaintEnabled(true);
    mLastPick.reset();
}

void frmAutoLineError::mPic_Paint()
{
    const double w = double(mPic->width()) * kTwipsPerPixel;
    const double h = double(mPic->height()) * kTwipsPerPixel;
    DrawClickSquare({roundToInt32(w / 2 - kSquareHalf), roundToInt32(h / 2 - kSquareHalf)},
                    {roundToInt32(w / 2 + kSquareHalf), roundToInt32(h / 2 + kSquareHalf)}, *mPic);
    // The repaint took the cross away as well: a later pick has none to remove.
    mLastPick.reset();
}

PictureCoords frmAutoLineError::toPicture(float x, float y) const
{
    return ControlToPicture(x, y, mPic->displayLeft(), mPic->displayTop(), mState.mViewScale);
}

void frmAutoLineError::mPic_MouseMove(int, int, float x, float y)
{
    mPic->setFocus();
    const PictureCoords p = toPicture(x, y);
    const qint32 color = ColorProbe(mMessages).GetColor(roundToInt32(-p.x), roundToInt32(p.y), *mPic);
    if (color > -1) {
        QPalette palette = mColorWindow->palette();
        palette.setColor(QPalette::Window, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
        mColorWindow->setPalette(palette);
    }
}

void frmAutoLineError::mPic_MouseDown(int, int, float x, float y)
{
    const PictureCoords p = toPicture(x, y);
    if (-double(p.x) < mState.mRecoveryRefX) {
        mMessages.ShowError(
            tr("The x value must lie right of the middle of the rectangle. Please click on another point."));
        return;
    }
    mState.mRecoveryPickX = roundToInt32(p.x);
    mState.mRecoveryPickY = roundToInt32(p.y);
    if (mLastPick)
        DrawCross(*mLastPick); // inverting: drawn again, it is gone
    mLastPick = ControlPoint{roundToInt32(x), roundToInt32(y)};
    DrawCross(*mLastPick);
    Command1->setEnabled(true);
}

void frmAutoLineError::DrawCross(ControlPoint at)
{
    DrawInvertedLine({at.x - kCrossArm, at.y}, {at.x + kCrossArm, at.y}, *mPic);
    DrawInvertedLine({at.x, at.y - kCrossArm}, {at.x, at.y + kCrossArm}, *mPic);
}

bool frmAutoLineError::eventFilter(QObject *watched, QEvent *event)
{
    // A key the dialog acts on is taken at its first receiver, so none is acted on twice.
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && Form_KeyDown(*static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmAutoLineError::Form_KeyDown(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers held = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int step = held == Qt::AltModifier ? 10 : 1;
    if (const auto direction = keypadStep(key)) {
        movePointer(*direction * step);
        return true;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        const QPoint at = mLogical ? *mLogical : mPic->mapFromGlobal(QCursor::pos());
        mPic_MouseDown(1, 0, float(at.x() * kTwipsPerPixel), float(at.y() * kTwipsPerPixel));
        return true;
    }
    return false;
}

void frmAutoLineError::movePointer(QPoint step)
{
    if (walkPointer(mLogical, step, *mPic))
        return;
    mPic->setLogicalPointer(mLogical);
    mPic_MouseMove(0, 0, float(mLogical->x() * kTwipsPerPixel), float(mLogical->y() * kTwipsPerPixel));
}

void frmAutoLineError::done(int result)
{
    // OK alone hands the pick over; Cancel, Escape and the close button all stop the trace.
    mState.mRecoveryCancelled = result != QDialog::Accepted;
    QDialog::done(result);
}

} // namespace chartrek
