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
        for (Ref r : {RefX1, RefX2, RefY1, RefY2})
            cal.record().backColor[r] = ColorSet;
    }
};

const ValuePoint kUntouched{-777, -777};

} // namespace

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void conversion_data()
    {
        // Field texts use "." for the locale's separator; every row runs in both locales.
        QTest::addColumn<QString>("x1");
        QTest::addColumn<QString>("x2");
        QTest::addColumn<bool>("xLog");
        QTest::addColumn<int>("px");
        QTest::addColumn<double>("expected");
        QTest::newRow("linear, midway") << "0" << "1" << false << -2250 << 0.5;
        QTest::newRow("linear, at the origin exactly X1") << "0" << "1" << false << -1500 << 0.0;
        QTest::newRow("linear, at X2") << "0" << "1" << false << -3000 << 1.0;
        QTest::newRow("linear, beyond X2 extrapolates") << "10" << "20" << false << -4500 << 30.0;
        QTest::newRow("linear, decimal values") << "0.5" << "2.5" << false << -2250 << 1.5;
        QTest::newRow("log, midway gives 10^1") << "0" << "2" << true << -2250 << 10.0;
        QTest::newRow("log, at X1 gives 10^X1") << "0" << "2" << true << -1500 << 1.0;
        QTest::newRow("log, exponents reversed still grow towards X2") << "2" << "0" << true << -3000 << 1e4;
        QTest::newRow("log, empty X1 counts as exponent 0") << "" << "2" << true << -3000 << 100.0;
    }
    void conversion()
    {
        QFETCH(QString, x1);
        QFETCH(QString, x2);
        QFETCH(bool, xLog);
        QFETCH(int, px);
        QFETCH(double, expected);
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            LocaleScope scope(locale);
            Fixture f;
            f.cal.record().field[RefX1] = QString(x1).replace(QLatin1Char('.'), locale.decimalPoint());
            f.cal.record().field[RefX2] = QString(x2).replace(QLatin1Char('.'), locale.decimalPoint());
            f.cal.record().xLog = xLog;
            ValuePoint v;
            f.cal.PictureToValue({px, -600}, v);
            QVERIFY2(std::abs(v.x - expected) <= std::abs(expected) * 1e-12, qPrintable(QString::number(v.x, 'g', 17)));
            QCOMPARE(v.y, 0.0);
        }
    }

    void yAxisIsIndependentOfX()
    {
        Fixture f;
        f.cal.record().field[RefY1] = QStringLiteral("100");
        f.cal.record().field[RefY2] = QStringLiteral("200");
        ValuePoint v;
        f.cal.PictureToValue({-99999, -2100}, v);
        QCOMPARE(v.y, 150.0);
    }

    void failuresLeaveTheOutputUntouched_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("log");
        QTest::addColumn<double>("x2Pix");
        QTest::newRow("empty X1 on a linear axis") << int(RefX1) << "" << false << -3000.0;
        QTest::newRow("empty Y2 on a linear axis") << int(RefY2) << "" << false << -3000.0;
        QTest::newRow("not a number in a y field") << int(RefY1) << "abc" << false << -3000.0;
        QTest::newRow("not a number on a log axis") << int(RefX2) << "1x" << true << -3000.0;
        QTest::newRow("origin and X2 at the same x") << int(RefX1) << "0" << false << -1500.0;
        QTest::newRow("result beyond the double range") << int(RefX2) << "400" << true << -3000.0;
        QTest::newRow("other locale's separator") << int(RefX2) << "1,5" << false << -3000.0;
    }
    void failuresLeaveTheOutputUntouched()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(bool, log);
        QFETCH(double, x2Pix);
        LocaleScope scope(pointLocale());
        Fixture f;
        f.state.mX2Pix = x2Pix;
        f.cal.record().field[field] = text;
        f.cal.record().xLog = log;
        ValuePoint v = kUntouched;
        f.cal.PictureToValue({-3000, -3000}, v);
        QCOMPARE(v.x, kUntouched.x);
        QCOMPARE(v.y, kUntouched.y);
    }

    void isCalibrated()
    {
        Fixture f;
        QVERIFY(f.cal.IsCalibrated());
        f.cal.record().backColor[RefY2] = ColorWaiting; // waiting counts as set
        QVERIFY(f.cal.IsCalibrated());
        f.cal.record().backColor[RefX2] = ColorNotSet;
        QVERIFY(!f.cal.IsCalibrated());
        f.cal.record().backColor[RefX2] = ColorSet;
        f.picture.held = false;
        QVERIFY(!f.cal.IsCalibrated());
    }

    void controlToPicture()
    {
        // Display offset (300, 150) twips, half scale: the point 1000 twips right of the
        // picture's corner on screen is 500 picture units in.
        const PictureCoords c = ControlToPicture(1300, 650, 300, 150, 0.5);
        QCOMPARE(c.x, -500.0f);
        QCOMPARE(c.y, -250.0f);
        QCOMPARE(toPicturePoint({-2.5f, -3.5f}), (PicturePoint{-2, -4})); // ties to even
        QCOMPARE(roundToInt32(1e12), std::numeric_limits<qint32>::max());
    }

    void referenceCaptionsRoundTrip()
    {
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            LocaleScope scope(locale);
            Fixture f;
            f.cal.setReferencePosition(RefX1, -1234.5f);
            QCOMPARE(f.cal.record().caption[RefX1], QString(QStringLiteral("-1234.5")).replace(QLatin1Char('.'), locale.decimalPoint()));
            QCOMPARE(f.state.mX1Pix, -1234.5);
            // Seven significant digits are what is kept.
            f.cal.setReferencePosition(RefY2, -491400.25f);
            QCOMPARE(f.state.mY2Pix, -491400.2); // the binary value is an exact tie: to even
        }
    }
};

QTEST_GUILESS_MAIN(TestCalibration)
#include "test_calibration.moc"
