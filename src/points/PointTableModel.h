#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <array>

namespace chartrek {

// The two point tables as one grid, kept row for row by construction: columns 0-1 are the
// visible value table (x and y display texts), columns 2-5 the hidden picture table
// (picture x, picture y, full x value, full y value). Grid row 0 is the header row, then one
// row per point, then the trailing empty row, so a table without points has 2 rows.
//
// As a Qt model it shows grid rows 1.. as its rows and grid row 0 as the horizontal header;
// a view shows columns 0 and 1 only.
class PointTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Table { DataPoints, Originale };
    static constexpr int kValueColumns = 2;
    static constexpr int kPictureColumns = 4;
    using Row = std::array<QString, kValueColumns + kPictureColumns>;

    // One change to the grid, as the undo history keeps it: enough to make it and to take it
    // back. Insert and Remove hold the row; Set one cell's text before and after; Replace the
    // whole grid before and after.
    struct Edit {
        enum Kind { Insert, Remove, Set, Replace } kind = Set;
        int row = 0;
        int column = 0; // grid column, for Set
        Row cells;      // Insert, Remove
        QString before, after;
        QList<Row> gridBefore, gridAfter;
    };
    // Where changes are written while a step of the history is open; without one, a change
    // emits unrecordedChange, since the history no longer matches the grid.
    void setJournal(QList<Edit> *journal) { mJournal = journal; }
    // Makes a recorded change again (forward) or takes it back, without recording it.
    void apply(const Edit &edit, bool forward);

    explicit PointTableModel(QObject *parent = nullptr);

    // Grid operations, in grid rows.
    int rows() const { return int(mRows.size()); }
    int columns(Table table) const { return table == DataPoints ? kValueColumns : kPictureColumns; }
    QString cell(Table table, int row, int column) const;
    void setCell(Table table, int row, int column, const QString &text);
    // Inserts one row into both tables at `index`, cells given as tab-separated texts.
    void insertRowTexts(int index, const QString &valueRow, const QString &pictureRow);
    void removeGridRow(int index);
    // The whole grid at once; a grid that already is so records nothing.
    void setGrid(const QList<Row> &rows);
    // The whole grid, and another grid shown in its place without a record: the table of
    // another curve, whose changes its own steps of the history hold.
    const QList<Row> &grid() const { return mRows; }
    void showGrid(const QList<Row> &rows) { replaceGrid(rows); }
    // A cell computed from others (a value, from the picture position and the calibration):
    // written without a record, since undo and redo compute it again.
    void setComputedCell(Table table, int row, int column, const QString &text);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void unrecordedChange();

private:
    static int gridColumn(Table table, int column) { return table == DataPoints ? column : kValueColumns + column; }
    void record(Edit &&edit);
    void insertRow(int index, const Row &row);
    void removeRow(int index);
    void setGridCell(int row, int column, const QString &text);
    void replaceGrid(const QList<Row> &rows);

    QList<Row> mRows;
    QList<Edit> *mJournal = nullptr;
};

} // namespace chartrek
