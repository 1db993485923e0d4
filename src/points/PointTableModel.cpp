#include "points/PointTableModel.h"

#include <algorithm>

namespace chartrek {

PointTableModel::PointTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    mRows.resize(2);
}

QString PointTableModel::cell(Table table, int row, int column) const
{
    if (row < 0 || row >= rows() || column < 0 || column >= columns(table))
        return {};
    return mRows[row][gridColumn(table, column)];
}

void PointTableModel::record(Edit &&edit)
{
    if (mJournal)
        mJournal->append(std::move(edit));
    else
        emit unrecordedChange();
}

void PointTableModel::setCell(Table table, int row, int column, const QString &text)
{
    if (row < 0 || row >= rows() || column < 0 || column >= columns(table))
        return;
    const int c = gridColumn(table, column);
    if (mRows[row][c] == text)
        return;
    Edit edit{Edit::Set, row, c, {}, mRows[row][c], text, {}, {}};
    setGridCell(row, c, text);
    record(std::move(edit));
}

void PointTableModel::setGridCell(int row, int c, const QString &text)
{
    mRows[row][c] = text;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, c, c);
    } else {
        const QModelIndex i = index(row - 1, c);
        emit dataChanged(i, i);
    }
}

void PointTableModel::insertRowTexts(int index, const QString &valueRow, const QString &pictureRow)
{
    // Row 0 is the header; anything past the end goes before nothing, i.e. last.
    index = std::clamp(index, 1, rows());
    Row row;
    const QStringList values = valueRow.split(QLatin1Char('\t'));
    const QStringList pictures = pictureRow.split(QLatin1Char('\t'));
    for (int c = 0; c < kValueColumns && c < values.size(); ++c)
        row[c] = values[c];
    for (int c = 0; c < kPictureColumns && c < pictures.size(); ++c)
        row[kValueColumns + c] = pictures[c];
    insertRow(index, row);
    record({Edit::Insert, index, 0, row, {}, {}, {}, {}});
}

void PointTableModel::insertRow(int index, const Row &row)
{
    beginInsertRows({}, index - 1, index - 1);
    mRows.insert(index, row);
    endInsertRows();
}

void PointTableModel::removeGridRow(int index)
{
    if (index < 1 || index >= rows())
        return;
    Edit edit{Edit::Remove, index, 0, mRows[index], {}, {}, {}, {}};
    removeRow(index);
    record(std::move(edit));
}

void PointTableModel::removeRow(int index)
{
    beginRemoveRows({}, index - 1, index - 1);
    mRows.removeAt(index);
    endRemoveRows();
}

void PointTableModel::setGrid(const QList<Row> &rows)
{
    if (rows == mRows || rows.isEmpty())
        return;
    Edit edit{Edit::Replace, 0, 0, {}, {}, {}, mRows, rows};
    replaceGrid(rows);
    record(std::move(edit));
}

void PointTableModel::setComputedCell(Table table, int row, int column, const QString &text)
{
    if (row >= 0 && row < rows() && column >= 0 && column < columns(table) && cell(table, row, column) != text)
        setGridCell(row, gridColumn(table, column), text);
}

void PointTableModel::replaceGrid(const QList<Row> &rows)
{
    beginResetModel();
    mRows = rows;
    endResetModel();
}

void PointTableModel::apply(const Edit &edit, bool forward)
{
    switch (edit.kind) {
    case Edit::Insert:
    case Edit::Remove:
        if ((edit.kind == Edit::Insert) == forward)
            insertRow(edit.row, edit.cells);
        else
            removeRow(edit.row);
        break;
    case Edit::Set:
        setGridCell(edit.row, edit.column, forward ? edit.after : edit.before);
        break;
    case Edit::Replace:
        replaceGrid(forward ? edit.gridAfter : edit.gridBefore);
        break;
    }
}

int PointTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows() - 1;
}

int PointTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kValueColumns + kPictureColumns;
}

QVariant PointTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return mRows[index.row() + 1][index.column()];
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount())
        return mRows[0][section];
    return {};
}

} // namespace chartrek
