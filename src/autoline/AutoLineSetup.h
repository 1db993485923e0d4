#pragma once

#include "autoline/LineTracer.h"
#include "autoline/frmAutomatic.h"
#include "calibration/Calibration.h"
#include "capture/OverlayDrawing.h"
#include "core/LongOperations.h"
#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"
#include "points/PointTables.h"

#include <QObject>
#include <QPointer>

class QProgressBar;

namespace chartrek {

class ImageControl;
class LostLineRecovery;
class Views;

// The Autoline tool: the three set-up clicks (ending point, starting point, distance) in the
// control window frmAutomatic, then the trace, which runs inside the third click while window
// events go on, and what a trace's end or cancel leaves behind.
class AutoLineSetup : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget &window; // owner of the control window, and where it is placed
        ImageControl &picture;
        ImageControl &probe; // the clean copy the tracer reads (the magnifier)
        QWidget &table;      // the value table: the control window is placed below its top
        QProgressBar &progress;
        QWidget &statusBar;
    };
    struct Services {
        SharedState &state;
        const Calibration &calibration;
        PointTables &tables;
        ToolMode &toolMode;
        Messages &messages;
        Views &views;
        LongOperations &longOperations;
        LostLineRecovery &recovery;
    };

    // The record of one set-up, in drawing coordinates; the trace moves start and distance.
    struct AutoLineRecord {
        qint32 StartX = 0, StartY = 0;
        qint32 EndX = 0, EndY = 0;
        qint32 DistX = 0, DistY = 0;
        qint32 LineColor = 0;
    };

    AutoLineSetup(const Controls &controls, const Services &services, QObject *parent = nullptr);
    ~AutoLineSetup() override;

    bool tracing() const { return mTracing; }
    const AutoLineRecord &record() const { return mAutoLine; }
    frmAutomatic *dialog() const { return mDialog; }

public slots:
    void mnuAutomatic_Click();
    // Every press on the picture in the Autoline tool, whatever the button.
    void AutoLineClick(const PicturePoint &point, const ControlPoint &control);
    // The colour under the pointer while the ending or starting point is aimed at.
    void showProbedColor(qint32 x, qint32 y);
    void btnNeu_Click();
    void btnCancel_Click();
    // The pointer tool is back: the control window goes.
    void closeDialog();

signals:
    // A trace starts or ends: the window blocks and frees its commands.
    void tracingChanged(bool running);
    // The user changed a line-quality box or the colour tolerance (in the shared state).
    void choicesChanged();

private:
    void runTrace();
    void finishTrace(const TraceResult &result);
    // The clean copy back on the shown picture, with the markers of the points kept.
    void restoreKeptPicture();
    void clickSquare(const ControlPoint &control);
    void showOrderError();

    Controls mC;
    Services mS;
    AutoLineRecord mAutoLine;
    QPointer<frmAutomatic> mDialog;
    bool mTracing = false;
};

} // namespace chartrek
