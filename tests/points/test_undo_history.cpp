// Undo and redo of every kind of change to the point tables: the tables come back row for row.
#include "TestSupport.h"
#include "points/UndoHistory.h"

#include <QtTest>

#include <functional>

using namespace chartrek;
using namespace chartrek::test;

namespace {

struct Rig : CalibratedTables {
    UndoHistory history{model};
    Rig()
    {
        tables.setHistory(&history);
        add(1, 2);
        add(3, 4);
        history.clear();
    }
    // Every cell of both tables, header row included.
    QStringList grid() const
    {
        QStringList cells;
        for (int row = 0; row < model.rows(); ++row)
            for (auto table : {PointTableModel::DataPoints, PointTableModel::Originale})
                for (int c = 0; c < model.columns(table); ++c)
                    cells << model.cell(table, row, c);
        return cells;
    }
};

using Change = std::function<void(Rig &)>;

} // namespace

class TestUndoHistory : public QObject {
    Q_OBJECT
private slots:
    void eachStepIsUndoneAndRedone_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("name");
        QTest::newRow("a captured point") << Change([](Rig &r) { r.add(2, 9); }) << "capture point";
        QTest::newRow("a deleted point") << Change([](Rig &r) { r.tables.removePoint(1); }) << "delete point";
        QTest::newRow("Delete data") << Change([](Rig &r) { r.tables.ResetPointTables(); }) << "delete data";
        QTest::newRow("a whole trace") << Change([](Rig &r) {
            UndoHistory::Step trace(&r.history, QStringLiteral("Autoline"));
            for (int k = 0; k < 5; ++k)
                r.add(5 + k, k);
        }) << "Autoline";
    }
    void eachStepIsUndoneAndRedone()
    {
        QFETCH(Change, change);
        QFETCH(QString, name);
        Rig r;
        const QStringList before = r.grid();
        change(r);
        const QStringList after = r.grid();
        QVERIFY(after != before);
        QCOMPARE(r.history.undoName(), name);
        r.history.undo();
        QCOMPARE(r.grid(), before);
        QCOMPARE(r.history.redoName(), name);
        r.history.redo();
        QCOMPARE(r.grid(), after);
        QVERIFY(r.history.canUndo() && !r.history.canRedo());
    }

    // A new step after an undo drops what could be redone; a trace that took back what it
    // added, and a new picture, leave no step; a change outside a step clears the history; over
    // its memory limit the oldest steps go, never the newest.
    void whatTheHistoryKeeps()
    {
        Rig r;
        r.add(5);
        r.add(6);
        r.history.undo();
        r.add(7);
        QVERIFY(!r.history.canRedo());
        QCOMPARE(r.history.steps(), 2);
        {
            UndoHistory::Step trace(&r.history, QStringLiteral("Autoline"));
            r.add(8);
            r.tables.keepPoints(4);
            r.history.dropOpenStep();
        }
        QCOMPARE(r.history.steps(), 2);
        r.model.setCell(PointTableModel::DataPoints, 1, 0, QStringLiteral("typed"));
        QCOMPARE(r.history.steps(), 0);
        r.add(9);
        r.tables.startAfresh();
        QVERIFY(!r.history.canUndo());
        QCOMPARE(r.tables.pointCount(), 0);
        for (int k = 2; k <= 4; ++k)
            r.add(k);
        r.history.setMemoryLimit(r.history.approximateBytes() * 3 / 4);
        QCOMPARE(r.history.steps(), 2);
        r.history.setMemoryLimit(1);
        QVERIFY(r.tables.undo() && !r.tables.undo());
        QCOMPARE(r.tables.pointCount(), 2); // the newest capture was the one left to undo
    }
};

QTEST_MAIN(TestUndoHistory)
#include "test_undo_history.moc"
