// The resumable forward lookup that the searches use: the value of one field
// of one record, read from the scan position on and stopping at the first cell
// of a later record, with an early stop when the first character settles the
// outcome of "=", "*-" or "<>".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "database/linked_database.h"
#include "database/record_file.h"
#include "search/search_state.h"

namespace velmar {

// Keeps the value file open for a whole search. Each lookup gives exactly the
// result and the scan position/scan record changes of a scan that starts at
// the scan position; cells that cannot matter (those of earlier records before
// the first cell of the record sought) are passed over once, not re-read.
class ValueScanner {
public:
    explicit ValueScanner(const LinkedDatabase& db);

    int64_t CellCount() const { return file_.Count(); }
    // Record number of the last cell, or 0 without cells.
    int64_t LastRecordNumber();

    std::string Lookup(SearchState& state, std::string_view field, int64_t record, std::string_view search,
                       std::string_view code);

    // Whether a lookup of `record` from the current scan position can meet any
    // cell of that record. When it cannot, every lookup of every field of that
    // record returns the empty text and changes nothing, and so does every
    // record before `*nextRecord` (the first later record number the scan
    // would meet; 0 when the scan meets none before the end of the file).
    bool RecordReachable(const SearchState& state, int64_t record, int64_t* nextRecord);

private:
    // First cell at or after `position` whose record number is >= `record`;
    // CellCount() + 1 when there is none.
    int64_t Frontier(int64_t position, int64_t record);

    const LinkedDatabase& db_;
    RecordFile file_;
    int64_t cachedPosition_ = -1;
    int64_t cachedRecord_ = 0;
    int64_t cachedFrontier_ = 0;
};

// One lookup on its own: opens the value file, scans, closes it.
std::string ReadSearchValue(const LinkedDatabase& db, SearchState& state, std::string_view field, int64_t record,
                            std::string_view search, std::string_view code);

}  // namespace velmar
