#include "TestSupport.h"
#include "calibration/Calibration.h"

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
