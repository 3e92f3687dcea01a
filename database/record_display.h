// Showing a record: the display text of each field type and the merge of a
// record into the display template, where "#Campo" stands for the field's
// display text and "##Campo" for it in capital letters.
//
// Everything here is text work; the field values and types come through a
// FieldValueSource, so that the same merge runs on the literal file scans and
// on the indexed reader of value_index.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "database/cp1252.h"
#include "database/linked_database.h"

namespace velmar {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate&) const = default;
};

// A date of the Gregorian calendar from year 1 to 9999.
bool IsValidDate(CalendarDate date);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

// Whole days between two dates, never negative. A date that does not exist
// (31/02, month 13, a year before 1601 or after 30827) counts as day 0 of the
// day numbering, which starts on 1 January 1601.
int64_t DaysBetween(CalendarDate a, CalendarDate b);

// The elapsed time from a stored date to today in years, months and days, each
// part present only when it is at least 1: "5 años 1 mes 12 dias ". When the
// stored day does not exist in the month before today's month (31 when that
// month has 30 days, 29 to 31 after a short February), the last day of that
// month stands in for it, so the day count stays within one month.
std::string AgeText(uint16_t storedYear, uint16_t currentYear, uint16_t storedMonth, uint16_t currentMonth,
                    uint16_t storedDay, uint16_t currentDay);

// The display text of a date field's value: the elapsed time, then " (", the
// value and ")". A value that holds no valid date (day from characters 1-2,
// month from 4-5, year from the last four, each a whole number) gives no
// elapsed time: " (" value ")". A missing value shows "No datos".
std::string DateDisplayText(std::string_view value, CalendarDate today);

// The item of a list field's option list that the value selects: items are
// split at "|" after blanks are trimmed from both ends of the whole list; the
// value is read as a number and rounded half to even; 1 is the first item and
// -1 the last. An index that names no item gives the empty text.
std::string ListDisplayText(std::string_view value, std::string_view options);

// Types 5, 6, 7 and above 9 are not displayed: their placeholders stay as they are.
bool HasDisplay(int16_t type);

// The display text of a field value of `type`; nothing for a type without display.
std::optional<std::string> DisplayText(int16_t type, std::string_view value, std::string_view options,
                                       CalendarDate today);

// The display text as it goes into RTF source: "\", "{" and "}" become "\\",
// "\{" and "\}"; every other byte stays.
std::string EscapeRtfText(std::string_view text);

// One left-to-right pass replacing every non-overlapping occurrence of a
// non-empty `pattern`.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);

// Where the merge gets field types and values from.
class FieldValueSource {
public:
    virtual ~FieldValueSource() = default;
    // The type of the last definition named `field`; 0 when none is.
    virtual int16_t TypeOf(std::string_view field) = 0;
    // The value of `field` for `record`, "No datos" when the record has none.
    virtual std::string Value(std::string_view field, int64_t record) = 0;
};

// The source that reads the linked folder's files on every call.
class LiteralFieldSource : public FieldValueSource {
public:
    explicit LiteralFieldSource(const LinkedDatabase& db) : db_(db) {}
    int16_t TypeOf(std::string_view field) override { return FieldTypeOf(db_, field); }
    std::string Value(std::string_view field, int64_t record) override { return ReadFieldValue(db_, field, record); }

private:
    const LinkedDatabase& db_;
};

// The display template: the editor's document as RTF, and whether one is held.
struct DisplayTemplate {
    std::string text;
    bool captured = false;

    // Reading a document file into the editor lets the held template go, so
    // that the record navigator captures the new document.
    void Discard() {
        text.clear();
        captured = false;
    }
};

// The capital letters that "##" placeholders show: the text in capitals, one
// byte for each byte. The window program passes the system's own ANSI
// upper-casing; elsewhere the databases' Windows-1252 capitals serve.
using UpperCasing = std::string (*)(std::string_view ansi);

// A merged text never grows past this size: a value that holds its own
// placeholder twice would otherwise double the text at every position.
inline constexpr std::size_t kMaxMergedText = std::size_t{64} << 20;

// Fills the placeholders of field `field` (index `fieldIndex` from 1 in
// `fields`) in `text` for `record`. Positions are visited from the first to the
// length that the text had on entry; at each, "##" + field is tested before
// "#" + field, and a match replaces every occurrence of that form.
std::string FillPlaceholders(std::string_view field, std::string text, int64_t record, int fieldIndex,
                             const FieldList& fields, FieldValueSource& source, CalendarDate today,
                             UpperCasing upper = Cp1252Upper);

// How many "#" characters a template may hold for its placeholders to be
// filled: from 1 to three per field.
bool PlaceholderCountAllowed(std::string_view templateText, int fieldCount);

// The text that showing `record` puts into the editor: the template with the
// placeholders of every field of `fields` filled in field list order, or the
// template unchanged when its "#" count is outside 1..3 x fields. Empty when no
// template is held; the caller leaves the editor alone then.
std::string FormatRecordText(const DisplayTemplate& displayTemplate, const FieldList& fields, int64_t record,
                             FieldValueSource& source, CalendarDate today, UpperCasing upper = Cp1252Upper);

}  // namespace velmar
