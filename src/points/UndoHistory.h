#pragma once

#include "calibration/Calibration.h"
#include "points/Curves.h"
#include "points/PointTableModel.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>

namespace chartrek {

// Undo and redo for the point tables and the calibration. A step is every change to the grid
// between begin and end (nested steps belong to the outermost one), kept as row data, never as
// pictures, with the calibration before and after when it changed; the values the calibration
// gives are not kept, the tables compute them again. A change to the grid made outside a step
// means the history no longer fits the grid: it is cleared. The oldest steps go when the
// history would hold more than its memory limit. With several curves a step belongs to the curve
// shown when it began: taking it back or making it again shows that curve first. Changes to the
// curves themselves (a new one, one deleted, renamed, recoloured) are steps too.
class UndoHistory : public QObject {
    Q_OBJECT
public:
    // Without a calibration, steps keep the grid only.
    explicit UndoHistory(PointTableModel &model, Calibration *calibration = nullptr, QObject *parent = nullptr);
    // The curves whose shown table `model` is; without them there is one curve.
    void setCurves(Curves *curves);

    // One step from construction to destruction; `history` may be null.
    class Step {
    public:
        Step(UndoHistory *history, const QString &name) : mHistory(history)
        {
            if (mHistory)
                mHistory->begin(name);
        }
        ~Step()
        {
            if (mHistory)
                mHistory->end();
        }
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

    private:
        UndoHistory *mHistory;
    };

    // A step of a `session` other than 0 joins the step before it when that is of the same
    // session; a step that changed nothing in the end is no step.
    void begin(const QString &name, int session = 0);
    void end();
    // The open step changed nothing in the end (a cancelled trace took back what it added):
    // it is dropped when it ends.
    void dropOpenStep() { mDropOpen = mDepth > 0; }

    bool canUndo() const { return !mUndo.isEmpty(); }
    bool canRedo() const { return !mRedo.isEmpty(); }
    // The name of the step an undo or a redo would take ("capture point", ...).
    QString undoName() const { return canUndo() ? mUndo.last().name : QString(); }
    QString redoName() const { return canRedo() ? mRedo.last().name : QString(); }
    // The curve (its id) whose table the step an undo or a redo would take changes; 0 when none.
    int undoCurve() const { return canUndo() && !mUndo.last().edits.isEmpty() ? mUndo.last().curve : 0; }
    int redoCurve() const { return canRedo() && !mRedo.last().edits.isEmpty() ? mRedo.last().curve : 0; }

    // True when the step put a calibration back: the values are then to be computed again.
    bool undo();
    bool redo();
    void clear();

    int steps() const { return int(mUndo.size() + mRedo.size()); }
    // Roughly what the steps take in memory, and the most they may take; the newest step is
    // kept even when it alone takes more.
    qint64 approximateBytes() const { return mBytes; }
    static constexpr qint64 kDefaultMemoryLimit = qint64(64) << 20;
    void setMemoryLimit(qint64 bytes);

signals:
    void changed();

private:
    struct Entry {
        QString name;
        int session = 0;
        QList<PointTableModel::Edit> edits;
        int curve = 0; // the id of the curve shown at the start
        QList<Curves::Edit> curveEdits;
        std::optional<std::pair<CalibrationState, CalibrationState>> calibration; // before, after
        qint64 bytes = 0;
    };

    static qint64 bytesOf(const Entry &entry);
    // The open step joins the newest one of its session; false when there is none.
    bool joinSession();
    // Shows the curve the step's table edits belong to.
    void showCurveOf(const Entry &step);
    void keepWithinLimit();

    PointTableModel &mModel;
    Calibration *mCalibration;
    Curves *mCurves = nullptr;
    QList<Entry> mUndo;
    QList<Entry> mRedo;
    Entry mOpen;
    CalibrationState mOpenCalibration;
    int mDepth = 0;
    bool mDropOpen = false;
    qint64 mBytes = 0;
    qint64 mLimit = kDefaultMemoryLimit;
};

} // namespace chartrek
