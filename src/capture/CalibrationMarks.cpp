#include "capture/CalibrationMarks.h"

#include "calibration/CalibrationGrid.h"
#include "core/NumberText.h"
#include "picture/ImageControl.h"

namespace chartrek {

namespace {
// About one grid line to this many pixels of the view.
constexpr int kGridSpacing = 90;
} // namespace

CalibrationMarks::CalibrationMarks(ImageControl &picture, const Calibration &calibration, const SharedState &state,
                                   QObject *parent)
    : QObject(parent), mPicture(picture), mCalibration(calibration), mState(state)
{
    setObjectName(QStringLiteral("calibrationMarks"));
}

void CalibrationMarks::setGridShown(bool shown)
{
    mGridShown = shown;
    refresh();
}

void CalibrationMarks::refresh()
{
    mPicture.setViewMarks(marks());
}

QList<ViewMark> CalibrationMarks::marks() const
{
    QList<ViewMark> marks;
    if (!mPicture.hasBitmap())
        return marks;
    if (mGridShown)
        addGrid(marks);
    if (!mState.mShowMarkers)
        return marks;
    const CalibrationRecord &r = mCalibration.record();
    const double pix[4] = {mState.mX1Pix, mState.mX2Pix, mState.mY1Pix, mState.mY2Pix};
    static const char *const names[4] = {"X1", "X2", "Y1", "Y2"};
    for (Ref ref : {RefX1, RefX2, RefY1, RefY2}) {
        // A reference waiting to be captured again still holds its place.
        const bool set = r.backColor[ref] == ColorSet
            || (r.backColor[ref] == ColorWaiting && mCalibration.colorByCaption(ref) == ColorSet);
        if (!set)
            continue;
        const bool xRef = ref == RefX1 || ref == RefX2;
        const QPointF at = xRef ? QPointF(-pix[ref], -mState.mY1Pix) : QPointF(-mState.mX1Pix, -pix[ref]);
        marks.append({ViewMark::Cross, at, QLatin1String(names[ref]), !xRef});
    }
    return marks;
}

void CalibrationMarks::addGrid(QList<ViewMark> &marks) const
{
    const double width = mPicture.bitmapWidth(), height = mPicture.bitmapHeight();
    const auto maps = axisMaps(mCalibration, width, height);
    const QRectF shown = mPicture.displayRect();
    if (!maps || shown.isEmpty())
        return;
    // The part of the picture that is seen, as picture coordinates (negated distances).
    const QRectF seen = QRectF(QRectF(mPicture.viewport()).topLeft() * kTwipsPerPixel,
                               QRectF(mPicture.viewport()).size() * kTwipsPerPixel)
                            .intersected(shown);
    if (seen.isEmpty())
        return;
    const double sx = width / shown.width(), sy = height / shown.height();
    const double x0 = -(seen.left() - shown.left()) * sx, x1 = -(seen.right() - shown.left()) * sx;
    const double y0 = -(seen.top() - shown.top()) * sy, y1 = -(seen.bottom() - shown.top()) * sy;
    const int across = std::max(2, int(seen.width() / kTwipsPerPixel) / kGridSpacing);
    const int down = std::max(2, int(seen.height() / kTwipsPerPixel) / kGridSpacing);
    for (const GridLine &line : gridLines(maps->first, x0, x1, across))
        marks.append({ViewMark::VerticalLine, QPointF(-line.position, 0), generalNumberText(line.value), false});
    for (const GridLine &line : gridLines(maps->second, y0, y1, down))
        marks.append({ViewMark::HorizontalLine, QPointF(0, -line.position), generalNumberText(line.value), false});
}

} // namespace chartrek
