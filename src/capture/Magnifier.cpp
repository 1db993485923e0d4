#include "capture/Magnifier.h"

#include "capture/PictureMouse.h"
#include "core/TwipsGeometry.h"
#include "picture/ImageControl.h"

#include <QComboBox>

#include <algorithm>
#include <cmath>

namespace chartrek {

namespace {
// Docked, the magnifier's top lies this far below the zoom box, twips.
constexpr int kDockGap = 50;
} // namespace

Magnifier::Magnifier(const Controls &controls, SharedState &state, PictureMouse &mouse, QObject *parent)
    : QObject(parent), mC(controls), mState(state), mMouse(mouse)
{
    setObjectName(QStringLiteral("magnifier"));
}

bool Magnifier::docked() const
{
    return twipsGeometry(&mC.mZoomWindow).left() == twipsGeometry(&mC.mZoomBox).left();
}

int Magnifier::zoomFactor() const
{
    // The digits the text starts with; the factor is read at every update, so a new choice in
    // the box shows at the next move.
    const QString text = mC.mZoomBox.currentText();
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits).isDigit())
        ++digits;
    return text.left(digits).toInt();
}

void Magnifier::UpdateMagnifier(float x, float y)
{
    ImageControl &zoom = mC.mZoomWindow;
    zoom.setRepaintEnabled(false);
    const float z = float(zoomFactor());
    const QSize area = twipsGeometry(&zoom).size();
    const float Wz = float(area.width()), Hz = float(area.height());
    const float W = mC.mPicture.bitmapWidth(), H = mC.mPicture.bitmapHeight();
    const float g = float(mState.mViewScale);
    zoom.setDisplayRect(z * x / g + Wz / 2, z * y / g + Hz / 2, z * W / g, z * H / g);
    zoom.setRepaintEnabled(true);
}

bool Magnifier::toPicture(float &X, float &Y) const
{
    if (docked())
        return false;
    // Where the controls are on the screen, in whole pixels: their twips places may lie between
    // pixels, and the press must reach the picture point that is under the pointer.
    const QPoint zoom = mC.mZoomWindow.pos(), picture = mC.mPicture.pos();
    X += float((std::max(zoom.x(), 0) - picture.x()) * kTwipsPerPixel);
    Y += float((std::max(zoom.y(), 0) - picture.y()) * kTwipsPerPixel);
    return true;
}

void Magnifier::mZoomWindow_MouseDown(int button, int shift, float X, float Y)
{
    if (toPicture(X, Y))
        mMouse.mPicture_MouseDown(button, shift, X, Y);
}

void Magnifier::mZoomWindow_MouseMove(int button, int shift, float X, float Y)
{
    if (toPicture(X, Y))
        mMouse.mPicture_MouseMove(button, shift, X, Y);
}

void Magnifier::floatOrDock(QPoint at)
{
    ImageControl &zoom = mC.mZoomWindow;
    const QRect place = twipsGeometry(&zoom);
    if (!docked()) {
        const QRect box = twipsGeometry(&mC.mZoomBox);
        setTwipsGeometry(&zoom, box.left(), box.top() + box.height() + kDockGap, place.width(), place.height());
        zoom.setMousePointer(ImageControl::PointerDefault);
        return;
    }
    const int halfW = int(std::lround(place.width() / 2.0)), halfH = int(std::lround(place.height() / 2.0));
    const QRect picture = twipsGeometry(&mC.mPicture);
    const int x = std::max(at.x(), halfW), y = std::max(at.y(), halfH);
    setTwipsGeometry(&zoom, picture.left() + x - halfW, picture.top() + y - halfH, place.width(), place.height());
    zoom.raise();
    zoom.setMousePointer(ImageControl::PointerCustom);
}

} // namespace chartrek
