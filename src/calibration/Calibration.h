#pragma once

#include "core/PictureHolder.h"
#include "core/SharedState.h"

#include <QObject>
#include <QString>

#include <array>

namespace chartrek {

// Picture coordinates: the negated distance from the picture's left and top edge, in
// picture units (twips of the picture in the 1:1 view). Inside the picture both are <= 0.
struct PictureCoords {
    float x = 0;
    float y = 0;
};

// The stored form of a point: picture coordinates rounded to the nearest integer, ties to even.
struct PicturePoint {
    qint32 x = 0;
    qint32 y = 0;
    friend bool operator==(const PicturePoint &, const PicturePoint &) = default;
};

// The data values of a point.
struct ValuePoint {
    double x = 0;
    double y = 0;
};

// Rounds to the nearest 32-bit integer, ties to even; out-of-range values are clamped.
qint32 roundToInt32(double value);
PicturePoint toPicturePoint(const PictureCoords &coords);

// Control position (twips) to picture coordinates, given the display left and top of the
// shown picture and the view scale. Products in double precision, stored as singles.
PictureCoords ControlToPicture(float X, float Y, float displayLeft, float displayTop, double viewScale);

// Indicator colours of the reference labels, 0x00BBGGRR.
enum IndicatorColor : quint32 {
    ColorNotSet = 0x8080FF,
    ColorWaiting = 0x80FFFF,
    ColorSet = 0x80FF80,
};

// The four references, in the order the fields are read.
enum Ref { RefX1 = 0, RefX2 = 1, RefY1 = 2, RefY2 = 3 };

// What the calibration panel shows: reference captions and indicator colours, the typed
// values, the log boxes, the chain tags and the caption of the start button. The panel
// widget displays this record and writes the user's edits into it.
struct CalibrationRecord {
    std::array<QString, 4> caption{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    std::array<quint32, 4> backColor{ColorNotSet, ColorNotSet, ColorNotSet, ColorNotSet};
    std::array<quint32, 4> textColor{ColorNotSet, ColorNotSet, ColorNotSet, ColorNotSet};
    std::array<QString, 4> field{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")};
    bool xLog = false;
    bool yLog = false;
    QString chainXTag = QStringLiteral("1"); // "1": one click sets X1 and Y1
    QString chainYTag = QStringLiteral("1"); // "1": one click sets X2 and Y2
    QString buttonCaption = QStringLiteral("get");
};

// What the values follow, and what a step of the undo history puts back: the typed values, the
// log boxes, the reference positions (as the captions hold them) and whether each is set (its
// indicator colour). The chain tags and a capture under way are no part of it.
struct CalibrationState {
    std::array<QString, 4> field;
    bool xLog = false;
    bool yLog = false;
    std::array<QString, 4> caption;
    std::array<quint32, 4> color{};
    friend bool operator==(const CalibrationState &, const CalibrationState &) = default;
};

// The calibration: its record, the mirrors of the reference positions (in SharedState),
// and the conversion of picture positions into values. Emits changed() whenever the record
// is changed through it, so that the panel can show the new state.
class Calibration : public QObject {
    Q_OBJECT
public:
    Calibration(SharedState &state, const PictureHolder &picture, QObject *parent = nullptr);

    CalibrationRecord &record() { return mRecord; }
    const CalibrationRecord &record() const { return mRecord; }
    SharedState &state() { return mState; }

    // A picture is held and no indicator shows "not set" (a waiting one counts as set).
    bool IsCalibrated() const;

    // Converts a point into values. On any fault (a field that is not a number, an empty
    // field of a linear axis, equal reference positions, a result beyond the double range)
    // it returns without touching `value`.
    void PictureToValue(const PicturePoint &point, ValuePoint &value) const;

    bool isChained(const QString &tag) const;
    bool xChained() const { return isChained(mRecord.chainXTag); }
    bool yChained() const { return isChained(mRecord.chainYTag); }

    // Stores a captured position as the 7-digit text of the single and parses the mirror back.
    void setReferencePosition(Ref ref, float position);
    // The colour a reference shows when it is passed over: set when it was ever captured.
    quint32 colorByCaption(Ref ref) const;

    // The panel's edits.
    void setField(Ref ref, const QString &text);
    void setLog(bool xAxis, bool logarithmic);
    void setChainTag(bool xPair, const QString &tag);

    void notifyChanged() { emit changed(); }

    CalibrationState snapshot() const;
    // Makes the record show `state`; the mirrors follow the captions. A state holds no waiting
    // indicator: one that waits counts as set when its reference was ever captured.
    void restore(const CalibrationState &state);

signals:
    void changed();

private:
    double &mirrorRef(Ref ref);
    quint32 settledColor(Ref ref) const;

    SharedState &mState;
    const PictureHolder &mPicture;
    CalibrationRecord mRecord;
    std::array<bool, 4> mCaptured{};
};

} // namespace chartrek
