#include "TestSupport.h"
#include "core/NumberText.h"
#include "points/PointTables.h"

#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr auto Data = PointTableModel::DataPoints;
constexpr auto Orig = PointTableModel::Originale;

struct Rig : CalibratedTables {
    QStringList column(PointTableModel::Table t, int c) const
    {
        QStringList out;
        for (int r = 1; r < model.rows() - 1; ++r)
            out << model.cell(t, r, c);
        return out;
    }
};

} // namespace

class TestPointTables : public QObject {
    Q_OBJECT
private slots:
    void insertion_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("tool");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("row");
        QTest::newRow("sorted: 4 goes before 5") << true << int(SharedState::PointTool) << 4.0 << 3;
        QTest::newRow("sorted: an equal x goes after the existing one") << true << int(SharedState::PointTool) << 3.0 << 3;
        QTest::newRow("sorted: the largest goes last") << true << int(SharedState::PointTool) << 9.0 << 4;
        QTest::newRow("sorted: the smallest goes first") << true << int(SharedState::PointTool) << -1.0 << 1;
        QTest::newRow("appending") << false << int(SharedState::PointTool) << 0.0 << 4;
        QTest::newRow("the tracer appends even when sorting") << true << int(SharedState::AutoLineTool) << 0.0 << 4;
    }
    void insertion()
    {
        QFETCH(bool, sorted);
        QFETCH(int, tool);
        QFETCH(double, x);
        QFETCH(int, row);
        Rig rig;
        QCOMPARE(rig.add(1), 1); // the first point goes to row 1 in any mode
        rig.add(3);
        rig.add(5);
        rig.state.mSortData = sorted;
        rig.state.mToolMode = tool;
        QCOMPARE(rig.add(x, 7), row);
        QCOMPARE(rig.model.rows(), 6);
        QCOMPARE(rig.model.cell(Orig, row, 1), QStringLiteral("-700"));
        QCOMPARE(rig.model.cell(Data, row, 1), QStringLiteral("7.000"));
        QVERIFY(rig.model.cell(Orig, 5, 0).isEmpty()); // trailing empty row stays last
    }

    void cellTexts_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("row"); // display x, display y, picture x, picture y, full x, full y
        QTest::newRow("decimal point") << pointLocale()
                                       << QStringList{"1.000 E3", "2.500", "-1500", "-2250", "1000", "2.5"};
        QTest::newRow("decimal comma") << commaLocale()
                                       << QStringList{"1,000 E3", "2,500", "-1500", "-2250", "1000", "2,5"};
    }
    void cellTexts()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, row);
        LocaleScope scope(locale);
        Rig rig;
        // Log x: exponent 0 at x 0 and 2 at -1000, so -1500 is 10^3; linear y 0..1 over 0..-900.
        rig.cal.record().xLog = true;
        rig.cal.record().field[RefX2] = QStringLiteral("2");
        rig.state.mX2Pix = -1000;
        rig.state.mY2Pix = -900;
        rig.tables.AddPointToTables({-1500, -2250});
        const QStringList actual{rig.model.cell(Data, 1, 0), rig.model.cell(Data, 1, 1), rig.model.cell(Orig, 1, 0),
                                 rig.model.cell(Orig, 1, 1), rig.model.cell(Orig, 1, 2), rig.model.cell(Orig, 1, 3)};
        QCOMPARE(actual, row);
    }

    void failedConversionAddsZeros()
    {
        Rig rig;
        rig.cal.record().field[RefX1] = QStringLiteral("oops");
        rig.add(4, 4);
        QCOMPARE(rig.column(Data, 0), QStringList{"0.000"});
        QCOMPARE(rig.column(Orig, 2), QStringList{"0"});
    }

    void clearAndReset()
    {
        Rig rig;
        rig.tables.ClearPointRows(); // nothing to remove
        QCOMPARE(rig.model.rows(), 2);
        rig.add(1);
        rig.add(2);
        rig.tables.ClearPointRows();
        QCOMPARE(rig.model.rows(), 2);
        QCOMPARE(rig.model.cell(Data, 0, 0), QStringLiteral("X"));
        rig.add(1);
        rig.model.setCell(Data, 0, 0, QStringLiteral("changed"));
        rig.tables.ResetPointTables();
        QCOMPARE(rig.model.rows(), 2);
        QCOMPARE(rig.model.cell(Data, 0, 0), QStringLiteral("X"));
        QCOMPARE(rig.model.cell(Orig, 0, 1), QStringLiteral("Y"));
        QVERIFY(rig.model.cell(Orig, 0, 2).isEmpty());
        QVERIFY(rig.model.cell(Data, 1, 0).isEmpty());
    }

    void recalculation()
    {
        Rig rig;
        rig.add(1, 1);
        rig.add(2, 2);
        rig.cal.record().field[RefX2] = QStringLiteral("10"); // x now 10 per 100 units
        rig.cal.record().yLog = true;                          // y: 10^exponent
        rig.tables.RecalculatePoints();
        QCOMPARE(rig.column(Data, 0), (QStringList{"10.000", "20.000"}));
        QCOMPARE(rig.column(Data, 1), (QStringList{"1.000 E1", "1.000 E2"}));
        QCOMPARE(rig.column(Orig, 2), (QStringList{"10", "20"}));
        QCOMPARE(rig.column(Orig, 0), (QStringList{"-100", "-200"})); // picture coordinates kept
    }

    void recalculationNeverCopiesAnotherRowsValues()
    {
        // On a log axis reaching 10^300 at the first point, the second point's value is beyond
        // the double range: its row must get zeros, not the first row's values.
        Rig rig;
        rig.add(1, 1);
        rig.add(2, 2);
        rig.cal.record().xLog = true;
        rig.cal.record().field[RefX2] = QStringLiteral("300");
        rig.tables.RecalculatePoints();
        QCOMPARE(rig.column(Orig, 2), (QStringList{"1E+300", "0"}));
        QCOMPARE(rig.column(Orig, 3), (QStringList{"1", "0"}));
        QCOMPARE(rig.column(Data, 0), (QStringList{"1.000 E300", "0.000 E0"}));
    }

    void exportText_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("pointDecimal");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clipboard, decimal comma keeps commas")
            << commaLocale() << false << "0,5\t12,25\r\n1\t1,5E-07\r\n";
        QTest::newRow("file, decimal comma becomes point")
            << commaLocale() << true << "0.5\t12.25\r\n1\t1.5E-07\r\n";
        QTest::newRow("clipboard, decimal point") << pointLocale() << false << "0.5\t12.25\r\n1\t1.5E-07\r\n";
        QTest::newRow("file, decimal point") << pointLocale() << true << "0.5\t12.25\r\n1\t1.5E-07\r\n";
    }
    void exportText()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, pointDecimal);
        QFETCH(QString, expected);
        LocaleScope scope(locale);
        PointTableModel model;
        // Cell texts as the tables write them in this locale.
        const auto cells = [&](QString t) { return t.replace(QLatin1Char('.'), locale.decimalPoint()); };
        model.insertRowTexts(1, QStringLiteral("a\tb"), cells(QStringLiteral("0\t0\t0.5\t12.25")));
        model.insertRowTexts(2, QStringLiteral("a\tb"), cells(QStringLiteral("0\t0\t1\t1.5E-07")));
        QCOMPARE(BuildExportText(model, pointDecimal), expected);
        QVERIFY(BuildExportText(PointTableModel(), pointDecimal).isEmpty());
    }

    void exportUsesFullValuesNotDisplayTexts()
    {
        Rig rig;
        rig.cal.record().xLog = true;
        rig.cal.record().field[RefX2] = QStringLiteral("3");
        rig.add(1, 0.5); // 10^3
        QCOMPARE(rig.model.cell(Data, 1, 0), QStringLiteral("1.000 E3"));
        QCOMPARE(BuildExportText(rig.model, true), QStringLiteral("1000\t0.5\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestPointTables)
#include "test_point_tables.moc"
