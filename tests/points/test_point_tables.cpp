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

// Sorted or not, the tool that adds, and the row a point at this x goes to after 1, 3 and 5.
struct Insertion { bool sorted; int tool; double x; int row; };

} // namespace

class TestPointTables : public QObject {
    Q_OBJECT
private slots:
    void insertion_data()
    {
        QTest::addColumn<Insertion>("row");
        QTest::newRow("sorted: 4 goes before 5") << Insertion{true, SharedState::PointTool, 4.0, 3};
        QTest::newRow("sorted: an equal x goes after the existing one") << Insertion{true, SharedState::PointTool, 3.0, 3};
        QTest::newRow("sorted: the largest goes last") << Insertion{true, SharedState::PointTool, 9.0, 4};
        QTest::newRow("appending") << Insertion{false, SharedState::PointTool, 0.0, 4};
        QTest::newRow("the tracer appends even when sorting") << Insertion{true, SharedState::AutoLineTool, 0.0, 4};
    }
    void insertion()
    {
        QFETCH(Insertion, row);
        const auto &[sorted, tool, x, expectedRow] = row;
        Rig rig;
        QCOMPARE(rig.add(1), 1); // the first point goes to row 1 in any mode
        rig.add(3);
        rig.add(5);
        rig.state.mSortData = sorted;
        rig.state.mToolMode = tool;
        QCOMPARE(rig.add(x, 7), expectedRow);
        QCOMPARE(rig.model.rows(), 6);
        QCOMPARE(rig.model.cell(Orig, expectedRow, 1), QStringLiteral("-700"));
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

    // Every row is worked out again from its picture coordinates; a row whose value is beyond
    // the double range gets zeros, not the values of the row before it, and so does a new one.
    void recalculation()
    {
        Rig rig;
        rig.add(1, 1);
        rig.add(2, 2);
        rig.cal.record().xLog = true;
        rig.cal.record().yLog = true;
        rig.cal.record().field[RefX2] = QStringLiteral("300");
        rig.tables.RecalculatePoints();
        QCOMPARE(rig.add(3, 3), 1); // x 0 sorts first
        QCOMPARE(rig.column(Data, 0), (QStringList{"0.000 E0", "1.000 E300", "0.000 E0"}));
        QCOMPARE(rig.column(Data, 1), (QStringList{"0.000 E0", "1.000 E1", "0.000 E0"}));
        QCOMPARE(rig.column(Orig, 2), (QStringList{"0", "1E+300", "0"}));
        QCOMPARE(rig.column(Orig, 3), (QStringList{"0", "10", "0"}));
        QCOMPARE(rig.column(Orig, 0), (QStringList{"-300", "-100", "-200"})); // picture coordinates kept
    }
};

QTEST_GUILESS_MAIN(TestPointTables)
#include "test_point_tables.moc"
