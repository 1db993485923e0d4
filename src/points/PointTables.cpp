#include "points/PointTables.h"

#include "core/NumberText.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace chartrek {

namespace {
constexpr auto DataPoints = PointTableModel::DataPoints;
constexpr auto Originale = PointTableModel::Originale;
const QLatin1Char kTab('\t');
} // namespace

int PointTables::sortedInsertIndex(double x) const
{
    // The first row whose x exceeds the new one, so that equal x values keep their order of
    // capture; the trailing empty row when there is none.
    int index = mModel.rows() - 1;
    const NumberReader read;
    for (int k = 1; k < mModel.rows(); ++k) {
        const QString text = mModel.cell(Originale, k, 2);
        if (text.isEmpty()) {
            index = k;
            continue;
        }
        const auto stored = read(text);
        if (stored && *stored > x)
            return k;
    }
    return index;
}

int PointTables::AddPointToTables(const PicturePoint &point, bool append)
{
    UndoHistory::Step step(mHistory, QCoreApplication::translate("PointTables", "capture point"));
    ValuePoint v;
    mCalibration.PictureToValue(point, v);
    const bool sorted = !append && mState.mSortData && mState.mToolMode != SharedState::AutoLineTool;
    const int index = sorted ? sortedInsertIndex(v.x) : mModel.rows() - 1;
    const CalibrationRecord &rec = mCalibration.record();
    const QString valueRow = FormatAxisValue(v.x, rec.xLog) + kTab + FormatAxisValue(v.y, rec.yLog);
    const QString pictureRow = integerText(point.x) + kTab + integerText(point.y) + kTab + generalNumberText(v.x)
        + kTab + generalNumberText(v.y);
    mModel.insertRowTexts(index, valueRow, pictureRow);
    return index;
}

void PointTables::setHistory(UndoHistory *history)
{
    mHistory = history;
    if (mHistory)
        mHistory->setCurves(&mCurves);
}

bool PointTables::hasPoints() const
{
    for (int i = 0; i < mCurves.count(); ++i) {
        if (mCurves.pointCount(i) > 0)
            return true;
    }
    return false;
}

void PointTables::ClearPointRows()
{
    UndoHistory::Step step(mHistory, QCoreApplication::translate("PointTables", "delete data"));
    const int n = mModel.rows() - 2;
    for (int i = 0; i < n; ++i)
        mModel.removeGridRow(1);
    for (int i = 0; i < mCurves.count(); ++i) {
        if (i != mCurves.current() && mCurves.pointCount(i) > 0) {
            Curves::Grid emptied = mCurves.rows(i);
            emptied.remove(1, emptied.size() - 2);
            mCurves.setRows(i, emptied);
        }
    }
}

void PointTables::ResetPointTables()
{
    UndoHistory::Step step(mHistory, QCoreApplication::translate("PointTables", "delete data"));
    // "X" and "Y" over the value table and over the picture table's first two columns.
    PointTableModel::Row header;
    header[0] = header[2] = QStringLiteral("X");
    header[1] = header[3] = QStringLiteral("Y");
    mModel.setGrid({header, {}});
}

void PointTables::beginChange(const QString &name, int session)
{
    if (mHistory)
        mHistory->begin(name, session);
}

void PointTables::endChange()
{
    if (mHistory)
        mHistory->end();
}

bool PointTables::undo()
{
    if (!mHistory || !mHistory->canUndo())
        return false;
    if (mHistory->undo())
        refreshValues();
    return true;
}

bool PointTables::redo()
{
    if (!mHistory || !mHistory->canRedo())
        return false;
    if (mHistory->redo())
        refreshValues();
    return true;
}

void PointTables::refreshValues()
{
    // The history keeps no values: they follow the calibration it put back. A step without one
    // leaves rows whose values are those of the calibration shown, as every later change of it
    // is a step of its own, taken back first.
    if (mCalibration.IsCalibrated())
        RecalculatePoints();
}

void PointTables::startAfresh()
{
    mCurves.resetToOne();
    ResetPointTables();
    if (mHistory)
        mHistory->clear();
}

void PointTables::writeValues(int row, const ValuePoint &value)
{
    const CalibrationRecord &rec = mCalibration.record();
    mModel.setComputedCell(DataPoints, row, 0, FormatAxisValue(value.x, rec.xLog));
    mModel.setComputedCell(DataPoints, row, 1, FormatAxisValue(value.y, rec.yLog));
    mModel.setComputedCell(Originale, row, 2, generalNumberText(value.x));
    mModel.setComputedCell(Originale, row, 3, generalNumberText(value.y));
}

