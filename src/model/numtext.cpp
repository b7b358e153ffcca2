#include "model/numtext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace model {

int32_t whole(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);  // in range: truncates toward zero
}

QString formatNumber(double v) {
    if (!std::isfinite(v)) return QStringLiteral("0");
    if (v == 0) return QStringLiteral("0");  // also turns -0 into "0"
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec != std::errc()) return QStringLiteral("0");
    return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}

double throughNumberText(double v) { return std::isfinite(v) && v != 0 ? v : 0.0; }

namespace {

// Longest prefix of s (from pos) that is a decimal number; returns its length (0 if none).
size_t decimalPrefix(const std::string& s, size_t pos) {
    size_t i = pos;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expDigits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    return i - pos;
}

double parseDecimal(const std::string& s, size_t pos, size_t len) {
    const char* first = s.data() + pos;
    if (len > 0 && *first == '+') ++first, --len;
    double v = 0;
    auto res = std::from_chars(first, first + len, v);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched on overflow/underflow; give the direction's limit.
        bool negative = *first == '-';
        bool tiny = false;
        for (const char* p = first; p < first + len; ++p) {
            if (*p == 'e' || *p == 'E') {
                tiny = p[1] == '-';
                break;
            }
        }
        if (tiny) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    return res.ec == std::errc() ? v : 0.0;
}

}  // namespace

std::optional<double> parseNumber(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    if (s.empty()) return std::nullopt;
    size_t len = decimalPrefix(s, 0);
    if (len == 0 || len != s.size()) return std::nullopt;
    double v = parseDecimal(s, 0, len);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace model
