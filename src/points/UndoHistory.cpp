#include "points/UndoHistory.h"

namespace chartrek {

UndoHistory::UndoHistory(PointTableModel &model, QObject *parent) : QObject(parent), mModel(model)
{
    connect(&mModel, &PointTableModel::unrecordedChange, this, &UndoHistory::clear);
}

void UndoHistory::begin(const QString &name)
{
    if (mDepth++ > 0)
        return;
    mOpen = {name, {}};
    mModel.setJournal(&mOpen.edits);
}

void UndoHistory::end()
{
    if (mDepth == 0 || --mDepth > 0)
        return;
    mModel.setJournal(nullptr);
    const bool drop = mDropOpen || mOpen.edits.isEmpty();
    mDropOpen = false;
    if (drop) {
        mOpen = {};
        return;
    }
    mUndo.append(std::move(mOpen));
    mRedo.clear();
    mOpen = {};
    emit changed();
}

void UndoHistory::undo()
{
    if (!canUndo() || mDepth > 0)
        return;
    Entry step = mUndo.takeLast();
    for (auto edit = step.edits.crbegin(); edit != step.edits.crend(); ++edit)
        mModel.apply(*edit, false);
    mRedo.append(std::move(step));
    emit changed();
}

void UndoHistory::redo()
{
    if (!canRedo() || mDepth > 0)
        return;
    Entry step = mRedo.takeLast();
    for (const PointTableModel::Edit &edit : std::as_const(step.edits))
        mModel.apply(edit, true);
    mUndo.append(std::move(step));
    emit changed();
}

void UndoHistory::clear()
{
    if (mUndo.isEmpty() && mRedo.isEmpty())
        return;
    mUndo.clear();
    mRedo.clear();
    emit changed();
}

qint64 UndoHistory::approximateBytes() const
{
    const auto text = [](const QString &s) { return qint64(sizeof(QString)) + s.capacity() * 2; };
    const auto row = [&](const PointTableModel::Row &r) {
        qint64 n = 0;
        for (const QString &s : r)
            n += text(s);
        return n;
    };
    qint64 bytes = 0;
    for (const QList<Entry> *list : {&mUndo, &mRedo}) {
        for (const Entry &entry : *list) {
            bytes += sizeof(Entry);
            for (const PointTableModel::Edit &e : entry.edits) {
                bytes += sizeof(e) + row(e.cells) - qint64(sizeof(e.cells)) + e.before.capacity() * 2
                    + e.after.capacity() * 2;
                for (const auto &r : e.gridBefore)
                    bytes += row(r);
                for (const auto &r : e.gridAfter)
                    bytes += row(r);
            }
        }
    }
    return bytes;
}

} // namespace chartrek
