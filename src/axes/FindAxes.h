#pragma once

#include "axes/AxisFinder.h"
#include "calibration/CalibratedPoints.h"
#include "calibration/Calibration.h"
#include "core/LongOperations.h"
#include "core/Messages.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class QLabel;
class QProgressDialog;
class QStatusBar;
class QWidget;

namespace chartrek {

class ImageControl;

// Edit > Find axes: searches the picture for its axes off the window's thread, behind a
// progress dialog whose Cancel answers at once, then applies what it is sure of as one
// calibration change, marks the references on the picture and says in the status bar how sure
// it is. For a figure of several plots it takes the plot under the pointer, or the one last
// clicked.
class FindAxes : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget &window;
        ImageControl &picture; // the picture shown, with the points' markers
        ImageControl &clean;   // its clean copy, which is searched
        QStatusBar &statusBar;
    };
    struct Services {
        Calibration &calibration;
        CalibratedPoints &points;
        Messages &messages;
        LongOperations &longOperations;
    };
    FindAxes(const Controls &controls, const Services &services, QObject *parent = nullptr);
    ~FindAxes() override;

    void mnuEditFindAxes_Click();
    // Remembers the last press on the picture (control twips), the plot meant when the pointer
    // is not over the picture.
    void pictureMouseDown(int button, int shift, float x, float y);
    // A new picture: the word on the last search and the last press were about the old one.
    void pictureReplaced();

    bool running() const { return mRunning; }
    // Whether a search thread still works, after a cancel too (its result then goes nowhere).
    bool searching() const { return *mSearching; }
    // The status bar's word on the last search.
    QString confidenceText() const;

    static QString nothingFoundText();

signals:
    void runningChanged(bool running);
    // A search ended and what it was sure of is applied (nothing when cancelled).
    void finished();

private:
    std::optional<QPointF> hint() const;
    std::optional<QPointF> toPicturePixels(float x, float y) const;
    void searched(quint64 run, const AxesProposal &found);
    void stop(bool cancelled);
    void markReference(double px, double py);

    Controls mC;
    Services mS;
    std::thread mWorker;
    std::shared_ptr<std::atomic_bool> mCancel;
    std::shared_ptr<std::atomic_bool> mSearching = std::make_shared<std::atomic_bool>(false);
    quint64 mRun = 0;
    qint64 mPictureKey = 0;
    bool mRunning = false;
    std::optional<LongOperations::Scope> mLong;
    std::optional<QPointF> mLastClick; // picture pixels
    QPointer<QProgressDialog> mProgress;
    QLabel *mConfidence = nullptr;
};

} // namespace chartrek
