#include "search/read_search_value.h"

#include "database/collected_text.h"
#include "database/file_layout.h"
#include "database/numeric_value.h"

namespace velmar {
namespace {

using layout::CellView;

// The numeric value of a single character: its digit value, 0 for any other.
int CharacterValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}
int FirstCharacterValue(std::string_view text) {
    return text.empty() ? 0 : CharacterValue(text.front());
}

bool HasEarlyStop(std::string_view code) {
    return code == "=" || code == "*-" || code == "<>";
}

}  // namespace

ValueScanner::ValueScanner(const LinkedDatabase& db) : db_(db), file_(db.ValueFilePath(), layout::kCellSize) {}

int64_t ValueScanner::LastRecordNumber() { return velmar::LastRecordNumber(file_); }

int64_t ValueScanner::Frontier(int64_t position, int64_t record) {
    const int64_t cells = file_.Count();
    if (position < 1) position = 1;
    int64_t p = position;
    // Cells already passed for an earlier (or the same) record from an earlier
    // (or the same) position all belong to records below this one.
    if (cachedPosition_ >= 1 && position >= cachedPosition_ && record >= cachedRecord_ && cachedFrontier_ > p)
        p = cachedFrontier_;
    while (p <= cells) {
        const unsigned char* bytes = file_.Record(p);
        if (bytes && !db_.yield) {
            // Without a yield hook, the cells already in the buffer are
            // passed over in one tight loop.
            const int64_t buffered = file_.BufferedFrom(p);
            int64_t k = 0;
            while (k < buffered && CellView{bytes + static_cast<std::size_t>(k) * layout::kCellSize}.Record() < record)
                ++k;
            p += k;
            if (k < buffered) break;
            continue;
        }
        if (bytes && CellView{bytes}.Record() >= record) break;
        if (bytes) db_.YieldOnce();
        ++p;
    }
    cachedPosition_ = position;
    cachedRecord_ = record;
    cachedFrontier_ = p;
    return p;
}

bool ValueScanner::RecordReachable(const SearchState& state, int64_t record, int64_t* nextRecord) {
    int64_t p = Frontier(state.scanPosition, record);
    if (p > file_.Count()) {
        *nextRecord = 0;
        return false;
    }
    const unsigned char* bytes = file_.Record(p);
    int64_t found = bytes ? CellView{bytes}.Record() : record;
    if (found == record) return true;
    *nextRecord = found;
    return false;
}

std::string ValueScanner::Lookup(SearchState& state, std::string_view field, int64_t record, std::string_view search,
                                 std::string_view code) {
    const int64_t cells = file_.Count();
    const bool earlyStop = HasEarlyStop(code);
    const int searchFirst = FirstCharacterValue(search);
    CollectedText collected;
    // Skipping to the frontier is exact: the cells before it belong to earlier
    // records, so they neither match, nor stop the scan, nor change the (still
    // empty) collected text.
    for (int64_t p = Frontier(state.scanPosition, record); p <= cells; ++p) {
        db_.YieldOnce();
        const unsigned char* bytes = file_.Record(p);
        if (!bytes) continue;
        CellView cell{bytes};
        int64_t cellRecord = cell.Record();
        if (cellRecord > record) return {};
        if (cellRecord == record && cell.NameIs(field)) {
            collected.Append(p, static_cast<char>(cell.Character()));
            if (earlyStop && CharacterValue(collected.First()) != searchFirst) {
                state.scanPosition = p;
                return {};
            }
            if (cell.IsLast()) {
                if (record != state.scanRecord) {
                    state.scanPosition = p;
                    state.scanRecord = record;
                }
                return collected.Take(file_, field, record, p, db_.yield);
            }
        } else if (!cell.NameIs(field)) {
            collected.Clear();
        }
    }
    return {};
}

std::string ReadSearchValue(const LinkedDatabase& db, SearchState& state, std::string_view field, int64_t record,
                            std::string_view search, std::string_view code) {
    ValueScanner scanner(db);
    return scanner.Lookup(state, field, record, search, code);
}

}  // namespace velmar
