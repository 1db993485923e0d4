#include "points/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

// Rounds to `digits` significant digits the way printf does (exact binary value, ties to even).
Decimal roundDecimal(double value, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    Decimal d;
    const char *p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits.append(QLatin1Char(*p));
    }
    d.exponent = *p == 'e' ? std::atoi(p + 1) : 0;
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
    char buffer[400];
    if (!logarithmic) {
        std::snprintf(buffer, sizeof buffer, "%.3f", value);
        QString text = QString::fromLatin1(buffer);
        if (text == QLatin1String("-0.000"))
            text.remove(0, 1); // a value that rounds to zero shows no sign
        return text.replace(QLatin1Char('.'), locale.decimalPoint());
    }
    std::snprintf(buffer, sizeof buffer, "%.3e", value);
    QString text = QString::fromLatin1(buffer); // "-1.235e+04"
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return locale.toString(value); // inf or nan: nothing sensible to pattern
    const int exponent = text.mid(e + 1).toInt();
    QString mantissa = text.left(e);
    if (mantissa == QLatin1String("-0.000"))
        mantissa.remove(0, 1);
    mantissa.replace(QLatin1Char('.'), locale.decimalPoint());
    return mantissa + QStringLiteral(" E") + QString::number(exponent);
}

} // namespace chartrek
