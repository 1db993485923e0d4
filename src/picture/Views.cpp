#include "picture/Views.h"

#include "core/TwipsGeometry.h"
#include "picture/ImageControl.h"

#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>

namespace chartrek {

namespace {
// Gaps of the layout, in twips.
constexpr int kColumnGap = 100;    // between the picture and the right column
constexpr int kRightMargin = 200;  // right of the right column
constexpr int kBottomGap = 50;     // above the bars at the bottom
constexpr int kDockGap = 50;       // between the zoom box and the docked magnifier
// 25 % to 1600 %; each a fraction of few binary digits, so that sizes and places come out exact.
constexpr std::array<double, 12> kZoomSteps{0.25, 0.5, 0.75, 1, 1.5, 2, 3, 4, 6, 8, 12, 16};
} // namespace

void Views::leaveNormalView()
{
    mZoomAllowed = false;
    // The zoom tool works on the 1:1 view only; it must not outlive it.
    if (mState.mToolMode == SharedState::ZoomTool)
        mToolMode.SetPointerTool();
}

void Views::SetNormalPictureView()
{
    ImageControl &picture = *mControls.mPicture;
    picture.setRepaintEnabled(false);
    const QRectF source = picture.sourceRect();
    picture.setDisplayRect(float(source.left()), float(source.top()), float(source.width()), float(source.height()));
    picture.setDisplayClipRect(float(source.left()), float(source.top()), float(source.width()),
                               float(source.height()));
    mState.mViewScale = 1.0;
    mZoomAllowed = true;
    picture.setPaintSizeMode(ImageControl::PaintNormal);
    picture.setRepaintEnabled(true);
    picture.update();
    emit changed();
}

void Views::FitPictureToWindow(ImageControl &control)
{
    const bool fit = control.hasBitmap() && mState.mFitToWindow;
    if (fit) {
        control.setRepaintEnabled(false);
        control.setPaintSizeMode(ImageControl::PaintFit);
        control.setRepaintEnabled(true);
    }

    const QRect place = twipsGeometry(&control);
    // The right column's left edge: the zoom box's, which stays there also while the magnifier
    // floats over the picture.
    const int width = twipsGeometry(mControls.mZoomBox).left() - kColumnGap;
    const int height = twipsSize(mControls.client).height() - place.top() - twipsGeometry(mControls.mToolBar).height()
        - twipsGeometry(mControls.mStatusBar).height() - kBottomGap;
    setTwipsGeometry(&control, place.left(), place.top(), std::max(width, 0), std::max(height, 0));

    // The scale is taken from the size the control has now, so that positions under the
    // pointer are right straight after a resize.
    if (fit && control.innerWidth() > 0 && control.innerHeight() > 0) {
        const double rw = double(control.bitmapWidth()) / double(control.innerWidth());
        const double rh = double(control.bitmapHeight()) / double(control.innerHeight());
        mState.mViewScale = rw > rh ? rw : rh;
    }
}

void Views::Form_Resize()
{
    QWidget *client = mControls.client;
    if (client->window()->isMinimized())
        return;
    const QSize inner = twipsSize(client);
    const QRect zoom = twipsGeometry(mControls.mZoomWindow);
    // Too small for the right column: leave every control where it is.
    if (3 * zoom.width() > inner.width() || 3 * zoom.height() > inner.height())
        return;

    const int x = inner.width() - zoom.width() - kRightMargin;
    const QRect box = twipsGeometry(mControls.mZoomBox);
    // A magnifier floating over the picture goes back under the box with the column.
    const bool floating = zoom.left() != box.left();
    const int zoomTop = floating ? box.top() + box.height() + kDockGap : zoom.top();
    if (floating)
        mControls.mZoomWindow->setMousePointer(ImageControl::PointerDefault);
    for (QWidget *column : {mControls.mZoomBox, mControls.grdDataPoints}) {
        const QRect r = twipsGeometry(column);
        setTwipsGeometry(column, x, r.top(), r.width(), r.height());
    }
    setTwipsGeometry(mControls.mZoomWindow, x, zoomTop, zoom.width(), zoom.height());
    const QRect grid = twipsGeometry(mControls.grdDataPoints);
    const int gridHeight = inner.height() - grid.top() - twipsGeometry(mControls.mToolBar).height()
        - twipsGeometry(mControls.mStatusBar).height() - kBottomGap;
    setTwipsGeometry(mControls.grdDataPoints, grid.left(), grid.top(), grid.width(), std::max(gridHeight, 0));

    FitPictureToWindow(*mControls.mPicture);
}

void Views::mnuViewNormal_Click()
{
    SetNormalPictureView();
    mState.mFitToWindow = false;
    mNormalChecked = true;
    mFitChecked = false;
    emit changed();
}

void Views::mnuViewWindow_Click()
{
    if (!mControls.mPicture->hasBitmap()) {
        emit changed(); // puts back a check mark the menu may have toggled by itself
        return;
    }
    mState.mFitToWindow = true;
    leaveNormalView();
    FitPictureToWindow(*mControls.mPicture);
    mNormalChecked = false;
    mFitChecked = true;
    emit changed();
}

void Views::mnuViewRepaint_Click()
{
    mControls.mPicture->forceRepaint();
}

void Views::zoomMade()
{
    leaveNormalView();
    mNormalChecked = false;
    mFitChecked = false;
    emit changed();
}

} // namespace chartrek

