#include "TestSupport.h"
#include "core/NumberText.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <string>

using namespace chartrek;
using namespace chartrek::test;

// Expected texts are written with "." and "," standing for the locale's decimal separator;
// each row runs in both a decimal-point and a decimal-comma locale.
static QString inLocale(QString text, const QLocale &locale)
{
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}

// Switches the C library's LC_NUMERIC for the life of the object.
class CNumericScope {
public:
    explicit CNumericScope(const char *name) : mOld(std::setlocale(LC_NUMERIC, nullptr))
    {
        mActive = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~CNumericScope() { std::setlocale(LC_NUMERIC, mOld.c_str()); }
    bool active() const { return mActive; }

private:
    std::string mOld;
    bool mActive = false;
};

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void generalText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0 << 15 << "0";
        QTest::newRow("plain fraction") << 12.25 << 15 << "12.25";
        QTest::newRow("negative") << -2.5 << 15 << "-2.5";
        QTest::newRow("integer keeps no separator") << 1000.0 << 15 << "1000";
        QTest::newRow("1E-05 is exponent notation") << 0.00001 << 15 << "1E-05";
        QTest::newRow("0.0001 is plain") << 0.0001 << 15 << "0.0001";
        QTest::newRow("1E+14 is plain") << 1e14 << 15 << "100000000000000";
        QTest::newRow("1E+15 is exponent notation") << 1e15 << 15 << "1E+15";
        QTest::newRow("negative exponent notation") << -1.5e-7 << 15 << "-1.5E-07";
        QTest::newRow("three exponent digits") << 2.5e-300 << 15 << "2.5E-300";
        QTest::newRow("rounded to 15 digits") << 1.0 / 3.0 << 15 << "0.333333333333333";
        QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << 15 << "0.3";
        QTest::newRow("rounding carries into the exponent") << 99999999999999.99 << 15 << "100000000000000";
        QTest::newRow("rounding carries past 14") << 999999999999999.9 << 15 << "1E+15";
        QTest::newRow("long mantissa in exponent form") << 123456789012345678.0 << 15 << "1.23456789012346E+17";
        QTest::newRow("single, 7 digits") << double(-1500.5f) << 7 << "-1500.5";
        QTest::newRow("single rounded to 7 digits") << 1234567.8 << 7 << "1234568";
        QTest::newRow("single past 7 digits") << 12345678.0 << 7 << "1.234568E+07";
    }
    void generalText()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(QString, expected);
        for (const QLocale &locale : {pointLocale(), commaLocale()})
            QCOMPARE(generalNumberText(value, locale, digits), inLocale(expected, locale));
    }

    void axisText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<QString>("expected");
        QTest::newRow("linear") << 2.5 << false << "2.500";
        QTest::newRow("linear rounded") << 1234.56789 << false << "1234.568";
        QTest::newRow("linear negative") << -12.5 << false << "-12.500";
        QTest::newRow("linear zero") << 0.0 << false << "0.000";
        QTest::newRow("linear tiny negative shows no sign") << -0.0001 << false << "0.000";
        QTest::newRow("log") << 12346.0 << true << "1.235 E4";
        QTest::newRow("log negative exponent") << 0.00125 << true << "1.250 E-3";
        QTest::newRow("log exponent zero") << 5.0 << true << "5.000 E0";
        QTest::newRow("log power of ten") << 100.0 << true << "1.000 E2";
        QTest::newRow("log mantissa rounds up into the exponent") << 9.9996 << true << "1.000 E1";
        QTest::newRow("log negative value") << -12346.0 << true << "-1.235 E4";
        QTest::newRow("log big exponent") << 1.5e300 << true << "1.500 E300";
    }
    void axisText()
    {
        QFETCH(double, value);
        QFETCH(bool, logarithmic);
        QFETCH(QString, expected);
        // The C library's number locale, which Qt sets from the environment, must not leak in.
        for (const char *cLocale : {"C", "de_DE.UTF-8"}) {
            const CNumericScope scope(cLocale);
            QVERIFY2(scope.active(), cLocale);
            for (const QLocale &locale : {pointLocale(), commaLocale()})
                QCOMPARE(FormatAxisValue(value, logarithmic, locale), inLocale(expected, locale));
        }
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text"); // "." stands for the locale's separator
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("expected");
        QTest::newRow("integer") << "3" << true << 3.0;
        QTest::newRow("fraction") << "2.5" << true << 2.5;
        QTest::newRow("negative") << "-0.5" << true << -0.5;
        QTest::newRow("exponent notation as written") << "1.5E-07" << true << 1.5e-7;
        QTest::newRow("surrounding blanks") << " 4 " << true << 4.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "  " << false << 0.0;
        QTest::newRow("trailing garbage") << "12abc" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("beyond the double range") << "1E400" << false << 0.0;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, expected);
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            const auto value = parseNumber(inLocale(text, locale), locale);
            QCOMPARE(value.has_value(), ok);
            if (ok)
                QCOMPARE(*value, expected);
        }
    }

    void otherSeparatorIsRejected()
    {
        // In a decimal-comma locale "2.5" must not be read as 25 (digit grouping), and in a
        // decimal-point locale "2,5" must not be read as 25 either.
        QVERIFY(!parseNumber(QStringLiteral("2.5"), commaLocale()));
        QVERIFY(!parseNumber(QStringLiteral("2,5"), pointLocale()));
        QVERIFY(!parseNumber(QStringLiteral("1.000"), commaLocale()));
    }

    void generalTextRoundTrips()
    {
        // What the tables store must parse back to the same 15-digit value in either locale.
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            for (double v : {0.5, -1234.5678, 1.5e-7, 2e15, 6.02214076e23, 1e-300}) {
                const auto back = parseNumber(generalNumberText(v, locale), locale);
                QVERIFY(back);
                QVERIFY2(std::abs(*back - v) <= std::abs(v) * 1e-14, qPrintable(generalNumberText(v, locale)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
