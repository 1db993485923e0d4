#pragma once

#include "calibration/CalibratedPoints.h"
#include "calibration/Calibration.h"
#include "points/Curves.h"
#include "points/PointTableModel.h"
#include "points/UndoHistory.h"

#include <optional>

namespace chartrek {

// The operations that add, remove and recompute points. The picture coordinates are the
// master data; values are recomputed from them whenever the calibration changes. The model is
// the current curve's table: captures, deletions and Autoline act on it; the calibration's
// questions and recalculations concern every curve.
class PointTables : public CalibratedPoints {
public:
    PointTables(PointTableModel &model, const Calibration &calibration, const SharedState &state)
        : mModel(model), mCalibration(calibration), mState(state), mCurves(model)
    {
    }

    // Each change to the points becomes a step of this history (none without one).
    void setHistory(UndoHistory *history);
    UndoHistory *history() const { return mHistory; }

    PointTableModel &model() { return mModel; }
    const PointTableModel &model() const { return mModel; }
    Curves &curves() { return mCurves; }
    const Curves &curves() const { return mCurves; }

    // Adds one point to both tables: sorted by x when the sort option is on and the Autoline
    // tool is not running (the tracer appends in tracing order), appended otherwise, and
    // always with `append`. Returns the grid row it went to.
    int AddPointToTables(const PicturePoint &point, bool append = false);
    // Whether any curve holds points.
    bool hasPoints() const override;
    // Removes the points of every curve.
    void ClearPointRows() override;
    // Empties and re-creates the current curve's tables with the "X", "Y" headers.
    void ResetPointTables();
    // For a new picture: one empty curve, whose tables start a history of their own.
    void startAfresh();
    // The values of every curve. They are computed, not recorded: the history keeps the points
    // and the calibration.
    void RecalculatePoints() override;
    void beginChange(const QString &name, int session) override;
    void endChange() override;
    // Undo and Redo of the history, with the values computed again for the calibration they
    // leave; false when there is nothing to take back or make again.
    bool undo();
    bool redo();

    // The stored point that lies less than 20 picture units from `point` on both axes; when
    // several do, the lowest in the table. Nothing when none does.
    std::optional<int> FindPointNear(const PicturePoint &point) const;
    // Removes one point from both tables (a grid row, 1 for the first point).
    void removePoint(int row);
    // The number of points, and the picture position of one (a grid row, 1 for the first).
    int pointCount() const { return mModel.rows() - 2; }
    PicturePoint pointAt(int row) const;
    // The grid of a curve holding these points in this order, values computed.
    Curves::Grid gridOf(const QList<PicturePoint> &points) const;
    // Keeps the first `count` points and removes the rest.
    void keepPoints(int count);

private:
    void refreshValues();
    // The values of a curve not shown, in its stored rows.
    void recalculateStored(Curves::Grid &grid) const;
    int sortedInsertIndex(double x) const;
    void writeValues(int row, const ValuePoint &value);

    PointTableModel &mModel;
    const Calibration &mCalibration;
    const SharedState &mState;
    UndoHistory *mHistory = nullptr;
    Curves mCurves;
};

// The export text: one line per point, x TAB y CR LF, from the full-precision values.
// With `pointDecimal` every decimal separator (the locale's, and any comma) becomes a point:
// the data file's form.
QString BuildExportText(const PointTableModel &model, bool pointDecimal);
// The same values as comma-separated text: a header line "x,y", then x "," y LF a point, with
// a decimal point whatever the locale, as spreadsheets and scripts read it.
QString BuildCsvText(const PointTableModel &model);

} // namespace chartrek