namespace chartrek {

std::span<const double> Views::zoomSteps()
{
    return kZoomSteps;
}

double Views::zoomStep(double zoom, int steps)
{
    // From a zoom between two steps the first step up is the next larger one.
    constexpr double close = 1e-9;
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom * (1 + close));
        zoom = next == kZoomSteps.end() ? std::max(zoom, kZoomSteps.back()) : *next;
    }
    for (; steps < 0; ++steps) {
        const auto next = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom * (1 - close));
        zoom = next == kZoomSteps.begin() ? std::min(zoom, kZoomSteps.front()) : *(next - 1);
    }
    return zoom;
}

double Views::zoom() const
{
    const ImageControl &picture = *mControls.mPicture;
    if (!picture.hasBitmap() || picture.bitmapWidth() <= 0)
        return 1;
    return picture.displayWidth() / picture.bitmapWidth();
}

void Views::zoomBy(int steps, float x, float y)
{
    ImageControl &picture = *mControls.mPicture;
    if (!picture.hasBitmap() || steps == 0)
        return;
    const double now = zoom(), next = zoomStep(now, steps);
    if (next == now)
        return;
    const QRectF shown = picture.displayRect();
    const double width = picture.bitmapWidth() * next, height = picture.bitmapHeight() * next;
    // The picture point under (x, y) stays there; the picture's edge on a whole pixel, so that its
    // pixels meet the screen's.
    const auto edge = [](double at, double from, double ratio) {
        return std::round((at - (at - from) * ratio) / kTwipsPerPixel) * kTwipsPerPixel;
    };
    const QRectF moved(edge(x, shown.left(), width / shown.width()), edge(y, shown.top(), height / shown.height()),
                       width, height);
    mState.mFitToWindow = false;
    mState.mViewScale = 1 / next;
    picture.moveView(picture.keptInView(moved));
    mNormalChecked = next == 1;
    mFitChecked = false;
    if (mNormalChecked)
        mZoomAllowed = true;
    else
        leaveNormalView();
    emit changed();
}

void Views::zoomAboutMiddle(int steps)
{
    // The middle of the part of the picture that is seen.
    const ImageControl &picture = *mControls.mPicture;
    const QRectF shown = picture.displayRect();
    const QRectF seen = QRectF(picture.viewport()).intersected(
        QRectF(shown.topLeft() / kTwipsPerPixel, shown.size() / kTwipsPerPixel));
    const QPointF middle = seen.center() * kTwipsPerPixel;
    zoomBy(steps, float(middle.x()), float(middle.y()));
}

void Views::mnuViewZoomIn_Click()
{
    zoomAboutMiddle(1);
}

void Views::mnuViewZoomOut_Click()
{
    zoomAboutMiddle(-1);
}

} // namespace chartrek
