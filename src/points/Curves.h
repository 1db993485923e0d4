#pragma once

#include "calibration/Calibration.h"
#include "points/PointTableModel.h"

#include <QAbstractListModel>
#include <QColor>
#include <QList>
#include <QString>

namespace chartrek {

// The curves of one figure, each with its name, its marker colour and its own point table. The
// current curve's table is the one the window shows and every capture, deletion and undo acts
// on: its rows live in the shown table model, the others' rows here. Switching curves moves
// rows between the two and recomputes nothing.
//
// As a Qt model it lists the curves: the name (editable, a rename), the colour as decoration.
class Curves : public QAbstractListModel {
    Q_OBJECT
public:
    using Grid = QList<PointTableModel::Row>;
    struct Curve {
        int id = 0; // unchanged for the curve's life, so that the history finds it after a move
        QString name;
        quint32 color = 0; // 0x00BBGGRR, as the markers draw it
        Grid rows;         // the grid rows while another curve is current; empty for the current
    };

    // One change to the curves, as the undo history keeps it.
    struct Edit {
        enum Kind { Add, Remove, Rename, Recolor, Rows } kind = Rename;
        int index = 0;    // where the curve stands in the list (Add, Remove, Rename, Recolor)
        int id = 0;       // the curve whose rows changed (Rows)
        Curve before, after;
        int currentBefore = 0, currentAfter = 0; // ids
    };

    static constexpr quint32 kFirstColor = 0x0000FF; // red, the markers' colour of a single curve

    explicit Curves(PointTableModel &table, QObject *parent = nullptr);

    int count() const { return int(mList.size()); }
    int current() const { return mCurrent; }
    int currentId() const { return mList[mCurrent].id; }
    int indexOf(int id) const;
    const QString &name(int index) const { return mList[index].name; }
    quint32 color(int index) const { return mList[index].color; }
    // The grid rows of a curve (header, one row per point, the trailing empty row).
    const Grid &rows(int index) const;
    int pointCount(int index) const { return int(rows(index).size()) - 2; }
    // The grid of a curve without points, with the headers the shown table has.
    static Grid emptyGrid();

    // Shows another curve's table. Not a change of the figure: no step of the history.
    void setCurrent(int index);

    // Changes of the figure, each recorded while a step of the history is open.
    void addCurve(); // named and coloured as the next, appended, made current
    void removeCurve(int index);
    void rename(int index, const QString &name);
    void recolor(int index, quint32 color);
    // The rows of a curve other than the current one (the current one's change in the table).
    void setRows(int index, const Grid &rows);
    // Rows whose values are computed: written without a record, as the table's values are.
    Grid &computedRows(int index) { return mList[index].rows; }

    // The whole set at once (a new picture, an opened project): the history starts afresh.
    void reset(QList<Curve> curves, int current);
    // One curve, "Curve 1", empty.
    void resetToOne();

    QString nextName() const;
    quint32 nextColor() const;
    // Names hold no tabs or line ends: they head blocks of text files.
    static QString cleanName(const QString &name);

    void setJournal(QList<Edit> *journal) { mJournal = journal; }
    void apply(const Edit &edit, bool forward);

    // QAbstractListModel
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void currentChanged(int index);
    // A change made while no step of the history was open: the history no longer fits.
    void unrecordedChange();
    // A rename through the list asks for a step of its own.
    void renameRequested(int index, const QString &name);

private:
    void record(Edit &&edit);
    void showCurrent(int id);
    int nextId() const;

    PointTableModel &mTable;
    QList<Curve> mList;
    int mCurrent = 0;
    QList<Edit> *mJournal = nullptr;
};

// The picture position a grid row holds (columns of the picture table), as the tables read it.
PicturePoint pointOfRow(const PointTableModel::Row &row);

} // namespace chartrek
