#pragma once

#include "points/PointTableModel.h"

#include <QObject>
#include <QString>

namespace chartrek {

// Undo and redo for the point tables. A step is every change to the grid between begin and
// end (nested steps belong to the outermost one), kept as row data, never as pictures. A
// change made outside a step means the history no longer fits the grid: it is cleared.
class UndoHistory : public QObject {
    Q_OBJECT
public:
    explicit UndoHistory(PointTableModel &model, QObject *parent = nullptr);

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

    void begin(const QString &name);
    void end();
    // The open step changed nothing in the end (a cancelled trace took back what it added):
    // it is dropped when it ends.
    void dropOpenStep() { mDropOpen = mDepth > 0; }

    bool canUndo() const { return !mUndo.isEmpty(); }
    bool canRedo() const { return !mRedo.isEmpty(); }
    // The name of the step an undo or a redo would take ("capture point", ...).
    QString undoName() const { return canUndo() ? mUndo.last().name : QString(); }
    QString redoName() const { return canRedo() ? mRedo.last().name : QString(); }

    void undo();
    void redo();
    void clear();

    int steps() const { return int(mUndo.size() + mRedo.size()); }
    // Roughly what the steps take in memory.
    qint64 approximateBytes() const;

signals:
    void changed();

private:
    struct Entry {
        QString name;
        QList<PointTableModel::Edit> edits;
    };

    PointTableModel &mModel;
    QList<Entry> mUndo;
    QList<Entry> mRedo;
    Entry mOpen;
    int mDepth = 0;
    bool mDropOpen = false;
};

} // namespace chartrek
