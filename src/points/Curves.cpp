#include "points/Curves.h"

#include "core/NumberText.h"

#include <algorithm>

namespace chartrek {

namespace {
// Marker colours, 0x00BBGGRR: red first, as a single curve's markers have always been, then
// colours far from it and from each other.
constexpr quint32 kPalette[] = {0x0000FF, 0xFF0000, 0x00A000, 0xC000C0, 0x0080FF, 0xA0A000, 0x205090};

QColor toQColor(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}
} // namespace

Curves::Curves(PointTableModel &table, QObject *parent) : QAbstractListModel(parent), mTable(table)
{
    mList.append({1, tr("Curve %1").arg(1), kFirstColor, {}});
}

Curves::Grid Curves::emptyGrid()
{
    PointTableModel::Row header;
    header[0] = header[2] = QStringLiteral("X");
    header[1] = header[3] = QStringLiteral("Y");
    return {header, {}};
}

int Curves::indexOf(int id) const
{
    for (int i = 0; i < count(); ++i) {
        if (mList[i].id == id)
            return i;
    }
    return -1;
}

const Curves::Grid &Curves::rows(int index) const
{
    return index == mCurrent ? mTable.grid() : mList[index].rows;
}

void Curves::showCurrent(int id)
{
    const int index = indexOf(id);
    if (index < 0 || index == mCurrent) {
        mCurrent = std::clamp(index < 0 ? mCurrent : index, 0, count() - 1);
        return;
    }
    // The table keeps its rows' storage; the curve left gets the grid, the one shown gives its own.
    if (mCurrent >= 0 && mCurrent < count() && mList[mCurrent].rows.isEmpty())
        mList[mCurrent].rows = mTable.grid();
    mTable.showGrid(mList[index].rows);
    mList[index].rows.clear();
    mCurrent = index;
    emit currentChanged(mCurrent);
}

void Curves::setCurrent(int index)
{
    if (index >= 0 && index < count())
        showCurrent(mList[index].id);
}

int Curves::nextId() const
{
    int id = 0;
    for (const Curve &c : mList)
        id = std::max(id, c.id);
    return id + 1;
}

QString Curves::nextName() const
{
    for (int n = count() + 1;; ++n) {
        const QString name = tr("Curve %1").arg(n);
        if (std::none_of(mList.cbegin(), mList.cend(), [&](const Curve &c) { return c.name == name; }))
            return name;
    }
}

quint32 Curves::nextColor() const
{
    for (quint32 color : kPalette) {
        if (std::none_of(mList.cbegin(), mList.cend(), [&](const Curve &c) { return c.color == color; }))
            return color;
    }
    return kPalette[count() % std::size(kPalette)];
}

QString Curves::cleanName(const QString &name)
{
    QString clean = name;
    for (QChar &c : clean) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return clean.trimmed();
}

void Curves::record(Edit &&edit)
{
    const bool recorded = mJournal != nullptr;
    if (recorded)
        mJournal->append(edit);
    apply(edit, true);
    if (!recorded)
        emit unrecordedChange();
}

void Curves::addCurve()
{
    Edit edit{Edit::Add, count(), 0, {}, {nextId(), nextName(), nextColor(), emptyGrid()}, currentId(), 0};
    edit.currentAfter = edit.after.id;
    record(std::move(edit));
}

void Curves::removeCurve(int index)
{
    if (index < 0 || index >= count() || count() < 2)
        return;
    Curve gone = mList[index];
    gone.rows = rows(index);
    const int stays = index == mCurrent ? (index + 1 < count() ? index + 1 : index - 1) : mCurrent;
    record({Edit::Remove, index, 0, gone, {}, currentId(), mList[stays].id});
}

void Curves::rename(int index, const QString &name)
{
    const QString clean = cleanName(name);
    if (index < 0 || index >= count() || clean.isEmpty() || clean == mList[index].name)
        return;
    Edit edit{Edit::Rename, index, 0, mList[index], mList[index], currentId(), currentId()};
    edit.before.rows.clear();
    edit.after.rows.clear();
    edit.after.name = clean;
    record(std::move(edit));
}

void Curves::recolor(int index, quint32 color)
{
    if (index < 0 || index >= count() || color == mList[index].color)
        return;
    Edit edit{Edit::Recolor, index, 0, {}, {}, currentId(), currentId()};
    edit.before.color = mList[index].color;
    edit.after.color = color;
    record(std::move(edit));
}

void Curves::setRows(int index, const Grid &rows)
{
    if (index < 0 || index >= count() || index == mCurrent || rows == mList[index].rows)
        return;
    Edit edit{Edit::Rows, index, mList[index].id, {}, {}, currentId(), currentId()};
    edit.before.rows = mList[index].rows;
    edit.after.rows = rows;
    record(std::move(edit));
}

void Curves::apply(const Edit &edit, bool forward)
{
    const bool adds = (edit.kind == Edit::Add) == forward;
    switch (edit.kind) {
    case Edit::Add:
    case Edit::Remove:
        if (adds) {
            beginInsertRows({}, edit.index, edit.index);
            mList.insert(edit.index, edit.kind == Edit::Add ? edit.after : edit.before);
            if (edit.index <= mCurrent && count() > 1)
                ++mCurrent; // the one shown stays shown until the switch below
            endInsertRows();
            showCurrent(forward ? edit.currentAfter : edit.currentBefore);
        } else {
            // The one that goes is shown no longer first, so that its rows leave the table.
            showCurrent(forward ? edit.currentAfter : edit.currentBefore);
            const int stays = mList[mCurrent].id;
            beginRemoveRows({}, edit.index, edit.index);
            mList.removeAt(edit.index);
            endRemoveRows();
            mCurrent = indexOf(stays);
        }
        emit currentChanged(mCurrent);
        break;
    case Edit::Rename:
        mList[edit.index].name = forward ? edit.after.name : edit.before.name;
        emit dataChanged(index(edit.index), index(edit.index));
        break;
    case Edit::Recolor:
        mList[edit.index].color = forward ? edit.after.color : edit.before.color;
        emit dataChanged(index(edit.index), index(edit.index));
        break;
    case Edit::Rows: {
        const int at = indexOf(edit.id);
        const Grid &grid = forward ? edit.after.rows : edit.before.rows;
        if (at == mCurrent)
            mTable.showGrid(grid);
        else if (at >= 0)
            mList[at].rows = grid;
        break;
    }
    }
}

void Curves::reset(QList<Curve> curves, int current)
{
    if (curves.isEmpty())
        curves.append({1, tr("Curve %1").arg(1), kFirstColor, emptyGrid()});
    beginResetModel();
    mList = std::move(curves);
    mCurrent = std::clamp(current, 0, count() - 1);
    mTable.showGrid(mList[mCurrent].rows.isEmpty() ? emptyGrid() : mList[mCurrent].rows);
    mList[mCurrent].rows.clear();
    endResetModel();
    emit currentChanged(mCurrent);
}

void Curves::resetToOne()
{
    reset({{1, tr("Curve %1").arg(1), kFirstColor, emptyGrid()}}, 0);
}

int Curves::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant Curves::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Curve &c = mList[index.row()];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return c.name;
    if (role == Qt::DecorationRole)
        return toQColor(c.color);
    return {};
}

Qt::ItemFlags Curves::flags(const QModelIndex &index) const
{
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

bool Curves::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    emit renameRequested(index.row(), value.toString());
    return true;
}

PicturePoint pointOfRow(const PointTableModel::Row &row)
{
    const NumberReader read;
    constexpr int x = PointTableModel::kValueColumns;
    return {roundToInt32(read(row[x]).value_or(0)), roundToInt32(read(row[x + 1]).value_or(0))};
}

} // namespace chartrek
