#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace chartrek {

// Every conversion between numbers and text goes through these, so that the user's
// decimal separator is honoured in one place. The locale defaults to QLocale(), the
// user's locale.

// Locale-aware text to double. Empty text, trailing garbage, digit grouping and results
// outside the double range are conversion errors. Surrounding blanks are allowed.
std::optional<double> parseNumber(const QString &text, const QLocale &locale = QLocale());

// The same conversion with the locale prepared once, for loops over many texts.
class NumberReader {
public:
    explicit NumberReader(const QLocale &locale = QLocale());
    std::optional<double> operator()(const QString &text) const;

private:
    std::optional<double> readPlain(const QString &text) const;

    QLocale mLocale;
    QChar mDecimalPoint;
};

// The decimal digits of a 32-bit integer, "-" when negative, no grouping.
QString integerText(qint32 value);

// The general number text: at most `digits` significant digits (15 for a double, 7 for a
// single), plain notation for decimal exponents -4 to 14 (-4 to 6 for 7 digits), otherwise
// "1.5E-07" / "2E+15" with at least two exponent digits; the locale's decimal separator.
QString generalNumberText(double value, const QLocale &locale = QLocale(), int digits = 15);

// The display text of an axis value: "0.000" on a linear axis, "0.000 E-#" on a
// logarithmic one ("1.235 E4", "1.250 E-3").
QString FormatAxisValue(double value, bool logarithmic, const QLocale &locale = QLocale());

} // namespace chartrek
