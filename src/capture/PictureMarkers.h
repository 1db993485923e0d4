#pragma once

#include "core/SharedState.h"

#include <QImage>
#include <QObject>

namespace chartrek {

class ImageControl;
class PointTables;

// What the shown picture holds: the clean copy with one marker for each point of the tables
// while Show markers is on, and nothing else. An operation that takes points away or brings
// them back has the picture drawn afresh here. While the rotate dialog tries a turn, the clean
// copy so turned stands in for the clean copy, until the turn is kept or dropped.
class PictureMarkers : public QObject {
    Q_OBJECT
public:
    PictureMarkers(ImageControl &picture, ImageControl &clean, const PointTables &tables, const SharedState &state,
                   QObject *parent = nullptr);

    // A turn tried and not kept: the turned clean copy, or the clean copy when there is none.
    bool trying() const;
    const QImage &base() const;
    void setTrial(QImage turned);
    void dropTrial();

public slots:
    // The base on the picture, keeping the view, with the markers of the points.
    void redraw();

signals:
    void trialChanged();

private:
    ImageControl &mPicture;
    ImageControl &mClean;
    const PointTables &mTables;
    const SharedState &mState;
    QImage mTrial;
    qint64 mTrialOf = 0; // the clean copy the trial was turned from
};

} // namespace chartrek
