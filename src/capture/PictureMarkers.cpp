#include "capture/PictureMarkers.h"

#include "capture/OverlayDrawing.h"
#include "picture/ImageControl.h"

namespace chartrek {

PictureMarkers::PictureMarkers(ImageControl &picture, ImageControl &clean, const PointTables &tables,
                               const SharedState &state, QObject *parent)
    : QObject(parent), mPicture(picture), mClean(clean), mTables(tables), mState(state)
{
    setObjectName(QStringLiteral("pictureMarkers"));
}

bool PictureMarkers::trying() const
{
    // A new picture ends a trial made on the one before.
    return !mTrial.isNull() && mTrialOf == mClean.image().cacheKey();
}

const QImage &PictureMarkers::base() const
{
    return trying() ? mTrial : mClean.image();
}

void PictureMarkers::setTrial(QImage turned)
{
    mTrial = std::move(turned);
    mTrialOf = mClean.image().cacheKey();
    redraw();
    emit trialChanged();
}

void PictureMarkers::dropTrial()
{
    mTrial = QImage();
    redraw();
    emit trialChanged();
}

void PictureMarkers::redraw()
{
    if (mPicture.hasBitmap())
        ShowPictureWithMarkers(mPicture, base(), mTables, mState.mShowMarkers);
}

} // namespace chartrek
