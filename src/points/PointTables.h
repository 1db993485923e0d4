#pragma once

#include "calibration/CalibratedPoints.h"
#include "calibration/Calibration.h"
#include "points/PointTableModel.h"
#include "points/UndoHistory.h"

#include <optional>

namespace chartrek {

// The operations that add, remove and recompute points. The picture coordinates are the
// master data; values are recomputed from them whenever the calibration changes.
class PointTables : public CalibratedPoints {
public:
    PointTables(PointTableModel &model, const Calibration &calibration, const SharedState &state)
        : mModel(model), mCalibration(calibration), mState(state)
    {
    }

    // Each change to the points becomes a step of this history (none without one).
    void setHistory(UndoHistory *history) { mHistory = history; }
    UndoHistory *history() const { return mHistory; }

    PointTableModel &model() { return mModel; }
    const PointTableModel &model() const { return mModel; }

    // Adds one point to both tables: sorted by x when the sort option is on and the Autoline
    // tool is not running (the tracer appends in tracing order), appended otherwise, and
    // always with `append`. Returns the grid row it went to.
    int AddPointToTables(const PicturePoint &point, bool append = false);
    bool hasPoints() const override { return mModel.rows() > 2; }
    void ClearPointRows() override;
    // Empties and re-creates both tables with the "X", "Y" headers.
    void ResetPointTables();
    // The same for a new picture, whose tables start a history of their own.
    void startAfresh();
    // The values are computed, not recorded: the history keeps the points and the calibration.
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
    // Keeps the first `count` points and removes the rest.
    void keepPoints(int count);

private:
    void refreshValues();
    int sortedInsertIndex(double x) const;
    void writeValues(int row, const ValuePoint &value);

    PointTableModel &mModel;
    const Calibration &mCalibration;
    const SharedState &mState;
    UndoHistory *mHistory = nullptr;
};

// The export text: one line per point, x TAB y CR LF, from the full-precision values.
// With `pointDecimal` every decimal separator (the locale's, and any comma) becomes a point:
// the data file's form.
QString BuildExportText(const PointTableModel &model, bool pointDecimal);
// The same values as comma-separated text: a header line "x,y", then x "," y LF a point, with
// a decimal point whatever the locale, as spreadsheets and scripts read it.
QString BuildCsvText(const PointTableModel &model);

} // namespace chartrek
