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

// How many of the `count` cells at `cells`, from the first on, belong to
// records below `record`. This loop passes over most of the file.
int64_t CellsBelow(const unsigned char* cells, int64_t count, int64_t record) {
    const unsigned char* cell = cells;
    const unsigned char* const end = cells + static_cast<std::size_t>(count) * layout::kCellSize;
    while (cell != end && CellView{cell}.Record() < record) cell += layout::kCellSize;
    return static_cast<int64_t>(static_cast<std::size_t>(cell - cells) / layout::kCellSize);
}

// How many of the `count` cells at `cells` a lookup of `name` in `record`
// passes over without effect while it has collected nothing: cells of earlier
// records, and cells of `record` that hold another field. It stops at a cell
// of a later record or at one of `record` named `name`.
int64_t CellsWithoutEffect(const unsigned char* cells, int64_t count, int64_t record, const layout::CellNameKey& name) {
    const unsigned char* cell = cells;
    const unsigned char* const end = cells + static_cast<std::size_t>(count) * layout::kCellSize;
    for (; cell != end; cell += layout::kCellSize) {
        const int64_t cellRecord = CellView{cell}.Record();
        if (cellRecord > record || (cellRecord == record && name.Matches(cell))) break;
    }
    return static_cast<int64_t>(static_cast<std::size_t>(cell - cells) / layout::kCellSize);
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
    const bool yields = static_cast<bool>(db_.yield);
    while (p <= cells) {
        const unsigned char* bytes = file_.Record(p);
        if (bytes && !yields) {
            // Without a yield hook, the cells already in the buffer are
            // passed over in one tight loop.
            const int64_t buffered = file_.BufferedFrom(p);
            const int64_t k = CellsBelow(bytes, buffered, record);
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

std::string_view ValueScanner::Lookup(SearchState& state, const FieldLookup& lookup, int64_t record) {
    const int64_t cells = file_.Count();
    const bool yields = static_cast<bool>(db_.yield);
    const layout::CellNameKey& name = lookup.name;
    CollectedText& collected = collected_;
    collected.Clear();
    // Skipping to the frontier is exact: the cells before it belong to earlier
    // records, so they neither match, nor stop the scan, nor change the (still
    // empty) collected text.
    int64_t p = Frontier(state.scanPosition, record);
    // The value's last cell: the scan goes on from there next time.
    const auto finish = [&](int64_t last) {
        if (record != state.scanRecord) {
            state.scanPosition = last;
            state.scanRecord = record;
        }
        return collected.Text(file_, lookup.field, record, last, db_.yield);
    };
    while (p <= cells) {
        if (yields) db_.YieldOnce();
        const unsigned char* bytes = file_.Record(p);
        if (!bytes) {
            ++p;
            continue;
        }
        // Without a yield hook the cells already in the buffer are worked
        // through in tight loops; with one, a cell at a time.
        const int64_t run = yields ? 1 : file_.BufferedFrom(p);
        int64_t k = 0;
        if (collected.Empty()) {
            k = CellsWithoutEffect(bytes, run, record, name);
            if (k == run) {
                p += k;
                continue;
            }
            // A later record's cell (the value is empty), or the first of the value.
            const CellView first{bytes + static_cast<std::size_t>(k) * layout::kCellSize};
            if (first.Record() > record) return {};
            collected.Append(p + k, static_cast<char>(first.Character()));
            // The first character settles "=", "*-" and "<>" when it differs.
            if (lookup.earlyStop && CharacterValue(collected.First()) != lookup.searchFirst) {
                state.scanPosition = p + k;
                return {};
            }
            if (first.IsLast()) return finish(p + k);
            ++k;
        }
        for (; k < run; ++k) {
            const CellView cell{bytes + static_cast<std::size_t>(k) * layout::kCellSize};
            const int64_t cellRecord = cell.Record();
            if (cellRecord > record) return {};
            if (!name.Matches(cell.bytes)) {
                // Another field: what was collected is dropped, and the
                // cells after this one are passed over again.
                collected.Clear();
                ++k;
                break;
            }
            if (cellRecord != record) continue;
            collected.Append(p + k, static_cast<char>(cell.Character()));
            if (cell.IsLast()) return finish(p + k);
        }
        p += k;
    }
    return {};
}

std::string ReadSearchValue(const LinkedDatabase& db, SearchState& state, std::string_view field, int64_t record,
                            std::string_view search, std::string_view code) {
    ValueScanner scanner(db);
    return std::string(scanner.Lookup(state, FieldLookup(field, search, code), record));
}

}  // namespace velmar
