#include "core/NumberText.h"

#include <charconv>
#include <cmath>

namespace chartrek {

NumberReader::NumberReader(const QLocale &locale) : mLocale(locale)
{
    // A group separator would let "2.5" read as 25 in a decimal-comma locale.
    mLocale.setNumberOptions(QLocale::RejectGroupSeparator);
    const QString point = mLocale.decimalPoint();
    mDecimalPoint = point.size() == 1 ? point.at(0) : QChar();
}

// The texts the program writes itself (ASCII digits, "-", "E", the locale's decimal point)
// are read directly: the sorted insertion reads one per stored point, and the locale's full
// parser takes about a microsecond each. Anything else goes to the locale's parser.
std::optional<double> NumberReader::readPlain(const QString &text) const
{
    if (text.size() > 64 || mDecimalPoint.isNull())
        return std::nullopt;
    char buffer[64];
    int n = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (c == mDecimalPoint)
            buffer[n++] = '.';
        else if ((u >= '0' && u <= '9') || u == '-' || u == '+' || u == 'E' || u == 'e')
            buffer[n++] = char(u);
        else
            return std::nullopt;
    }
    if (n == 0 || buffer[0] == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (error != std::errc() || end != buffer + n || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> NumberReader::operator()(const QString &text) const
{
    if (const auto plain = readPlain(text))
        return plain;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = mLocale.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(const QString &text, const QLocale &locale)
{
    return NumberReader(locale)(text);
}

QString integerText(qint32 value)
{
    return QString::number(value);
}

namespace {

struct Decimal {
    bool negative = false;
    QString digits; // significant digits, no trailing zeros, at least one
    int exponent = 0; // decimal exponent of the first digit
};

// The shortest C-locale text of a value in the given form; std::to_chars never follows the C
// library's locale, which Qt sets from the environment and which need not be the program's.
QString cText(double value, std::chars_format format, int precision)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return QString::fromLatin1(buffer, result.ec == std::errc() ? result.ptr - buffer : 0);
}

// Rounds to `digits` significant digits from the exact binary value, ties to even.
Decimal roundDecimal(double value, int digits)
{
    const QString text = cText(value, std::chars_format::scientific, digits - 1); // "-1.5000e-07"
    Decimal d;
    d.negative = text.startsWith(QLatin1Char('-'));
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    for (qsizetype i = 0; i < e; ++i) {
        if (text.at(i).isDigit())
            d.digits.append(text.at(i));
    }
    d.exponent = text.mid(e + 1).toInt();
    while (d.digits.size() > 1 && d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    return d;
}

QString joinMantissa(const QString &intPart, const QString &fraction, const QLocale &locale)
{
    return fraction.isEmpty() ? intPart : intPart + locale.decimalPoint() + fraction;
}

} // namespace

QString generalNumberText(double value, const QLocale &locale, int digits)
{
    if (!std::isfinite(value))
        return locale.toString(value);
    if (value == 0.0)
        return QStringLiteral("0");
    const Decimal d = roundDecimal(value, digits);
    QString text;
    if (d.exponent >= -4 && d.exponent < digits) {
        if (d.exponent < 0) {
            text = joinMantissa(QStringLiteral("0"), QString(-d.exponent - 1, QLatin1Char('0')) + d.digits, locale);
        } else if (d.digits.size() <= d.exponent + 1) {
            text = d.digits + QString(d.exponent + 1 - d.digits.size(), QLatin1Char('0'));
        } else {
            text = joinMantissa(d.digits.left(d.exponent + 1), d.digits.mid(d.exponent + 1), locale);
        }
    } else {
        const QString exponent = QString::number(std::abs(d.exponent)).rightJustified(2, QLatin1Char('0'));
        text = joinMantissa(d.digits.left(1), d.digits.mid(1), locale) + QLatin1Char('E')
            + QLatin1Char(d.exponent < 0 ? '-' : '+') + exponent;
    }
    return d.negative ? QLatin1Char('-') + text : text;
}

QString FormatAxisValue(double value, bool logarithmic, const QLocale &locale)
{
    if (!std::isfinite(value))
        return locale.toString(value); // nothing sensible to pattern
    if (!logarithmic) {
        QString text = cText(value, std::chars_format::fixed, 3);
        if (text == QLatin1String("-0.000"))
            text.remove(0, 1); // a value that rounds to zero shows no sign
        return text.replace(QLatin1Char('.'), locale.decimalPoint());
    }
    const QString text = cText(value, std::chars_format::scientific, 3); // "-1.235e+04"
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const int exponent = text.mid(e + 1).toInt();
    QString mantissa = text.left(e);
    if (mantissa == QLatin1String("-0.000"))
        mantissa.remove(0, 1);
    mantissa.replace(QLatin1Char('.'), locale.decimalPoint());
    return mantissa + QStringLiteral(" E") + QString::number(exponent);
}

} // namespace chartrek
