#include "capture/PictureMouse.h"

#include "picture/ColorProbe.h"
#include "capture/OverlayDrawing.h"
#include "capture/PictureMarkers.h"
#include "picture/ImageControl.h"
#include "core/NumberText.h"

#include <QApplication>
#include <QWidget>

#include <cmath>

namespace chartrek {

namespace {
constexpr int kLeftButton = 1;
constexpr int kShiftKey = 1;
constexpr float kSquare = 100; // half the side of the square around a captured point, twips
} // namespace

PictureMouse::PictureMouse(const Services &services, QObject *parent)
    : QObject(parent), mS(services)
{
    setObjectName(QStringLiteral("pictureMouse"));
}

bool PictureMouse::IsActiveOwnWindow()
{
    const QWidget *active = QApplication::activeWindow();
    if (!active)
        return false;
    // Known by name, not by caption: the captions are translated.
    const QString name = active->objectName();
    return name == QLatin1String("frmMain") || name == QLatin1String("frmRotate")
        || name == QLatin1String("frmAutomatic");
}

void PictureMouse::mPicture_MouseDown(int button, int shift, float X, float Y)
{
    SharedState &s = mS.state;
    ImageControl &pic = mS.picture;
    if (!pic.hasBitmap())
        return;
    const PictureCoords xy = ControlToPicture(X, Y, pic.displayLeft(), pic.displayTop(), s.mViewScale);
    const PicturePoint P = toPicturePoint(xy);
    const ControlPoint C{roundToInt32(X), roundToInt32(Y)};

    if (s.mToolMode == SharedState::AnglePickTool)
        emit anglePickPress(-xy.x, -xy.y);
    if (s.mToolMode == SharedState::AutoLineTool)
        emit autoLinePress(P, C);

    // The hand-offs above may have returned to the pointer tool.
    if (s.mToolMode != SharedState::PointerTool) {
        if (s.mToolMode == SharedState::ZoomTool && button == kLeftButton) {
            s.mZoomStartX = C.x;
            s.mZoomStartY = C.y;
            return;
        }
        if (s.mToolMode == SharedState::PointTool) {
            if (mS.calibration.IsCalibrated())
                captureDataPoint(P, X, Y);
            else
                AskForOrigin(mS.messages, mS.toolMode);
        } else if (s.mToolMode == SharedState::LineTool) {
            s.mLineStartX = s.mLineEndX = C.x;
            s.mLineStartY = s.mLineEndY = C.y;
            s.mLineFirstMove = true;
            s.mLineDragging = true;
        }
        pic.setRubberBandVisible(false);
        return;
    }

    if (s.mCalibrating) {
        const int points = mS.tables.pointCount();
        mS.capture.captureClick(xy.x, xy.y);
        if (mS.tables.pointCount() != points)
            mS.markers.redraw(); // a No to the recalculation took the points away
    }
    if (button == kLeftButton && shift == kShiftKey) {
        emit deletePointRequested(P);
        pic.repaintRect(X - kSquare, Y - kSquare, X + kSquare, Y + kSquare, false);
    }
}

void PictureMouse::captureDataPoint(const PicturePoint &P, float X, float Y)
{
    mS.tables.AddPointToTables(P);
    if (!mS.state.mShowMarkers)
        return;
    ImageControl &pic = mS.picture;
    const ControlPoint A{roundToInt32(X - kSquare), roundToInt32(Y - kSquare)};
    const ControlPoint B{roundToInt32(X + kSquare), roundToInt32(Y + kSquare)};
    const qint32 colour = ColorProbe(mS.messages).GetColor(-P.x, P.y, pic);
    const Curves &curves = mS.tables.curves();
    DrawPointMarker(-P.x, P.y, pic, quint32(colour), curves.color(curves.current()));
    pic.repaintRect(X - kSquare, Y - kSquare, X + kSquare, Y + kSquare, false);
    DrawClickSquare(A, B, pic);
}

void PictureMouse::invertLine(qint32 toX, qint32 toY)
{
    const SharedState &s = mS.state;
    DrawInvertedLine({s.mLineStartX, s.mLineStartY}, {toX, toY}, mS.picture);
}

void PictureMouse::mPicture_MouseMove(int button, int shift, float X, float Y)
{
    Q_UNUSED(shift);
    SharedState &s = mS.state;
    ImageControl &pic = mS.picture;
    if (IsActiveOwnWindow())
        pic.setFocus(Qt::MouseFocusReason);

    if (button == kLeftButton && s.mToolMode == SharedState::ZoomTool) {
        const float left = std::min<float>(s.mZoomStartX, X);
        const float top = std::min<float>(s.mZoomStartY, Y);
        pic.setRubberBandRect(left, top, std::abs(s.mZoomStartX - X), std::abs(s.mZoomStartY - Y));
        pic.setRubberBandVisible(true);
    }

    if (s.mToolMode == SharedState::LineTool && s.mLineDragging) {
        const ControlPoint C{roundToInt32(X), roundToInt32(Y)};
        if (s.mLineFirstMove)
            s.mLineFirstMove = false;
        else
            invertLine(s.mLineEndX, s.mLineEndY); // removes the line drawn last
        invertLine(C.x, C.y);
        s.mLineEndX = C.x;
        s.mLineEndY = C.y;
    }

    const PictureCoords xy = ControlToPicture(X, Y, pic.displayLeft(), pic.displayTop(), s.mViewScale);
    if (s.mToolMode == SharedState::AutoLineTool && s.mAutoLineStep < 2)
        emit autoLineColorProbe(roundToInt32(-xy.x), roundToInt32(xy.y));
    if (!pic.hasBitmap())
        return;
    emit magnifierUpdate(xy.x, xy.y);
    // The pick's prompt stays while the pick runs; a pick left for another tool gives way.
    const bool picking = s.mRotatePicking && s.mToolMode == SharedState::AnglePickTool;
    if (mS.calibration.IsCalibrated() && !picking)
        emit statusText(valueReadout(xy));
}

void PictureMouse::viewMoved()
{
    SharedState &s = mS.state;
    if (s.mLineDragging)
        s.mLineFirstMove = true; // nothing left to take back at the next move
}

QString PictureMouse::valueReadout(const PictureCoords &xy) const
{
    ValuePoint v;
    mS.calibration.PictureToValue(toPicturePoint(xy), v);
    const CalibrationRecord &rec = mS.calibration.record();
    return QStringLiteral(" X: ") + FormatAxisValue(v.x, rec.xLog) + QStringLiteral(" - Y: ")
        + FormatAxisValue(v.y, rec.yLog);
}

void PictureMouse::mPicture_MouseUp(int button, int shift, float X, float Y)
{
    Q_UNUSED(shift);
    SharedState &s = mS.state;
    if (s.mToolMode == SharedState::LineTool && s.mLineDragging)
        s.mLineDragging = false; // the last line stays on the screen until a repaint
    if (button == kLeftButton && s.mToolMode == SharedState::ZoomTool)
        applyZoom(X, Y);
}

void PictureMouse::applyZoom(float X, float Y)
{
    SharedState &s = mS.state;
    ImageControl &pic = mS.picture;
    // The start was stored rounded; the end is rounded too, so that a click on one spot
    // between whole twips (a screen of pixel ratio 2) is no zoom by a ten-thousandth.
    const ControlPoint end{roundToInt32(X), roundToInt32(Y)};
    // The zoom rectangle is worked out from the picture shown 1:1 at its display origin.
    const bool normalView =
        !s.mFitToWindow && s.mViewScale == 1.0 && pic.paintSizeMode() == ImageControl::PaintNormal;
    if (end.x == s.mZoomStartX || end.y == s.mZoomStartY || !pic.hasBitmap() || !normalView) {
        pic.setRubberBandVisible(false);
        return;
    }
    const double l = std::min(s.mZoomStartX, end.x), r = std::max(s.mZoomStartX, end.x);
    const double t = std::min(s.mZoomStartY, end.y), b = std::max(s.mZoomStartY, end.y);
    const double W = pic.bitmapWidth(), H = pic.bitmapHeight();
    const double L0 = pic.displayLeft(), T0 = pic.displayTop();
    const double fx = (r - l) / W, fy = (b - t) / H;
    const double f = fx > fy ? fx : fy;

    pic.setRepaintEnabled(false);
    const float left = float((L0 - l) / f), top = float((T0 - t) / f), width = float(W / f), height = float(H / f);
    pic.setDisplayRect(left, top, width, height);
    pic.setDisplayClipRect(left, top, width, height);
    pic.setRubberBandVisible(false);
    pic.setRepaintEnabled(true);
    s.mViewScale = f;
    emit zoomed();
    mS.toolMode.SetPointerTool();
}

} // namespace chartrek
