#include "TestSupport.h"
#include "calibration/Calibration.h"
#include "calibration/CalibrationGrid.h"
#include "core/NumberText.h"

#include <QTest>

#include <cmath>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A calibration with references at picture x -1500 / -3000 and y -600 / -3600.
struct Fixture {
    SharedState state;
    FakePicture picture;
    Calibration cal{state, picture};

    Fixture()
    {
        state.mX1Pix = -1500;
        state.mX2Pix = -3000;
        state.mY1Pix = -600;
        state.mY2Pix = -3600;
        cal.record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
    }
};

// X1 and X2 typed (with "." for the locale's separator), whether x is logarithmic, a picture x
// and the value expected there.
struct Conversion { QString x1, x2; bool xLog; int px; double expected; };
// X1 and X2 typed, whether x is logarithmic, the picture x range seen, about how many lines it
// may hold, and the lines' values as their labels show them.
struct Grid { QString x1, x2; bool xLog; double from, to; int lines; QStringList labels; };
// One field's text and whether x is logarithmic, with X2 at that picture x.
struct Fault { int field; QString text; bool log; double x2Pix; };

} // namespace

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void conversion_data()
    {
        // Every row runs in both locales.
        QTest::addColumn<Conversion>("row");
        QTest::newRow("linear, decimal values") << Conversion{"0.5", "2.5", false, -2250, 1.5};
        QTest::newRow("linear, beyond X2 extrapolates") << Conversion{"10", "20", false, -4500, 30.0};
        QTest::newRow("log, midway gives 10^1") << Conversion{"0", "2", true, -2250, 10.0};
        QTest::newRow("log, exponents reversed still grow towards X2") << Conversion{"2", "0", true, -3000, 1e4};
        QTest::newRow("log, empty X1 counts as exponent 0") << Conversion{"", "2", true, -3000, 100.0};
    }
    void conversion()
    {
        QFETCH(Conversion, row);
        const auto &[x1, x2, xLog, px, expected] = row;
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            LocaleScope scope(locale);
            Fixture f;
            f.cal.record().field = {inLocale(x1, locale), inLocale(x2, locale), QStringLiteral("100"), QStringLiteral("200")};
            f.cal.record().xLog = xLog;
            ValuePoint v;
            f.cal.PictureToValue({px, -2100}, v);
            QVERIFY2(std::abs(v.x - expected) <= std::abs(expected) * 1e-12, qPrintable(QString::number(v.x, 'g', 17)));
            QCOMPARE(v.y, 150.0); // y from the y references alone
        }
    }

    // The grid that checks a calibration: each line where the conversion puts its value.
    void gridLinesLieWhereTheirValuesAre_data()
    {
        QTest::addColumn<Grid>("row");
        const QStringList decades{"0.1", "1", "10", "100", "1000"};
        QTest::newRow("linear: steps of 5") << Grid{"0", "10", false, 0, -6000, 8, {"-10", "-5", "0", "5", "10", "15", "20", "25", "30"}};
        QTest::newRow("linear: steps of 0.05 written short")
            << Grid{"0", "0.1", false, 0, -4500, 6, {"-0.1", "-0.05", "0", "0.05", "0.1", "0.15", "0.2"}};
        QTest::newRow("log: the decades") << Grid{"0", "1", true, 0, -6000, 4, decades};
        QTest::newRow("log: 1, 2 and 5 of each decade")
            << Grid{"0", "1", true, 0, -6000, 12, {"0.1", "0.2", "0.5", "1", "2", "5", "10", "20", "50", "100", "200", "500", "1000"}};
        QTest::newRow("log: 1 to 9 within one decade")
            << Grid{"0", "1", true, -1500, -3000, 9, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}};
        QTest::newRow("log: too short a range for two such lines, round linear values")
            << Grid{"0", "1", true, -1500, -1800, 5, {"1", "1.2", "1.4"}};
        QTest::newRow("none where the conversion fails") << Grid{"1x", "1", false, 0, -6000, 8, {}};
    }
    void gridLinesLieWhereTheirValuesAre()
    {
        QFETCH(Grid, row);
        LocaleScope scope(pointLocale());
        Fixture f;
        f.cal.record().field = {row.x1, row.x2, QStringLiteral("0"), QStringLiteral("1")};
        f.cal.record().xLog = row.xLog;
        const auto maps = axisMaps(f.cal, 6000, 6000);
        QCOMPARE(maps.has_value(), !row.labels.isEmpty());
        if (!maps)
            return;
        QStringList labels;
        for (const GridLine &line : gridLines(maps->first, row.from, row.to, row.lines)) {
            labels << generalNumberText(line.value);
            // X1 at -1500, X2 at -3000: the value or its exponent grows by X2 - X1 over 1500 twips.
            const double typed = row.xLog ? std::log10(line.value) : line.value;
            const double x1 = row.x1.toDouble(), x2 = row.x2.toDouble();
            QVERIFY2(std::abs(line.position - (-1500 - 1500 * (typed - x1) / (x2 - x1))) < 1e-6, qPrintable(labels.last()));
        }
        QCOMPARE(labels, row.labels);
    }

    void failuresLeaveTheOutputUntouched_data()
    {
        QTest::addColumn<Fault>("row");
        QTest::newRow("empty Y2 on a linear axis, after a good x") << Fault{RefY2, "", false, -3000.0};
        QTest::newRow("not a number on a log axis") << Fault{RefX2, "1x", true, -3000.0};
        QTest::newRow("origin and X2 at the same x") << Fault{RefX1, "0", false, -1500.0};
        QTest::newRow("result beyond the double range") << Fault{RefX2, "400", true, -3000.0};
    }
    void failuresLeaveTheOutputUntouched()
    {
        QFETCH(Fault, row);
        const auto &[field, text, log, x2Pix] = row;
        Fixture f;
        f.state.mX2Pix = x2Pix;
        f.cal.record().field[field] = text;
        f.cal.record().xLog = log;
        ValuePoint v{-777, -777};
        f.cal.PictureToValue({-3000, -3000}, v);
        QCOMPARE(v.x, -777.0);
        QCOMPARE(v.y, -777.0);
    }

    void isCalibrated()
    {
        Fixture f;
        QVERIFY(f.cal.IsCalibrated());
        f.picture.held = false;
        QVERIFY(!f.cal.IsCalibrated());
    }

    void rounding()
    {
        QCOMPARE(toPicturePoint({-2.5f, -3.5f}), (PicturePoint{-2, -4})); // ties to even
        QCOMPARE(roundToInt32(1e12), std::numeric_limits<qint32>::max());
    }

    // A captured position is shown with the 7 digits of a single in the locale's notation,
    // and the position is what the caption says.
    void referenceCaptionsRoundTrip()
    {
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            LocaleScope scope(locale);
            Fixture f;
            f.cal.setReferencePosition(RefX1, -1234.567f);
            QCOMPARE(f.cal.record().caption[RefX1], inLocale(QStringLiteral("-1234.567"), locale));
            QCOMPARE(f.state.mX1Pix, -1234.567);
        }
    }
};

QTEST_GUILESS_MAIN(TestCalibration)
#include "test_calibration.moc"
