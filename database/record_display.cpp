#include "database/record_display.h"

#include <algorithm>
#include <cmath>

#include "database/cp1252.h"
#include "database/numeric_value.h"

namespace velmar {
namespace {

// Days from 1 January of year 1 in the proleptic Gregorian calendar; plain
// arithmetic, defined for any month and day values.
int64_t ProlepticDays(int64_t year, int64_t month, int64_t day) {
    // Shift the year to start in March so that the leap day ends it.
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t monthFromMarch = month > 2 ? month - 3 : month + 9;
    int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

// The day number of the platform's calendar, counted from 1 January 1601;
// a date it cannot represent counts as 0.
int64_t DayNumber(CalendarDate date) {
    if (date.year < 1601 || date.year > 30827 || date.day < 1 || date.day > DaysInMonth(date.year, date.month))
        return 0;
    return ProlepticDays(date.year, date.month, date.day) - ProlepticDays(1601, 1, 1);
}

// The day count from day `storedDay` of the month before today's month up to
// today; a day that month lacks is taken as its last day.
int64_t DaysFromPreviousMonth(int storedDay, int currentYear, int currentMonth, int currentDay) {
    int year = currentMonth == 1 ? currentYear - 1 : currentYear;
    int month = currentMonth == 1 ? 12 : currentMonth - 1;
    int length = DaysInMonth(year, month);
    if (length == 0 || year < 1) return 0;
    int day = std::min(storedDay, length);
    int64_t days = ProlepticDays(currentYear, currentMonth, currentDay) - ProlepticDays(year, month, day);
    return days < 0 ? -days : days;
}

void AppendPart(std::string& text, int64_t number, const char* singular, const char* plural) {
    if (number > 1) {
        text += std::to_string(number);
        text += plural;
    } else if (number == 1) {
        text += "1";
        text += singular;
    }
}

// One part of a stored date as a whole number in 0..65535, if it is one.
std::optional<uint16_t> DatePart(std::string_view text) {
    double value = NumericValue(text);
    if (!(value >= 0 && value <= 65535) || value != std::floor(value)) return std::nullopt;
    return static_cast<uint16_t>(value);
}

std::string_view Mid(std::string_view text, std::size_t start, std::size_t length) {
    if (start >= text.size()) return {};
    return text.substr(start, length);
}

// The display text of field `field`, computed once per fill and only when a
// placeholder of it is found.
class LazyDisplay {
public:
    LazyDisplay(std::string_view field, int16_t type, std::string_view options, int64_t record,
                FieldValueSource& source, CalendarDate today, UpperCasing upper)
        : field_(field),
          type_(type),
          options_(options),
          record_(record),
          source_(source),
          today_(today),
          upper_(upper) {}

    const std::string& Plain() {
        if (!plain_) {
            std::string value = source_.Value(field_, record_);
            plain_ = DisplayText(type_, value, options_, today_).value_or(std::string());
        }
        return *plain_;
    }
    const std::string& PlainEscaped() {
        if (!plainEscaped_) plainEscaped_ = EscapeRtfText(Plain());
        return *plainEscaped_;
    }
    const std::string& UpperEscaped() {
        if (!upperEscaped_) upperEscaped_ = EscapeRtfText(upper_(Plain()));
        return *upperEscaped_;
    }

private:
    std::string_view field_;
    int16_t type_;
    std::string_view options_;
    int64_t record_;
    FieldValueSource& source_;
    CalendarDate today_;
    UpperCasing upper_;
    std::optional<std::string> plain_, plainEscaped_, upperEscaped_;
};

// The size of ReplaceAll's result, computed without building it.
std::size_t ReplacedSize(std::string_view text, std::string_view pattern, std::size_t replacementSize) {
    std::size_t size = text.size();
    for (std::size_t at = text.find(pattern); at != std::string_view::npos;
         at = text.find(pattern, at + pattern.size())) {
        size = size - pattern.size() + replacementSize;
        if (size > kMaxMergedText) return size;
    }
    return size;
}

bool MatchesAt(const std::string& text, std::size_t position, std::string_view pattern) {
    return text.size() - position >= pattern.size() && text.compare(position, pattern.size(), pattern) == 0;
}

}  // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

bool IsValidDate(CalendarDate date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

int64_t DaysBetween(CalendarDate a, CalendarDate b) {
    int64_t difference = DayNumber(a) - DayNumber(b);
    return difference < 0 ? -difference : difference;
}

std::string AgeText(uint16_t storedYear, uint16_t currentYear, uint16_t storedMonth, uint16_t currentMonth,
                    uint16_t storedDay, uint16_t currentDay) {
    const int ys = storedYear, yt = currentYear, ms = storedMonth, mt = currentMonth, ds = storedDay, dt = currentDay;
    int64_t years = 0, months = 0, days = 0;
    auto previousMonthDays = [&] { return DaysFromPreviousMonth(ds, yt, mt, dt); };
    if (yt > ys) {
        if (mt > ms) {
            years = yt - ys;
            months = dt >= ds ? mt - ms : mt - ms - 1;
        } else if (mt == ms) {
            years = dt >= ds ? yt - ys : yt - ys - 1;
            months = dt >= ds ? 0 : 11;
        } else {
            years = yt - ys - 1;
            months = dt >= ds ? mt + 12 - ms : mt - 1 + 12 - ms;
        }
        days = dt >= ds ? dt - ds : previousMonthDays();
    } else if (yt == ys && mt > ms) {
        months = dt >= ds ? mt - ms : mt - ms - 1;
        days = dt >= ds ? dt - ds : previousMonthDays();
    } else if (yt == ys && mt == ms && dt >= ds) {
        days = dt - ds;
    }
    std::string text;
    AppendPart(text, years, " a\xF1o ", " a\xF1os ");
    AppendPart(text, months, " mes ", " meses ");
    AppendPart(text, days, " dia ", " dias ");
    return text;
}

std::string DateDisplayText(std::string_view value, CalendarDate today) {
    if (value == kNoData) return std::string(kNoData);
    std::string age;
    std::optional<uint16_t> day = DatePart(Mid(value, 0, 2));
    std::optional<uint16_t> month = DatePart(Mid(value, 3, 2));
    std::optional<uint16_t> year = DatePart(value.size() > 4 ? value.substr(value.size() - 4) : value);
    if (day && month && year && IsValidDate({*year, *month, *day}) && IsValidDate(today)) {
        age = AgeText(*year, static_cast<uint16_t>(today.year), *month, static_cast<uint16_t>(today.month), *day,
                      static_cast<uint16_t>(today.day));
    }
    std::string text = std::move(age);
    text += " (";
    text += value;
    text += ")";
    return text;
}

std::string ListDisplayText(std::string_view value, std::string_view options) {
    std::size_t first = options.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = options.find_last_not_of(' ');
    std::string_view list = options.substr(first, last - first + 1);

    int64_t count = 1 + static_cast<int64_t>(std::count(list.begin(), list.end(), '|'));
    int64_t n = RoundHalfEvenToInt64(NumericValue(value));
    if (n < 0) n = n >= -count ? count + 1 + n : 0;
    if (n < 1 || n > count) return {};

    std::size_t start = 0;
    for (int64_t item = 1; item < n; ++item) start = list.find('|', start) + 1;
    std::size_t end = list.find('|', start);
    return std::string(list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

bool HasDisplay(int16_t type) {
    return type <= 4 || type == 8 || type == 9;
}

std::optional<std::string> DisplayText(int16_t type, std::string_view value, std::string_view options,
                                       CalendarDate today) {
    if (type <= 4) return std::string(value);
    if (type == 8) return DateDisplayText(value, today);
    if (type == 9) return ListDisplayText(value, options);
    return std::nullopt;
}

std::string EscapeRtfText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty()) return std::string(text);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, from)) {
        out.append(text, from, at - from);
        out.append(replacement);
        from = at + pattern.size();
    }
    out.append(text, from);
    return out;
}

std::string FillPlaceholders(std::string_view field, std::string text, int64_t record, int fieldIndex,
                             const FieldList& fields, FieldValueSource& source, CalendarDate today, UpperCasing upper) {
    const std::size_t lengthOnEntry = text.size();
    const int16_t type = source.TypeOf(field);
    if (!HasDisplay(type)) return text;

    static const std::string kNoOptions;
    const std::string& options =
        fieldIndex >= 1 && fieldIndex <= fields.Count() ? fields.Options(fieldIndex) : kNoOptions;
    LazyDisplay display(field, type, options, record, source, today, upper);
    const std::string upperForm = "##" + std::string(field);
    const std::string_view plainForm = std::string_view(upperForm).substr(1);

    for (std::size_t p = 0; p < lengthOnEntry && p < text.size(); ++p) {
        const std::string* replacement = nullptr;
        std::string_view form;
        if (MatchesAt(text, p, upperForm)) {
            replacement = &display.UpperEscaped();
            form = upperForm;
        } else if (MatchesAt(text, p, plainForm)) {
            replacement = &display.PlainEscaped();
            form = plainForm;
        } else {
            continue;
        }
        // A value that holds its own placeholder more than once would grow
        // the text without bound; filling stops where it would pass the limit.
        if (ReplacedSize(text, form, replacement->size()) > kMaxMergedText) break;
        text = ReplaceAll(text, form, *replacement);
    }
    return text;
}

bool PlaceholderCountAllowed(std::string_view templateText, int fieldCount) {
    auto marks = std::count(templateText.begin(), templateText.end(), '#');
    return marks >= 1 && marks <= 3 * static_cast<int64_t>(fieldCount);
}

std::string FormatRecordText(const DisplayTemplate& displayTemplate, const FieldList& fields, int64_t record,
                             FieldValueSource& source, CalendarDate today, UpperCasing upper) {
    if (!displayTemplate.captured) return {};
    std::string text = displayTemplate.text;
    if (!PlaceholderCountAllowed(text, fields.Count())) return text;
    for (int i = 1; i <= fields.Count(); ++i) {
        text = FillPlaceholders(fields.Name(i), std::move(text), record, i, fields, source, today, upper);
    }
    return text;
}

}  // namespace velmar
