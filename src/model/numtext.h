#pragma once
// Number text and whole numbers, the same on every machine whatever the user's locale.

#include <QString>
#include <cstdint>
#include <optional>

namespace model {

// A real as a 32-bit whole number: truncated toward zero, NaN gives 0, out-of-range values clamp.
int32_t whole(double v);

// Shortest locale-free text that reads back exactly: '.' as decimal point, no exponent,
// whole values without a point ("3", "-0.25"). Non-finite values give "0".
QString formatNumber(double v);

// Reads a whole text (blanks around it allowed) as one finite number; nothing when anything is
// left over, nothing is there, or the value is not finite. Saved files and the program's own
// texts hold numbers this way, so a partial number is an error.
std::optional<double> parseNumber(const QString& text);

// parseNumber(formatNumber(v)) without making the text: the shortest text of a number reads back
// as the same number, except that what formatNumber writes as "0" (zero, infinities, NaN) reads
// back as 0.
double throughNumberText(double v);

}  // namespace model
