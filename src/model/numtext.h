#pragma once
// Number text and whole numbers, the same on every machine whatever the user's locale.

#include <QString>
#include <cstdint>

namespace model {

// A real as a 32-bit whole number: truncated toward zero, NaN gives 0, out-of-range values clamp.
int32_t whole(double v);

// Shortest locale-free text that reads back exactly: '.' as decimal point, no exponent,
// whole values without a point ("3", "-0.25"). Non-finite values give "0".
QString Str(double v);
QString Str(int64_t v);
inline QString Str(int v) { return Str(static_cast<int64_t>(v)); }

// A 32-bit whole number as upper-case hexadecimal digits of its unsigned value, without a prefix
// or leading zeros ("7FFFFFFF", "FFFFFFFF" for -1); Val reads it back after "&h".
QString hexText(int32_t v);

// Reads the number at the start of the text, stopping at the first character that cannot
// continue it (leading blanks skipped); no number gives 0. "&h" starts hexadecimal digits.
double Val(const QString& text);
// Val(Str(v)) without making the text: the shortest text of a number reads back as the same
// number, except that what Str writes as "0" (zero, infinities, NaN) reads back as 0.
double throughNumberText(double v);

// Reads a whole text as one finite number; false when anything is left over, nothing is there,
// or the value is not finite. For saved files, where a partial number is an error.
bool parseNumber(const QString& text, double& out);

}  // namespace model

using model::hexText;
using model::Str;
using model::throughNumberText;
using model::Val;
using model::whole;
