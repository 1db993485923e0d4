#include "autoline/LostLineRecovery.h"

#include "autoline/frmAutoLineError.h"
#include "picture/ImageControl.h"

#include <cmath>

namespace chartrek {

namespace {

// The dialog shows twice the main view's magnification; the scale comes back on every way out.
class HalvedScale {
public:
    explicit HalvedScale(double &scale) : mScale(scale) { mScale /= 2; }
    ~HalvedScale() { mScale *= 2; }
    HalvedScale(const HalvedScale &) = delete;
    HalvedScale &operator=(const HalvedScale &) = delete;

private:
    double &mScale;
};

} // namespace

LostLineRecovery::LostLineRecovery(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("lostLineRecovery"));
}

bool LostLineRecovery::GetPointFromUser(PixProbePoint &point)
{
    if (mAnswerer)
        return mAnswerer(point);

    SharedState &state = mS.state;
    // Without a picture or a usable scale there is nothing to show and no pick to convert:
    // the trace cannot be helped, so it stops.
    if (!mC.picture.hasBitmap() || !(state.mViewScale > 0) || !std::isfinite(state.mViewScale)) {
        mS.messages.ReportScanError(QStringLiteral("GetPointFromUser"));
        return false;
    }

    state.mRecoveryCenterX = -point.x;
    state.mRecoveryCenterY = point.y;
    {
        HalvedScale halved(state.mViewScale);
        frmAutoLineError dialog(mC.picture, state, mS.messages, mC.picture.window());
        dialog.exec();
    }
    if (state.mRecoveryCancelled)
        return false;
    point.x = -state.mRecoveryPickX;
    point.y = state.mRecoveryPickY;
    return true;
}

} // namespace chartrek
