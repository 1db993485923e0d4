#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace chartrek {

// What a comma in the labels of one axis means: "0,5" or "1,000".
enum class CommaUse { Decimal, Thousands };

// The text of a label as read: a superscript is written after "^" ("10^-3" for 10 with -3
// raised), any minus sign or dash as "-", a multiplication sign as "x". Blanks are ignored.
// Reads plain and scientific numbers ("-0.25", "1e-06", "2.5E+3"), powers of ten ("10^-3",
// "2x10^5"), grouped thousands or a decimal comma as `comma` says, and a trailing percent sign
// (the number itself: "20%" is 20).
std::optional<double> labelValue(const QString &text, CommaUse comma);

// The comma use that fits all labels of an axis: grouping when some label has two commas, a
// point and a comma, or when every label with a comma is written in groups of three digits
// after a leading digit other than 0 ("1,000", "25,000"); otherwise a decimal comma.
CommaUse commaUseOf(const std::vector<QString> &texts);

// A power of ten written as such ("10^-3", "1e5"): a log axis labels its decades this way.
bool isPowerForm(const QString &text);

// The factor and the addend printed at the end of an axis: "x10^6" or "1e6" multiplies every
// label, "+3.7e4" or "+6.311x10^4" is added to it, "1e-5+1.2" does both.
struct AxisOffset {
    double multiplier = 1;
    double addend = 0;
};
std::optional<AxisOffset> offsetValue(const QString &text);

// The text in the canonical form above: blanks removed, dashes as "-", "×" as "x".
QString canonicalLabel(const QString &text);

// Letters a recogniser reads for digits put back as the digits: "l" and "I" as 1, "O" and "o" as 0.
QString lookalikesAsDigits(QString text);

} // namespace chartrek
