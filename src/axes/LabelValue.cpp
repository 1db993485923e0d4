#include "axes/LabelValue.h"

#include <QRegularExpression>

#include <cmath>

namespace chartrek {

namespace {

const QString kNumber = QStringLiteral(R"((?:\d+\.?\d*|\.\d+))");

std::optional<double> toDouble(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok); // QString::toDouble always reads the C locale
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// 10 to an integer power, exactly as a decimal literal would give it.
std::optional<double> powerOfTen(const QString &exponent)
{
    return toDouble(QStringLiteral("1e") + exponent);
}

} // namespace

QString canonicalLabel(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (c.isSpace())
            continue;
        if (u == 0x2212 || u == 0x2010 || u == 0x2011 || u == 0x2012 || u == 0x2013 || u == 0x2014 || u == 0xfe63
            || u == 0xff0d)
            out += QLatin1Char('-');
        else if (u == 0x00d7 || u == 0x2715 || u == 0x22c5 || u == 0x00b7 || u == 'X')
            out += QLatin1Char('x');
        else
            out += c;
    }
    return out;
}

QString lookalikesAsDigits(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('l') || c == QLatin1Char('I'))
            c = QLatin1Char('1');
        else if (c == QLatin1Char('O') || c == QLatin1Char('o'))
            c = QLatin1Char('0');
    }
    return text;
}

std::optional<double> labelValue(const QString &text, CommaUse comma)
{
    QString t = canonicalLabel(text);
    if (t.endsWith(QLatin1Char('%')))
        t.chop(1);
    if (t.isEmpty())
        return std::nullopt;

    static const QRegularExpression power(QStringLiteral(R"(^([+-]?)(?:(%1)x)?10\^([+-]?\d{1,3})$)").arg(kNumber));
    if (const auto m = power.match(t); m.hasMatch()) {
        const auto mantissa = m.captured(2).isEmpty() ? std::optional<double>(1.0) : toDouble(m.captured(2));
        const auto scale = powerOfTen(m.captured(3));
        if (!mantissa || !scale)
            return std::nullopt;
        const double v = *mantissa * *scale;
        return m.captured(1) == QLatin1String("-") ? -v : v;
    }
    static const QRegularExpression scientific(QStringLiteral(R"(^[+-]?%1[eE][+-]?\d{1,3}$)").arg(kNumber));
    if (scientific.match(t).hasMatch())
        return toDouble(t);

    if (t.contains(QLatin1Char(','))) {
        if (comma == CommaUse::Decimal) {
            static const QRegularExpression decimal(QStringLiteral(R"(^[+-]?\d+,\d+$)"));
            if (!decimal.match(t).hasMatch())
                return std::nullopt;
            t.replace(QLatin1Char(','), QLatin1Char('.'));
        } else {
            static const QRegularExpression grouped(QStringLiteral(R"(^[+-]?\d{1,3}(?:,\d{3})+(?:\.\d+)?$)"));
            if (!grouped.match(t).hasMatch())
                return std::nullopt;
            t.remove(QLatin1Char(','));
        }
        return toDouble(t);
    }
    static const QRegularExpression plain(QStringLiteral(R"(^[+-]?%1$)").arg(kNumber));
    if (!plain.match(t).hasMatch())
        return std::nullopt;
    return toDouble(t);
}

CommaUse commaUseOf(const std::vector<QString> &texts)
{
    static const QRegularExpression grouped(QStringLiteral(R"(^[+-]?[1-9]\d{0,2}(?:,\d{3})+(?:\.\d+)?%?$)"));
    bool anyComma = false;
    bool allGrouped = true;
    for (const QString &raw : texts) {
        const QString t = canonicalLabel(raw);
        const auto commas = t.count(QLatin1Char(','));
        if (commas == 0)
            continue;
        anyComma = true;
        if (commas > 1 || t.contains(QLatin1Char('.')))
            return CommaUse::Thousands;
        if (!grouped.match(t).hasMatch())
            allGrouped = false;
    }
    return anyComma && allGrouped ? CommaUse::Thousands : CommaUse::Decimal;
}

bool isPowerForm(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(R"(^(?:10\^|1e)[+-]?\d{1,3}$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return form.match(canonicalLabel(text)).hasMatch();
}

std::optional<AxisOffset> offsetValue(const QString &text)
{
    const QString t = canonicalLabel(text);
    if (t.isEmpty())
        return std::nullopt;
    static const QRegularExpression form(
        QStringLiteral(R"(^(?:x10\^([+-]?\d{1,3})|1e([+-]?\d{1,3}))?(?:([+-]%1)(?:[eE]([+-]?\d{1,3})|x10\^([+-]?\d{1,3}))?)?$)")
            .arg(kNumber));
    const auto m = form.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    AxisOffset offset;
    const QString scale = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    if (!scale.isEmpty()) {
        const auto s = powerOfTen(scale);
        if (!s)
            return std::nullopt;
        offset.multiplier = *s;
    }
    if (!m.captured(3).isEmpty()) {
        const QString exponent = m.captured(4).isEmpty() ? m.captured(5) : m.captured(4);
        const auto a = toDouble(m.captured(3) + (exponent.isEmpty() ? QString() : QStringLiteral("e") + exponent));
        if (!a)
            return std::nullopt;
        offset.addend = *a;
    }
    return offset;
}

} // namespace chartrek