void PointTables::RecalculatePoints()
{
    for (int row = 1; row <= mModel.rows() - 2; ++row) {
        const PicturePoint point = pointAt(row);
        // Each row starts from (0, 0), as a new point does: a failed conversion must not
        // leave another point's values in this row.
        ValuePoint value;
        mCalibration.PictureToValue(point, value);
        writeValues(row, value);
    }
    for (int i = 0; i < mCurves.count(); ++i) {
        if (i != mCurves.current())
            recalculateStored(mCurves.computedRows(i));
    }
}

void PointTables::recalculateStored(Curves::Grid &grid) const
{
    const CalibrationRecord &rec = mCalibration.record();
    for (qsizetype row = 1; row + 1 < grid.size(); ++row) {
        ValuePoint value;
        mCalibration.PictureToValue(pointOfRow(grid[row]), value);
        PointTableModel::Row &cells = grid[row];
        cells[0] = FormatAxisValue(value.x, rec.xLog);
        cells[1] = FormatAxisValue(value.y, rec.yLog);
        cells[PointTableModel::kValueColumns + 2] = generalNumberText(value.x);
        cells[PointTableModel::kValueColumns + 3] = generalNumberText(value.y);
    }
}

std::optional<int> PointTables::FindPointNear(const PicturePoint &point) const
{
    constexpr double kTolerance = 20;
    std::optional<int> found;
    const NumberReader read;
    for (int row = 1; row <= mModel.rows() - 2; ++row) {
        const auto x = read(mModel.cell(Originale, row, 0));
        const auto y = read(mModel.cell(Originale, row, 1));
        if (x && y && std::abs(*x - point.x) < kTolerance && std::abs(*y - point.y) < kTolerance)
            found = row; // no stop at the first: the lowest match in the table is the one
    }
    return found;
}

void PointTables::removePoint(int row)
{
    UndoHistory::Step step(mHistory, QCoreApplication::translate("PointTables", "delete point"));
    if (row >= 1 && row <= mModel.rows() - 2)
        mModel.removeGridRow(row);
}

PicturePoint PointTables::pointAt(int row) const
{
    const NumberReader read;
    return {roundToInt32(read(mModel.cell(Originale, row, 0)).value_or(0)),
            roundToInt32(read(mModel.cell(Originale, row, 1)).value_or(0))};
}

void PointTables::keepPoints(int count)
{
    UndoHistory::Step step(mHistory, QCoreApplication::translate("PointTables", "delete data"));
    for (int row = pointCount(); row > std::max(count, 0); --row)
        mModel.removeGridRow(row);
}

Curves::Grid PointTables::gridOf(const QList<PicturePoint> &points) const
{
    Curves::Grid grid = Curves::emptyGrid();
    grid.reserve(points.size() + 2);
    for (const PicturePoint &point : points) {
        PointTableModel::Row row;
        constexpr int p = PointTableModel::kValueColumns;
        row[p] = integerText(point.x);
        row[p + 1] = integerText(point.y);
        grid.insert(grid.size() - 1, row);
    }
    recalculateStored(grid);
    return grid;
}

namespace {
// A value's full-precision text; for a file with a decimal point.
QString exportCell(const PointTableModel &model, int row, int column, bool pointDecimal)
{
    QString t = model.cell(Originale, row, column);
    // The texts were written with the locale's separator, which need be neither "," nor ".".
    if (pointDecimal)
        t.replace(QLocale().decimalPoint(), QStringLiteral(".")).replace(QLatin1Char(','), QLatin1Char('.'));
    return t;
}
} // namespace

QString BuildExportText(const PointTableModel &model, bool pointDecimal)
{
    QString text;
    for (int row = 1; row <= model.rows() - 2; ++row)
        text += exportCell(model, row, 2, pointDecimal) + kTab + exportCell(model, row, 3, pointDecimal)
            + QStringLiteral("\r\n");
    return text;
}

QString BuildCsvText(const PointTableModel &model)
{
    QString text = QStringLiteral("x,y\n");
    for (int row = 1; row <= model.rows() - 2; ++row)
        text += exportCell(model, row, 2, true) + QLatin1Char(',') + exportCell(model, row, 3, true) + QLatin1Char('\n');
    return text;
}

} // namespace chartrek
