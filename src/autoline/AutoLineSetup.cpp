#include "autoline/AutoLineSetup.h"

#include "autoline/LostLineRecovery.h"
#include "autoline/frmAutomatic.h"
#include "calibration/ReferenceCapture.h"
#include "core/WindowPlacement.h"
#include "picture/ColorProbe.h"
#include "picture/ImageControl.h"
#include "picture/Views.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

namespace chartrek {

namespace {
constexpr qint32 kClickSquare = 100; // half the side of a click square, twips

// The window's side of a trace: the clean copy is probed, the shown picture marked.
class WindowTraceHost : public TraceHost {
public:
    WindowTraceHost(AutoLineSetup::Controls &c, AutoLineSetup::Services &s) : mC(c), mS(s), mProbe(s.messages) {}

    qint32 colorAt(qint32 x, qint32 y) override { return mProbe.GetColor(x, y, mC.probe); }
    qint32 linePoint(qint32 x, qint32 y, PixProbePoint &point, const PixProbeLine &line) override
    {
        return mProbe.GetAPoint(x, y, point, line, mC.probe);
    }
    double pictureHeight() override { return mC.probe.bitmapHeight(); }
    void addTracedPoint(qint32 x, qint32 y, qint32 lineColor) override
    {
        mAdded.append(rowAt(mS.tables.AddPointToTables(PicturePoint{-x, y}, true)));
        const Curves &curves = mS.tables.curves();
        DrawPointMarker(x, y, mC.picture, quint32(lineColor), curves.color(curves.current()));
    }
    // Takes back the rows this trace added, each found by what it holds, not by where it should
    // be: the rows the user kept stay whatever lies between them.
    void removeAddedRows()
    {
        for (auto added = mAdded.crbegin(); added != mAdded.crend(); ++added) {
            for (int row = mS.tables.pointCount(); row >= 1; --row) {
                if (rowAt(row) == *added) {
                    mS.tables.removePoint(row);
                    break;
                }
            }
        }
        mAdded.clear();
    }
    void repaintPicture() override { mC.picture.forceRepaint(); }
    // The progress bar repaints at once when its value changes, and each run of the events
    // repaints what the points changed: both wait for the next frame, so that the trace costs
    // its probes, not the screen, and the window still repaints and answers Cancel at once.
    void setProgress(int minimum, int maximum, int value) override
    {
        mProgress = {minimum, std::max(minimum, maximum), value};
        if (!mFrame.isValid())
            showProgress();
    }
    void processEvents() override
    {
        if (mFrame.isValid() && mFrame.elapsed() < kFrameMs)
            return;
        showProgress();
        QCoreApplication::processEvents();
        mFrame.start();
    }
    bool getPointFromUser(PixProbePoint &point) override
    {
        showProgress();
        if (mS.recovery.GetPointFromUser(point))
            return true;
        // Cancel in the dialog ends the trace, as the control window's Cancel does.
        mS.state.mAutoLineCancel = true;
        mS.state.mAutoLineStep = 0;
        mS.toolMode.SetPointerTool();
        return false;
    }

    // The progress as the trace left it, on the screen now.
    void showProgress()
    {
        mC.progress.setRange(mProgress.minimum, mProgress.maximum);
        mC.progress.setValue(mProgress.value);
    }

private:
    static constexpr qint64 kFrameMs = 16;

    PointTableModel::Row rowAt(int row) const
    {
        const PointTableModel &model = mS.tables.model();
        PointTableModel::Row cells;
        for (int c = 0; c < PointTableModel::kValueColumns; ++c)
            cells[c] = model.cell(PointTableModel::DataPoints, row, c);
        for (int c = 0; c < PointTableModel::kPictureColumns; ++c)
            cells[PointTableModel::kValueColumns + c] = model.cell(PointTableModel::Originale, row, c);
        return cells;
    }

    struct Progress {
        int minimum = 0, maximum = 1, value = 0;
    } mProgress;
    QElapsedTimer mFrame;
    AutoLineSetup::Controls &mC;
    AutoLineSetup::Services &mS;
    ColorProbe mProbe; // one per trace: a missing module is reported once
    QList<PointTableModel::Row> mAdded;
};
} // namespace

AutoLineSetup::AutoLineSetup(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("autoLineSetup"));
}

AutoLineSetup::~AutoLineSetup() = default;

