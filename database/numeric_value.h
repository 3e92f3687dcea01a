#pragma once

#include <cstdint>
#include <string_view>

namespace velmar {

// The number that a text begins with. Leading blanks (space, TAB, CR, LF) are
// skipped; "&H", "&B", "&O"/"&Q" (either case) or "&" alone introduce a
// hexadecimal, binary or octal number; otherwise an optional sign, decimal
// digits with at most one ".", and an optional exponent written with E or D.
// Reading stops at the first character that does not fit; no digits read as 0.
// Numbers too large for a double read as infinity, never as undefined values.
double NumericValue(std::string_view text);

// `value` rounded to the nearest whole number, halves to the even neighbour,
// clamped into the 64-bit range (NaN gives 0). Safe for any double.
int64_t RoundHalfEvenToInt64(double value);

}  // namespace velmar
