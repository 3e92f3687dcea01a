// Fuzz target: NumericValue and CompareValue over arbitrary texts. The number
// read must never be NaN or come from undefined behaviour, must match a plain
// reference reading (long double arithmetic, so within rounding), and must
// not change when blanks are put in front or a byte that fits no number is
// put behind. Rounding it to a record number never overflows.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "search/compare_value.h"
#include "database/numeric_value.h"

namespace velmar::fuzz {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

int DigitOf(char c) {
    if (IsDecimalDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

struct Reference {
    long double value = 0;
    bool based = false;  // read with "&": summed digit by digit, so less exact
};

// The rules read one character at a time, in long double.
Reference ReferenceValue(const std::string& t) {
    std::size_t i = 0;
    while (i < t.size() && IsBlank(t[i])) ++i;
    Reference ref;
    if (i < t.size() && t[i] == '&') {
        ref.based = true;
        ++i;
        if (i == t.size()) return ref;
        int base = 8;
        char c = t[i];
        if (c == 'H' || c == 'h') base = 16, ++i;
        else if (c == 'B' || c == 'b') base = 2, ++i;
        else if (c == 'O' || c == 'o' || c == 'Q' || c == 'q') base = 8, ++i;
        for (; i < t.size() && DigitOf(t[i]) < base; ++i) ref.value = ref.value * base + DigitOf(t[i]);
        return ref;
    }
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    // Up to 19 significant digits exactly; later digits only scale.
    long double mantissa = 0;
    int significant = 0;
    long scale = 0;
    bool point = false, anyDigit = false;
    for (; i < t.size(); ++i) {
        if (IsDecimalDigit(t[i])) {
            anyDigit = true;
            if (significant < 19) {
                mantissa = mantissa * 10 + (t[i] - '0');
                if (mantissa > 0) ++significant;
                if (point) --scale;
            } else if (!point) {
                ++scale;
            }
        } else if (t[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return ref;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) negativeExponent = t[j++] == '-';
        long exponent = 0;
        for (; j < t.size() && IsDecimalDigit(t[j]); ++j) exponent = std::min(9999L, exponent * 10 + (t[j] - '0'));
        scale += negativeExponent ? -exponent : exponent;
    }
    long double value = mantissa == 0 ? 0 : mantissa * std::pow(10.0L, static_cast<long double>(scale));
    ref.value = negative ? -value : value;
    return ref;
}

bool Close(double got, long double want, bool based) {
    double w = static_cast<double>(want);
    if (std::isinf(got) || std::isinf(w)) {
        // At the edge of the double range the two roundings may fall either side.
        double finite = std::isinf(got) ? w : got;
        return std::signbit(got) == std::signbit(w) && (std::isinf(finite) || std::fabs(finite) > DBL_MAX * 0.999999);
    }
    double tolerance = based ? 1e-12 : 1e-15;
    double difference = std::fabs(got - w);
    return difference <= std::fmax(std::fabs(got), std::fabs(w)) * tolerance || difference < 1e-300;
}

void CheckNumber(const std::string& text) {
    const double value = NumericValue(text);
    Check(!std::isnan(value), "NaN for " + Printable(text));
    Reference ref = ReferenceValue(text);
    Check(Close(value, ref.value, ref.based),
          "NumericValue(" + Printable(text) + ") = " + std::to_string(value) + ", reference " +
              std::to_string(static_cast<double>(ref.value)));
    Check(NumericValue(" \t\r\n" + text) == value, "leading blanks change " + Printable(text));
    Check(NumericValue(text + '\x01') == value, "a trailing byte changes " + Printable(text));
    if (!text.empty() && (IsDecimalDigit(text[0]) || text[0] == '.'))
        Check(NumericValue("-" + text) == -value, "negation of " + Printable(text));

    const int64_t rounded = RoundHalfEvenToInt64(value);
    if (std::fabs(value) < 4e18) Check(std::fabs(static_cast<double>(rounded) - value) <= 0.5, "rounding");
    if (value >= 1e19) Check(rounded == INT64_MAX, "rounding clamps above");
    if (value <= -1e19) Check(rounded == INT64_MIN, "rounding clamps below");
}

void CheckCompare(const std::string& field, const std::string& code, const std::string& search) {
    bool want = false;
    if (code == "=") want = field == search;
    if (code == "<>") want = field != search;
    if (code == "*-") want = std::string_view(field).starts_with(search);
    if (code == "-*") want = std::string_view(field).ends_with(search);
    if (code == "$") {
        for (std::size_t at = 0; !field.empty() && at + search.size() <= field.size() && !want; ++at)
            want = field.compare(at, search.size(), search) == 0;
    }
    const double f = NumericValue(field), s = NumericValue(search);
    if (code == ">") want = f > s;
    if (code == "<") want = f < s;
    if (code == ">=") want = f >= s;
    if (code == "<=") want = f <= s;
    Check(CompareValue(field, code, search) == want,
          "CompareValue(" + Printable(field) + ", " + Printable(code) + ", " + Printable(search) + ")");
}

}  // namespace
}  // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace velmar::fuzz;
    FuzzedDataProvider provider(data, size);
    static const char* const kCodes[] = {"=", ">", "<", ">=", "<=", "<>", "-*", "*-", "$"};
    const uint8_t selector = provider.ConsumeIntegral<uint8_t>();
    std::string code = selector < 9 * 25 ? kCodes[selector % 9] : provider.ConsumeRandomLengthString(3);
    std::string search = provider.ConsumeRandomLengthString(64);
    std::string field = provider.ConsumeRemainingBytesAsString();
    CheckNumber(field);
    CheckNumber(search);
    CheckCompare(field, code, search);
    return 0;
}
