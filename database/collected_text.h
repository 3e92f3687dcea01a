// The text that a forward scan of the value file collects for one field value.
// A value's text is held in memory while it is short. A longer one (a damaged
// file, or a value still being written whose last cell never comes, can make
// it as long as the file has cells) is only located: where its first cell is.
// When its last cell arrives it is read again from the file, so that a scan's
// memory never grows with the file, only with the value it returns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "database/file_layout.h"
#include "database/linked_database.h"
#include "database/record_file.h"

namespace velmar {

class CollectedText {
public:
    static constexpr std::size_t kHeldBytes = std::size_t{1} << 16;

    // Adds the character of cell `cell` (1-based, ascending between Clear calls).
    void Append(int64_t cell, char c) {
        if (from_ == 0) {
            from_ = cell;
            first_ = c;
        }
        AppendMore(c);
    }
    // Adds a character after the first (the text is not empty).
    void AppendMore(char c) {
        // Most values are short: their characters go to a small array first.
        if (length_ < kShort) {
            short_[length_++] = c;
            return;
        }
        AppendLong(c);
    }
    void Clear() {
        if (from_ == 0) return;  // nothing collected since the last Clear
        text_.clear();
        length_ = 0;
        from_ = 0;
        located_ = false;
    }
    bool Empty() const { return from_ == 0; }
    char First() const { return first_; }

    // The whole text, now that its last cell `last` was read: the characters
    // of the cells of `field` and `record` from the first collected one to
    // `last`. Every other cell between them belongs to the same field (another
    // field would have cleared the text), so this repeats the scan's rule.
    // The yield hook is called before each cell read again. The view is
    // valid until the next Append or Clear.
    std::string_view Text(RecordFile& file, std::string_view field, int64_t record, int64_t last,
                          const YieldHook& yield) {
        if (length_ <= kShort) return {short_, length_};
        return LongText(file, field, record, last, yield);
    }
    std::string Take(RecordFile& file, std::string_view field, int64_t record, int64_t last, const YieldHook& yield) {
        return std::string(Text(file, field, record, last, yield));
    }

private:
    static constexpr std::size_t kShort = 48;

    // A character past the short array: the text moves to the string, and is
    // only located once it grows past kHeldBytes.
    void AppendLong(char c);
    std::string_view LongText(RecordFile& file, std::string_view field, int64_t record, int64_t last,
                              const YieldHook& yield);

    char short_[kShort];
    std::size_t length_ = 0;  // characters appended, held or not
    std::string text_;        // the text once it is longer than kShort, until located
    int64_t from_ = 0;  // cell of the first character, 0 when empty
    char first_ = 0;
    bool located_ = false;  // too long to hold: read again by Take
};

}  // namespace velmar
