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

// The first cell from `cell` on (up to `end`) whose record is not below
// `record`. Most of the file is passed over in this loop.
const unsigned char* PassBelow(const unsigned char* cell, const unsigned char* end, int64_t record) {
    while (cell != end && CellView{cell}.Record() < record) cell += layout::kCellSize;
    return cell;
}

// The first cell from `cell` on (up to `end`) that a lookup of `name` in
// `record` cannot pass over while it has collected nothing: a cell of a later
// record, or one of `record` named `name`. Cells of earlier records and cells
// of `record` that hold another field change nothing.
const unsigned char* PassWithoutEffect(const unsigned char* cell, const unsigned char* end, int64_t record,
                                       const layout::CellNameKey& name) {
    for (; cell != end; cell += layout::kCellSize) {
        const int64_t cellRecord = CellView{cell}.Record();
        if (cellRecord > record || (cellRecord == record && name.Matches(cell))) break;
    }
    return cell;
}

int64_t CellsBetween(const unsigned char* from, const unsigned char* to) {
    return static_cast<int64_t>(static_cast<std::size_t>(to - from) / layout::kCellSize);
}

}  // namespace

FieldLookup::FieldLookup(std::string_view field, std::string_view search, std::string_view code)
    : field(field), name(field), earlyStop(HasEarlyStop(code)), searchFirst(FirstCharacterValue(search)) {}

ValueScanner::ValueScanner(const LinkedDatabase& db, std::size_t bufferBytes)
    : db_(db), file_(db.ValueFilePath(), layout::kCellSize, bufferBytes) {}

int64_t ValueScanner::LastRecordNumber() { return velmar::LastRecordNumber(file_); }

int64_t ValueScanner::FindFrontier(int64_t position, int64_t record) {
    const int64_t cells = file_.Count();
    int64_t p = position;
    // Cells already passed for an earlier (or the same) record from an earlier
    // (or the same) position all belong to records below this one.
    if (cachedPosition_ >= 1 && position >= cachedPosition_ && record >= cachedRecord_ && cachedFrontier_ > p)
        p = cachedFrontier_;
    if (db_.yield) {
        // A cell at a time, the hook called after each cell passed over.
        for (; p <= cells; ++p) {
            const unsigned char* bytes = file_.Record(p);
            if (bytes && CellView{bytes}.Record() >= record) break;
            if (bytes) db_.YieldOnce();
        }
    } else {
        // The cells already in the buffer in one tight loop.
        while (p <= cells) {
            const unsigned char* const start = file_.Record(p);
            if (!start) {
                ++p;
                continue;
            }
            const unsigned char* const end = start + static_cast<std::size_t>(file_.BufferedFrom(p)) * layout::kCellSize;
            const unsigned char* const stop = PassBelow(start, end, record);
            p += CellsBetween(start, stop);
            if (stop != end) break;
        }
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

std::string_view ValueScanner::Lookup(SearchState& state, const FieldLookup& lookup, int64_t record) {
    const int64_t cells = file_.Count();
    const bool yields = static_cast<bool>(db_.yield);
    const layout::CellNameKey& name = lookup.name;
    CollectedText& collected = collected_;
    collected.Clear();
    // The value's last cell: the scan goes on from there next time.
    const auto finish = [&](int64_t last) {
        if (record != state.scanRecord) {
            state.scanPosition = last;
            state.scanRecord = record;
        }
        return collected.Text(file_, lookup.field, record, last, db_.yield);
    };
    // Skipping to the frontier is exact: the cells before it belong to earlier
    // records, so they neither match, nor stop the scan, nor change the (still
    // empty) collected text.
    int64_t p = Frontier(state.scanPosition, record);
    while (p <= cells) {
        if (yields) db_.YieldOnce();
        const unsigned char* const start = file_.Record(p);
        if (!start) {
            ++p;
            continue;
        }
        // Without a yield hook the cells already in the buffer are worked
        // through in tight loops; with one, a cell at a time.
        const unsigned char* const end =
            start + static_cast<std::size_t>(yields ? 1 : file_.BufferedFrom(p)) * layout::kCellSize;
        const unsigned char* cell = start;
        if (collected.Empty()) {
            cell = PassWithoutEffect(start, end, record, name);
            if (cell == end) {
                p += CellsBetween(start, end);
                continue;
            }
            // A later record's cell (the value is empty), or the first of the value.
            const CellView first{cell};
            if (first.Record() > record) return {};
            const int64_t at = p + CellsBetween(start, cell);
            collected.Append(at, static_cast<char>(first.Character()));
            // The first character settles "=", "*-" and "<>" when it differs.
            if (lookup.earlyStop && CharacterValue(collected.First()) != lookup.searchFirst) {
                state.scanPosition = at;
                return {};
            }
            if (first.IsLast()) return finish(at);
            cell += layout::kCellSize;
        }
        for (; cell != end; cell += layout::kCellSize) {
            const CellView next{cell};
            const int64_t cellRecord = next.Record();
            if (cellRecord > record) return {};
            if (!name.Matches(cell)) {
                // Another field: what was collected is dropped, and the
                // cells after this one are passed over again.
                collected.Clear();
                cell += layout::kCellSize;
                break;
            }
            if (cellRecord != record) continue;
            collected.AppendMore(static_cast<char>(next.Character()));  // the text holds at least its first
            if (next.IsLast()) return finish(p + CellsBetween(start, cell));
        }
        p += CellsBetween(start, cell);
    }
    return {};
}

std::string ReadSearchValue(const LinkedDatabase& db, SearchState& state, std::string_view field, int64_t record,
                            std::string_view search, std::string_view code) {
    ValueScanner scanner(db);
    return std::string(scanner.Lookup(state, FieldLookup(field, search, code), record));
}

}  // namespace velmar
