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

    explicit PointTableModel(QObject *parent = nullptr);

    // Grid operations, in grid rows.
    int rows() const { return int(mRows.size()); }
    int columns(Table table) const { return table == DataPoints ? kValueColumns : kPictureColumns; }
    QString cell(Table table, int row, int column) const;
    void setCell(Table table, int row, int column, const QString &text);
    // Inserts one row into both tables at `index`, cells given as tab-separated texts.
    void insertRowTexts(int index, const QString &valueRow, const QString &pictureRow);
    void removeGridRow(int index);
    void setRowCount(int count);
    void clearCells();

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    using Row = std::array<QString, kValueColumns + kPictureColumns>;
    static int gridColumn(Table table, int column) { return table == DataPoints ? column : kValueColumns + column; }

    QList<Row> mRows;
};

} // namespace chartrek
