#include "calibration/Calibration.h"

#include "calibration/CalibratedPoints.h"

#include "core/NumberText.h"

#include <cmath>
#include <limits>

namespace chartrek {

qint32 roundToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<qint32>::min();
    constexpr double hi = std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::nearbyint(std::clamp(value, lo, hi)));
}

PicturePoint toPicturePoint(const PictureCoords &coords)
{
    return {roundToInt32(coords.x), roundToInt32(coords.y)};
}

PictureCoords ControlToPicture(float X, float Y, float displayLeft, float displayTop, double viewScale)
{
    const double x = viewScale * double(displayLeft) + viewScale * -double(X);
    const double y = viewScale * double(displayTop) + viewScale * -double(Y);
    return {float(x), float(y)};
}

Calibration::Calibration(SharedState &state, const PictureHolder &picture, QObject *parent)
    : QObject(parent), mState(state), mPicture(picture)
{
}

bool Calibration::IsCalibrated() const
{
    if (!mPicture.hasBitmap())
        return false;
    for (quint32 color : mRecord.backColor) {
        if (color == ColorNotSet)
            return false;
    }
    return true;
}

namespace {

// One axis: linear interpolation, or interpolation of the exponent on a log axis.
// The absolute value makes the exponent grow from the first reference towards the
// second whatever order the exponents were typed in.
std::optional<double> axisValue(double p, double pix1, double pix2, const QString &text1, const QString &text2,
                                double v1, double v2, bool logarithmic)
{
    const double d = pix2 - pix1;
    if (d == 0)
        return std::nullopt;
    double result;
    if (logarithmic) {
        result = std::pow(10.0, v1 + (std::abs(v2 - v1) * (p - pix1)) / d);
    } else {
        const auto a = parseNumber(text1);
        const auto b = parseNumber(text2);
        if (!a || !b)
            return std::nullopt;
        result = *a + ((*b - *a) * (p - pix1)) / d;
    }
    if (!std::isfinite(result))
        return std::nullopt;
    return result;
}

} // namespace

void Calibration::PictureToValue(const PicturePoint &point, ValuePoint &value) const
{
    std::array<double, 4> v{0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        if (mRecord.field[i].isEmpty())
            continue;
        const auto parsed = parseNumber(mRecord.field[i]);
        if (!parsed)
            return;
        v[i] = *parsed;
    }
    const auto x = axisValue(point.x, mState.mX1Pix, mState.mX2Pix, mRecord.field[RefX1], mRecord.field[RefX2],
                             v[RefX1], v[RefX2], mRecord.xLog);
    if (!x)
        return;
    const auto y = axisValue(point.y, mState.mY1Pix, mState.mY2Pix, mRecord.field[RefY1], mRecord.field[RefY2],
                             v[RefY1], v[RefY2], mRecord.yLog);
    if (!y)
        return;
    value.x = *x;
    value.y = *y;
}

bool Calibration::isChained(const QString &tag) const
{
    const auto value = parseNumber(tag);
    return value && *value == 1.0;
}

double &Calibration::mirrorRef(Ref ref)
{
    switch (ref) {
    case RefX1: return mState.mX1Pix;
    case RefX2: return mState.mX2Pix;
    case RefY1: return mState.mY1Pix;
    case RefY2: break;
    }
    return mState.mY2Pix;
}

void Calibration::setReferencePosition(Ref ref, float position)
{
    mCaptured[ref] = true;
    mRecord.caption[ref] = generalNumberText(position, QLocale(), 7);
    mirrorRef(ref) = parseNumber(mRecord.caption[ref]).value_or(0.0);
}

quint32 Calibration::colorByCaption(Ref ref) const
{
    return mRecord.caption[ref] == QLatin1String("0") ? ColorNotSet : ColorSet;
}

CalibrationState Calibration::snapshot() const
{
    return {mRecord.field,   mRecord.xLog,         mRecord.yLog,         mRecord.caption,
            {settledColor(RefX1), settledColor(RefX2), settledColor(RefY1), settledColor(RefY2)}};
}

quint32 Calibration::settledColor(Ref ref) const
{
    const quint32 color = mRecord.backColor[ref];
    return color != ColorWaiting ? color : mCaptured[ref] ? ColorSet : ColorNotSet;
}

void Calibration::restore(const CalibrationState &state)
{
    if (state == snapshot())
        return;
    mRecord.field = state.field;
    mRecord.xLog = state.xLog;
    mRecord.yLog = state.yLog;
    for (Ref ref : {RefX1, RefX2, RefY1, RefY2}) {
        // A waiting indicator stays while its reference is as the state has it.
        if (mRecord.caption[ref] == state.caption[ref] && settledColor(ref) == state.color[ref])
            continue;
        mRecord.caption[ref] = state.caption[ref];
        mirrorRef(ref) = parseNumber(state.caption[ref]).value_or(0.0);
        mRecord.backColor[ref] = mRecord.textColor[ref] = state.color[ref];
        mCaptured[ref] = state.color[ref] != ColorNotSet;
    }
    emit changed();
}

void changeCalibration(Calibration &calibration, CalibratedPoints &points, const CalibrationState &state,
                       const QString &name, int session)
{
    const CalibrationStep step(points, name, session);
    calibration.restore(state);
    if (calibration.IsCalibrated())
        points.RecalculatePoints();
}

void Calibration::setField(Ref ref, const QString &text)
{
    mRecord.field[ref] = text;
    emit changed();
}

void Calibration::setLog(bool xAxis, bool logarithmic)
{
    (xAxis ? mRecord.xLog : mRecord.yLog) = logarithmic;
    emit changed();
}

void Calibration::setChainTag(bool xPair, const QString &tag)
{
    (xPair ? mRecord.chainXTag : mRecord.chainYTag) = tag;
    emit changed();
}

} // namespace chartrek
