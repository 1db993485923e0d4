#include "TestSupport.h"
#include "core/NumberText.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <string>

using namespace chartrek;
using namespace chartrek::test;

namespace {
// Texts are written with "." for the locale's decimal separator; every row runs in both a
// decimal-point and a decimal-comma locale.
struct General { double value; int digits; QString expected; };
struct Axis { double value; bool logarithmic; QString expected; };
struct Parse { QString text; bool ok; double expected; }; // "~" in text: the other locale's separator
} // namespace

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { mNumeric = std::setlocale(LC_NUMERIC, nullptr); }
    void cleanup() { std::setlocale(LC_NUMERIC, mNumeric.c_str()); }

    void generalText_data()
    {
        QTest::addColumn<General>("row");
        QTest::newRow("zero") << General{0.0, 15, "0"};
        QTest::newRow("negative fraction") << General{-2.5, 15, "-2.5"};
        QTest::newRow("integer keeps no separator") << General{1000.0, 15, "1000"};
        QTest::newRow("0.0001 is plain") << General{0.0001, 15, "0.0001"};
        QTest::newRow("below it exponent notation") << General{-0.000015, 15, "-1.5E-05"};
        QTest::newRow("1E+14 is plain") << General{1e14, 15, "100000000000000"};
        QTest::newRow("1E+15 is exponent notation") << General{1e15, 15, "1E+15"};
        QTest::newRow("rounded to 15 digits") << General{1.0 / 3.0, 15, "0.333333333333333"};
        QTest::newRow("rounding carries past 14") << General{999999999999999.9, 15, "1E+15"};
        QTest::newRow("single rounded to 7 digits") << General{1234567.8, 7, "1234568"};
        QTest::newRow("single past 7 digits") << General{12345678.0, 7, "1.234568E+07"};
    }
    void generalText()
    {
        QFETCH(General, row);
        const auto &[value, digits, expected] = row;
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            const QString text = generalNumberText(value, locale, digits);
            QCOMPARE(text, inLocale(expected, locale));
            // What the tables store must read back to the value it was made from.
            const auto back = parseNumber(text, locale);
            QVERIFY(back && std::abs(*back - value) <= std::abs(value) * std::pow(10.0, 1 - digits));
        }
    }

    void axisText_data()
    {
        QTest::addColumn<Axis>("row");
        QTest::newRow("linear, rounded") << Axis{-1234.56789, false, "-1234.568"};
        QTest::newRow("linear, tiny negative shows no sign") << Axis{-0.0001, false, "0.000"};
        QTest::newRow("log") << Axis{-12346.0, true, "-1.235 E4"};
        QTest::newRow("log, negative exponent") << Axis{0.00125, true, "1.250 E-3"};
        QTest::newRow("log, mantissa rounds up into the exponent") << Axis{9.9996, true, "1.000 E1"};
    }
    void axisText()
    {
        QFETCH(Axis, row);
        const auto &[value, logarithmic, expected] = row;
        // The C library's number locale, which Qt sets from the environment, must not leak in.
        for (const char *cLocale : {"C", "de_DE.UTF-8"}) {
            QVERIFY2(std::setlocale(LC_NUMERIC, cLocale), cLocale);
            for (const QLocale &locale : {pointLocale(), commaLocale()})
                QCOMPARE(FormatAxisValue(value, logarithmic, locale), inLocale(expected, locale));
        }
    }

    void parse_data()
    {
        QTest::addColumn<Parse>("row");
        QTest::newRow("surrounding blanks") << Parse{" 4.5 ", true, 4.5};
        QTest::newRow("blank") << Parse{"  ", false, 0.0};
        QTest::newRow("trailing garbage") << Parse{"12abc", false, 0.0};
        QTest::newRow("beyond the double range") << Parse{"1E400", false, 0.0};
        // "2.5" in a decimal-comma locale is no 25 with a digit group, nor "2,5" elsewhere.
        QTest::newRow("the other separator") << Parse{"2~5", false, 0.0};
        QTest::newRow("digit grouping") << Parse{"1~000", false, 0.0};
    }
    void parse()
    {
        QFETCH(Parse, row);
        const auto &[text, ok, expected] = row;
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            const QString other = locale.decimalPoint() == QLatin1String(".") ? QStringLiteral(",") : QStringLiteral(".");
            const auto value = parseNumber(inLocale(text, locale).replace(QLatin1Char('~'), other), locale);
            QCOMPARE(value.has_value(), ok);
            if (ok)
                QCOMPARE(*value, expected);
        }
    }

private:
    std::string mNumeric; // the C library's number locale at start
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
