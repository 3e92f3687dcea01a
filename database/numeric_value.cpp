#include "database/numeric_value.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace velmar {
namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

double ReadBased(std::string_view digits, int base) {
    double value = 0;
    for (char c : digits) {
        int d = DigitValue(c);
        if (d >= base) break;
        value = value * base + d;
    }
    return value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    if (i == text.size()) return 0;

    if (text[i] == '&') {
        ++i;
        if (i == text.size()) return 0;
        switch (text[i]) {
            case 'H': case 'h': return ReadBased(text.substr(i + 1), 16);
            case 'B': case 'b': return ReadBased(text.substr(i + 1), 2);
            case 'O': case 'o': case 'Q': case 'q': return ReadBased(text.substr(i + 1), 8);
            default: return ReadBased(text.substr(i), 8);  // the character is the first digit
        }
    }

    // Collect the decimal number in the C library's own notation and let it do
    // the correctly rounded conversion.
    std::string number;
    if (text[i] == '+' || text[i] == '-') number.push_back(text[i++]);
    bool anyDigit = false, point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (IsDigit(c)) {
            number.push_back(c);
            anyDigit = true;
        } else if (c == '.' && !point) {
            number.push_back(c);
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            int exponent = 0;
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                exponent = exponent * 10 + (text[j] - '0');
                if (exponent > 9999) exponent = 9999;  // larger exponents count as 9999
            }
            number.push_back('e');
            if (negative) number.push_back('-');
            number += std::to_string(exponent);
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

int64_t RoundHalfEvenToInt64(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 is exactly representable; anything at or beyond it is clamped.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit) return std::numeric_limits<int64_t>::max();
    if (value < -kLimit) return std::numeric_limits<int64_t>::min();
    double rounded = std::nearbyint(value);  // the default rounding mode is half to even
    if (rounded >= kLimit) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(rounded);
}

}  // namespace velmar
