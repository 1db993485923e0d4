#include "points/UndoHistory.h"

namespace chartrek {

UndoHistory::UndoHistory(PointTableModel &model, Calibration *calibration, QObject *parent)
    : QObject(parent), mModel(model), mCalibration(calibration)
{
    connect(&mModel, &PointTableModel::unrecordedChange, this, &UndoHistory::clear);
}

void UndoHistory::begin(const QString &name, int session)
{
    if (mDepth++ > 0)
        return;
    mOpen = {name, session, {}, {}, 0};
    if (mCalibration)
        mOpenCalibration = mCalibration->snapshot();
    mModel.setJournal(&mOpen.edits);
}

void UndoHistory::end()
{
    if (mDepth == 0 || --mDepth > 0)
        return;
    mModel.setJournal(nullptr);
    if (mCalibration && mCalibration->snapshot() != mOpenCalibration)
        mOpen.calibration = {mOpenCalibration, mCalibration->snapshot()};
    const bool drop = mDropOpen || (mOpen.edits.isEmpty() && !mOpen.calibration);
    mDropOpen = false;
    if (drop) {
        mOpen = {};
        return;
    }
    if (!joinSession()) {
        mOpen.bytes = bytesOf(mOpen);
        mBytes += mOpen.bytes;
        mUndo.append(std::move(mOpen));
    }
    mOpen = {};
    for (const Entry &entry : std::as_const(mRedo))
        mBytes -= entry.bytes;
    mRedo.clear();
    keepWithinLimit();
    emit changed();
}

bool UndoHistory::joinSession()
{
    if (mOpen.session == 0 || mUndo.isEmpty() || mUndo.last().session != mOpen.session)
        return false;
    Entry &last = mUndo.last();
    last.edits.append(std::move(mOpen.edits));
    if (mOpen.calibration) {
        if (last.calibration)
            last.calibration->second = mOpen.calibration->second;
        else
            last.calibration = mOpen.calibration;
        if (last.calibration->first == last.calibration->second)
            last.calibration.reset(); // typed back to what it was
    }
    mBytes -= last.bytes;
    if (last.edits.isEmpty() && !last.calibration) {
        mUndo.removeLast();
    } else {
        last.bytes = bytesOf(last);
        mBytes += last.bytes;
    }
    return true;
}

void UndoHistory::keepWithinLimit()
{
    while (mBytes > mLimit && mUndo.size() > 1) {
        mBytes -= mUndo.first().bytes;
        mUndo.removeFirst();
    }
}

void UndoHistory::setMemoryLimit(qint64 bytes)
{
    mLimit = bytes;
    keepWithinLimit();
}

bool UndoHistory::undo()
{
    if (!canUndo() || mDepth > 0)
        return false;
    Entry step = mUndo.takeLast();
    for (auto edit = step.edits.crbegin(); edit != step.edits.crend(); ++edit)
        mModel.apply(*edit, false);
    const bool calibrated = step.calibration && mCalibration;
    if (calibrated)
        mCalibration->restore(step.calibration->first);
    mRedo.append(std::move(step));
    emit changed();
    return calibrated;
}

bool UndoHistory::redo()
{
    if (!canRedo() || mDepth > 0)
        return false;
    Entry step = mRedo.takeLast();
    for (const PointTableModel::Edit &edit : std::as_const(step.edits))
        mModel.apply(edit, true);
    const bool calibrated = step.calibration && mCalibration;
    if (calibrated)
        mCalibration->restore(step.calibration->second);
    mUndo.append(std::move(step));
    emit changed();
    return calibrated;
}

void UndoHistory::clear()
{
    if (mUndo.isEmpty() && mRedo.isEmpty())
        return;
    mUndo.clear();
    mRedo.clear();
    mBytes = 0;
    emit changed();
}

qint64 UndoHistory::bytesOf(const Entry &entry)
{
    const auto text = [](const QString &s) { return qint64(sizeof(QString)) + s.capacity() * 2; };
    const auto row = [&](const PointTableModel::Row &r) {
        qint64 n = 0;
        for (const QString &s : r)
            n += text(s);
        return n;
    };
    qint64 bytes = sizeof(Entry) + text(entry.name);
    if (entry.calibration) {
        for (const CalibrationState *state : {&entry.calibration->first, &entry.calibration->second}) {
            for (int i = 0; i < 4; ++i)
                bytes += text(state->field[i]) + text(state->caption[i]);
        }
    }
    for (const PointTableModel::Edit &e : entry.edits) {
        bytes += sizeof(e) + row(e.cells) - qint64(sizeof(e.cells)) + e.before.capacity() * 2 + e.after.capacity() * 2;
        for (const auto &r : e.gridBefore)
            bytes += row(r);
        for (const auto &r : e.gridAfter)
            bytes += row(r);
    }
    return bytes;
}

} // namespace chartrek
