// The resumable forward lookup that the searches use: the value of one field
// of one record, read from the scan position on and stopping at the first cell
// of a later record, with an early stop when the first character settles the
// outcome of "=", "*-" or "<>".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "database/collected_text.h"
#include "database/file_layout.h"
#include "database/linked_database.h"
#include "database/record_file.h"
#include "search/search_state.h"

namespace velmar {

// One field's lookup made ready once for a whole search: the name prepared for
// comparing with cells, and what the operator's early stop needs. Refers to
// the texts it was made from, which must outlive it.
struct FieldLookup {
    FieldLookup(std::string_view field, std::string_view search, std::string_view code);
    std::string_view field;
    layout::CellNameKey name;
    bool earlyStop;   // "=", "*-" and "<>" are settled by the first character
    int searchFirst;  // numeric value of the search text's first character
};

// Keeps the value file open for a whole search. Each lookup gives exactly the
// result and the scan position/scan record changes of a scan that starts at
// the scan position; cells that cannot matter (those of earlier records before
// the first cell of the record sought) are passed over once, not re-read.
class ValueScanner {
public:
    // `bufferBytes` sizes the read buffer; tests make it a few cells long so
    // that values and records cross its edge.
    explicit ValueScanner(const LinkedDatabase& db, std::size_t bufferBytes = RecordFile::kDefaultBufferBytes);

    int64_t CellCount() const { return file_.Count(); }
    // Record number of the last cell, or 0 without cells.
    int64_t LastRecordNumber();

    // The value a lookup of `record` finds, valid until the next lookup.
    std::string_view Lookup(SearchState& state, const FieldLookup& lookup, int64_t record);
    std::string Lookup(SearchState& state, std::string_view field, int64_t record, std::string_view search,
                       std::string_view code) {
        return std::string(Lookup(state, FieldLookup(field, search, code), record));
    }

    // Whether a lookup of `record` from the current scan position can meet any
    // cell of that record. When it cannot, every lookup of every field of that
    // record returns the empty text and changes nothing, and so does every
    // record before `*nextRecord` (the first later record number the scan
    // would meet; 0 when the scan meets none before the end of the file).
    bool RecordReachable(const SearchState& state, int64_t record, int64_t* nextRecord);

private:
    // First cell at or after `position` whose record number is >= `record`;
    // CellCount() + 1 when there is none.
    int64_t Frontier(int64_t position, int64_t record) {
        if (position < 1) position = 1;
        // A search asks for the same frontier once per criterion of a record.
        if (position == cachedPosition_ && record == cachedRecord_) return cachedFrontier_;
        return FindFrontier(position, record);
    }
    int64_t FindFrontier(int64_t position, int64_t record);

    const LinkedDatabase& db_;
    RecordFile file_;
    CollectedText collected_;  // the text of the lookup under way
    int64_t cachedPosition_ = -1;
    int64_t cachedRecord_ = 0;
    int64_t cachedFrontier_ = 0;
};

// One lookup on its own: opens the value file, scans, closes it.
std::string ReadSearchValue(const LinkedDatabase& db, SearchState& state, std::string_view field, int64_t record,
                            std::string_view search, std::string_view code);

}  // namespace velmar