void AutoLineSetup::mnuAutomatic_Click()
{
    if (mTracing)
        return; // no trace inside a trace
    if (!mS.calibration.IsCalibrated()) {
        AskForOrigin(mS.messages, mS.toolMode);
        return;
    }
    mS.state.mAutoLineCancel = false;
    // The question concerns the current curve: the trace goes into it, the others stay.
    if (mS.tables.pointCount() > 0) {
        const int answer = mS.messages.AskYesNoCancel(tr("Delete existing data?"));
        if (answer == AnswerCancel) {
            mS.toolMode.SetPointerTool();
            return;
        }
        if (answer == AnswerYes) {
            mS.tables.ResetPointTables();
            restoreKeptPicture(); // the other curves keep their markers
            mS.views.mnuViewRepaint_Click();
        }
    }
    if (!mDialog) {
        mDialog = new frmAutomatic(&mC.window);
        frmAutomatic *d = mDialog;
        d->chkLine->setChecked(mS.state.mHasLines);
        d->chkGrid->setChecked(mS.state.mHasGrid);
        d->spnTolerance->setValue(mS.state.mColorTolerance);
        connect(d->chkLine, &QCheckBox::toggled, this, [this](bool on) {
            mS.state.mHasLines = on;
            emit choicesChanged();
        });
        connect(d->chkGrid, &QCheckBox::toggled, this, [this](bool on) {
            mS.state.mHasGrid = on;
            emit choicesChanged();
        });
        connect(d->spnTolerance, &QSpinBox::valueChanged, this, [this](int t) {
            mS.state.mColorTolerance = t;
            emit choicesChanged();
        });
        connect(d->btnNeu, &QPushButton::clicked, this, &AutoLineSetup::btnNeu_Click);
        connect(d->btnCancel, &QPushButton::clicked, this, &AutoLineSetup::btnCancel_Click);
        connect(d, &frmAutomatic::closeRequested, this, &AutoLineSetup::btnCancel_Click);
    }
    // Right of the window's middle, level with the value table.
    const QRect frame = mC.window.frameGeometry();
    const int left = frame.right() + 1 - mC.probe.width() - toPixels(120);
    const int top = mC.window.geometry().top() + mC.table.mapTo(&mC.window, QPoint()).y() + toPixels(550);
    placeOnScreen(*mDialog, {left, top});
    mDialog->show();
    mC.picture.setMousePointer(ImageControl::PointerCustom);
    mS.state.mAutoLineStep = 0;
    mS.state.mToolMode = SharedState::AutoLineTool;
}

void AutoLineSetup::clickSquare(const ControlPoint &c)
{
    DrawClickSquare({c.x - kClickSquare, c.y - kClickSquare}, {c.x + kClickSquare, c.y + kClickSquare}, mC.probe);
}

void AutoLineSetup::AutoLineClick(const PicturePoint &point, const ControlPoint &control)
{
    int &step = mS.state.mAutoLineStep;
    if (!mDialog || mTracing || step > 2)
        return;
    const qint32 px = -point.x, py = point.y;
    if (step == 0) {
        // Beside the picture there is no colour, and a line of no colour would find "line"
        // at every probe outside the picture.
        const qint32 color = ColorProbe(mS.messages).GetColor(px, py, mC.probe);
        if (color < 0) {
            mS.messages.ShowError(tr("The ending point must lie on the picture. Click on the line where reading "
                                     "should end."));
            return;
        }
        mAutoLine.EndX = px;
        mAutoLine.EndY = py;
        clickSquare(control);
        mAutoLine.LineColor = color;
        mDialog->showColor(mAutoLine.LineColor);
        step = 1;
        mDialog->btnNeu->setEnabled(true);
        mDialog->showStep(1);
    } else if (step == 1) {
        mAutoLine.StartX = px;
        mAutoLine.StartY = py;
        step = 2;
        mDialog->showStep(2);
        clickSquare(control);
    } else {
        clickSquare(control);
        mAutoLine.DistX = px;
        mAutoLine.DistY = py;
        if (mAutoLine.StartX < mAutoLine.DistX && mAutoLine.DistX < mAutoLine.EndX) {
            runTrace();
        } else {
            showOrderError();
            mS.toolMode.SetPointerTool();
        }
    }
}

void AutoLineSetup::showOrderError()
{
    mS.messages.ShowError(tr("You made it in the wrong order.\r\n"
                             "The order must be: starting point < distance point < ending point."));
}

