#include "points/UndoHistory.h"

namespace chartrek {

UndoHistory::UndoHistory(PointTableModel &model, Calibration *calibration, QObject *parent)
    : QObject(parent), mModel(model), mCalibration(calibration)
{
    connect(&mModel, &PointTableModel::unrecordedChange, this, &UndoHistory::clear);
}

void UndoHistory::setCurves(Curves *curves)
{
    mCurves = curves;
    if (mCurves)
        connect(mCurves, &Curves::unrecordedChange, this, &UndoHistory::clear);
}

void UndoHistory::begin(const QString &name, int session)
{
    if (mDepth++ > 0)
        return;
    mOpen = {name, session, {}, 0, {}, {}, 0};
    if (mCalibration)
        mOpenCalibration = mCalibration->snapshot();
    mModel.setJournal(&mOpen.edits);
    if (mCurves) {
        mOpen.curve = mCurves->currentId();
        mCurves->setJournal(&mOpen.curveEdits);
    }
}

void UndoHistory::end()
{
    if (mDepth == 0 || --mDepth > 0)
        return;
    mModel.setJournal(nullptr);
    if (mCurves)
        mCurves->setJournal(nullptr);
    if (mCalibration && mCalibration->snapshot() != mOpenCalibration)
        mOpen.calibration = {mOpenCalibration, mCalibration->snapshot()};
    const bool drop = mDropOpen || (mOpen.edits.isEmpty() && mOpen.curveEdits.isEmpty() && !mOpen.calibration);
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
    if (mOpen.session == 0 || mUndo.isEmpty() || mUndo.last().session != mOpen.session
        || mUndo.last().curve != mOpen.curve)
        return false;
    Entry &last = mUndo.last();
    last.edits.append(std::move(mOpen.edits));
    last.curveEdits.append(std::move(mOpen.curveEdits));
    if (mOpen.calibration) {
        if (last.calibration)
            last.calibration->second = mOpen.calibration->second;
        else
            last.calibration = mOpen.calibration;
        if (last.calibration->first == last.calibration->second)
            last.calibration.reset(); // typed back to what it was
    }
    mBytes -= last.bytes;
    if (last.edits.isEmpty() && last.curveEdits.isEmpty() && !last.calibration) {
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
    showCurveOf(step);
    for (auto edit = step.edits.crbegin(); edit != step.edits.crend(); ++edit)
        mModel.apply(*edit, false);
    for (auto edit = step.curveEdits.crbegin(); edit != step.curveEdits.crend(); ++edit)
        mCurves->apply(*edit, false);
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
    for (const Curves::Edit &edit : std::as_const(step.curveEdits))
        mCurves->apply(edit, true);
    showCurveOf(step);
    for (const PointTableModel::Edit &edit : std::as_const(step.edits))
        mModel.apply(edit, true);
    const bool calibrated = step.calibration && mCalibration;
    if (calibrated)
        mCalibration->restore(step.calibration->second);
    mUndo.append(std::move(step));
    emit changed();
    return calibrated;
}

void UndoHistory::showCurveOf(const Entry &step)
{
    // A step of curve edits alone (a new curve, a rename) shows what it changes by itself.
    if (mCurves && !step.edits.isEmpty())
        mCurves->setCurrent(mCurves->indexOf(step.curve));
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
    for (const Curves::Edit &e : entry.curveEdits) {
        bytes += sizeof(e) + text(e.before.name) + text(e.after.name);
        for (const auto &r : e.before.rows)
            bytes += row(r);
        for (const auto &r : e.after.rows)
            bytes += row(r);
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
