#include "picture/PictureScroller.h"

#include "picture/ImageControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace chartrek {

namespace {

constexpr double kTwips = kTwipsPerPixel;
constexpr int kLinePixels = 20;   // one step of an arrow or a line of the wheel
constexpr int kWheelStep = 120;   // a notch of the wheel, in eighths of a degree
// A picture that reaches past the control by less than this (pixels) needs no bar.
constexpr double kSlack = 0.5;

bool reaches(double from, double to, double extent)
{
    return from < -kSlack || to > extent + kSlack;
}

} // namespace

PictureScroller::PictureScroller(ImageControl &control)
    : QObject(&control), mControl(control),
      mBars{new QScrollBar(Qt::Horizontal, &control), new QScrollBar(Qt::Vertical, &control)}
{
    for (int axis = 0; axis < 2; ++axis) {
        QScrollBar *bar = mBars[axis];
        bar->setObjectName(axis == 0 ? QStringLiteral("horizontalScrollBar") : QStringLiteral("verticalScrollBar"));
        bar->setSingleStep(kLinePixels);
        bar->hide();
        bar->setCursor(Qt::ArrowCursor);
        connect(bar, &QScrollBar::valueChanged, this, &PictureScroller::barMoved);
    }
}

PictureScroller::~PictureScroller()
{
    mControl.setContentsMargins(0, 0, 0, 0);
}

int PictureScroller::barExtent() const
{
    return mControl.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, mBars[1]);
}

QSizeF PictureScroller::roomFor(const QSizeF &shown) const
{
    const QSize full = mControl.size();
    const int extent = barExtent();
    bool across = shown.width() > full.width() + kSlack;
    const bool down = shown.height() > full.height() + kSlack || (across && shown.height() > full.height() - extent + kSlack);
    across = across || (down && shown.width() > full.width() - extent + kSlack);
    return QSizeF(full.width() - (down ? extent : 0), full.height() - (across ? extent : 0));
}

void PictureScroller::update()
{
    if (mUpdating)
        return;
    mUpdating = true;
    const QRectF d = mControl.displayRect();
    const QRectF shown(d.left() / kTwips, d.top() / kTwips, d.width() / kTwips, d.height() / kTwips);
    const QSize full = mControl.size();
    const int extent = barExtent();
    bool across = false, down = false;
    if (mControl.hasBitmap()) {
        across = reaches(shown.left(), shown.right(), full.width());
        down = reaches(shown.top(), shown.bottom(), full.height());
        // A bar takes room from the other direction.
        down = down || (across && reaches(shown.top(), shown.bottom(), full.height() - extent));
        across = across || (down && reaches(shown.left(), shown.right(), full.width() - extent));
    }
    const QSize view(full.width() - (down ? extent : 0), full.height() - (across ? extent : 0));
    const QMargins margins(0, 0, down ? extent : 0, across ? extent : 0);
    if (mControl.contentsMargins() != margins)
        mControl.setContentsMargins(margins);
    mBars[0]->setGeometry(0, view.height(), view.width(), extent);
    mBars[1]->setGeometry(view.width(), 0, extent, view.height());
    const double from[2] = {shown.left(), shown.top()};
    const double length[2] = {shown.width(), shown.height()};
    const int room[2] = {view.width(), view.height()};
    for (int axis = 0; axis < 2; ++axis) {
        QScrollBar *bar = mBars[axis];
        // The bar's value is how far the picture's edge lies before the viewport's; a view put
        // outside the usual range (the zoom tool may) widens the range to hold it.
        const int value = int(std::lround(-from[axis]));
        const int end = int(std::ceil(length[axis] - room[axis] - kSlack));
        bar->setRange(std::min(0, value), std::max({0, end, value}));
        bar->setPageStep(std::max(1, room[axis]));
        bar->setValue(value);
        bar->setVisible(axis == 0 ? across : down);
    }
    mUpdating = false;
}

void PictureScroller::barMoved()
{
    if (mUpdating)
        return;
    const QRectF d = mControl.displayRect();
    QRectF moved = d;
    // Only the axis of the bar that moved: the other keeps a place between whole pixels.
    if (sender() == mBars[0])
        moved.moveLeft(-mBars[0]->value() * kTwips);
    else
        moved.moveTop(-mBars[1]->value() * kTwips);
    if (moved != d)
        mControl.moveView(moved);
}

void PictureScroller::scrollBy(QPointF pixels)
{
    if (!mControl.hasBitmap() || pixels.isNull())
        return;
    const QRectF d = mControl.displayRect();
    const QRectF moved = mControl.keptInView(d.translated(-pixels.x() * kTwips, -pixels.y() * kTwips));
    if (moved != d)
        mControl.moveView(moved);
}

bool PictureScroller::wheel(QWheelEvent *event)
{
    if (!mControl.hasBitmap())
        return false;
    QPointF turn = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        mZoomWheel += turn;
        const double total = mZoomWheel.y() != 0 ? mZoomWheel.y() : mZoomWheel.x();
        const int steps = int(total / kWheelStep);
        if (steps != 0) {
            mZoomWheel = {};
            const QPointF at = event->position() * kTwips;
            emit mControl.zoomRequested(steps, float(at.x()), float(at.y()));
        }
        return true;
    }
    QPointF pixels = event->pixelDelta();
    if (pixels.isNull())
        pixels = turn * double(QApplication::wheelScrollLines() * kLinePixels) / kWheelStep;
    if (event->modifiers() & Qt::ShiftModifier)
        pixels = QPointF(pixels.y() != 0 ? pixels.y() : pixels.x(), 0);
    // Turned away from the user, the wheel shows what lies above.
    scrollBy(-pixels);
    return true;
}

bool PictureScroller::press(QMouseEvent *event)
{
    const bool drag = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && mSpaceHeld);
    if (!drag && !mDragFrom)
        return false;
    if (drag && !mDragFrom && mControl.hasBitmap()) {
        mDragFrom = event->position();
        mDragView = mControl.displayRect();
    }
    return true;
}

bool PictureScroller::move(QMouseEvent *event)
{
    if (!mDragFrom)
        return false;
    const QPointF by = (event->position() - *mDragFrom) * kTwips;
    const QRectF moved = mControl.keptInView(mDragView.translated(by));
    if (moved != mControl.displayRect())
        mControl.moveView(moved);
    return true;
}

bool PictureScroller::release(QMouseEvent *event)
{
    if (!mDragFrom)
        return false;
    if (!(event->buttons() & (Qt::MiddleButton | Qt::LeftButton)))
        mDragFrom.reset();
    return true;
}

bool PictureScroller::key(QKeyEvent *event, bool pressed)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat())
        return false;
    mSpaceHeld = pressed;
    return false; // Space keeps its other meaning (skipping a reference)
}

void PictureScroller::focusLost()
{
    mSpaceHeld = false;
}

std::optional<Qt::CursorShape> PictureScroller::cursor() const
{
    if (mDragFrom)
        return Qt::ClosedHandCursor;
    if (mSpaceHeld)
        return Qt::OpenHandCursor;
    return std::nullopt;
}

} // namespace chartrek