void AutoLineSetup::showProbedColor(qint32 x, qint32 y)
{
    if (!mDialog || mS.state.mAutoLineStep > 1)
        return;
    const qint32 color = ColorProbe(mS.messages).GetColor(x, y, mC.picture);
    if (color > -1)
        mDialog->showColor(color);
}

void AutoLineSetup::runTrace()
{
    mS.state.mAutoLineStep = 3;
    mDialog->showStep(3);
    mDialog->btnNeu->setEnabled(false); // "One step back" would let a click start a second trace
    mTracing = true;
    LongOperations::Scope longOperation(mS.longOperations);
    emit tracingChanged(true);
    mC.statusBar.hide();
    QCoreApplication::processEvents();
    mC.progress.show();
    QCoreApplication::processEvents();
    mC.picture.setMousePointer(ImageControl::PointerHourglass);

    {
        // The whole trace is one step of the history.
        UndoHistory::Step step(mS.tables.history(), tr("Autoline"));
        WindowTraceHost host(mC, mS);
        PixProbePoint start{mAutoLine.StartX, mAutoLine.StartY};
        PixProbePoint distance{mAutoLine.DistX, mAutoLine.DistY};
        const TraceResult result = LineTracer(mS.state, host).TraceLine(mAutoLine.LineColor, start, distance,
                                                                        {mAutoLine.EndX, mAutoLine.EndY});
        mAutoLine.StartX = start.x;
        mAutoLine.StartY = start.y;
        mAutoLine.DistX = distance.x;
        mAutoLine.DistY = distance.y;
        host.showProgress();
        if (result.ending == TraceResult::CancelledBetweenSteps || result.ending == TraceResult::CancelledInSearch)
            host.removeAddedRows();
        finishTrace(result);
    }
    mTracing = false;
    emit tracingChanged(false);
}

void AutoLineSetup::finishTrace(const TraceResult &result)
{
    const auto resetProgress = [this] {
        mC.progress.setRange(0, 1);
        mC.progress.setValue(0);
    };
    switch (result.ending) {
    case TraceResult::Completed:
        mC.probe.forceRepaint();
        mS.messages.ShowInfo(tr("Line read. %1 points were read.").arg(result.pointsRead + 2));
        resetProgress();
        mS.state.mAutoLineCancel = false;
        break;
    case TraceResult::CancelledBetweenSteps:
    case TraceResult::CancelledInSearch:
        // Only what this trace added went; the points the user kept stay, with their markers,
        // and the table is as before the trace: no step to undo.
        if (UndoHistory *history = mS.tables.history())
            history->dropOpenStep();
        restoreKeptPicture();
        if (result.ending == TraceResult::CancelledBetweenSteps)
            mS.state.mAutoLineCancel = false;
        else
            resetProgress();
        mC.probe.forceRepaint();
        break;
    case TraceResult::NoStepWidth:
        resetProgress();
        showOrderError();
        break;
    }
    mS.views.mnuViewRepaint_Click();
    mS.toolMode.SetPointerTool();
    mS.state.mAutoLineStep = 0;
}

void AutoLineSetup::restoreKeptPicture()
{
    ShowPictureWithMarkers(mC.picture, mC.probe, mS.tables, mS.state.mShowMarkers);
}

void AutoLineSetup::btnNeu_Click()
{
    int &step = mS.state.mAutoLineStep;
    if (mTracing || !mDialog)
        return;
    if (step > 0)
        --step;
    if (step == 0) {
        mDialog->btnNeu->setEnabled(false);
        mDialog->showStep(0);
    } else if (step == 1 || step == 2) {
        mDialog->btnNeu->setEnabled(true);
        mDialog->showStep(step);
    }
    mC.window.activateWindow();
}

void AutoLineSetup::btnCancel_Click()
{
    mS.state.mAutoLineCancel = true;
    mS.state.mAutoLineStep = 0;
    // A running trace restores the picture itself when it sees the request; it alone knows
    // which points it added.
    if (!mTracing)
        restoreKeptPicture();
    mS.toolMode.SetPointerTool();
    mC.window.activateWindow();
}

void AutoLineSetup::closeDialog()
{
    if (mDialog) {
        mDialog->hide();
        mDialog->deleteLater();
        mDialog = nullptr;
    }
}

} // namespace chartrek
