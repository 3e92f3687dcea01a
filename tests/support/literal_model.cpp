#include "tests/support/literal_model.h"

#include <cstdio>
#include <cstring>

#include "database/file_layout.h"
#include "search/compare_value.h"
#include "database/numeric_value.h"

namespace velmar::model {
namespace {

using layout::CellView;

struct File {
    std::FILE* f = nullptr;
    int64_t cells = 0;
    explicit File(const std::string& path) {
        f = std::fopen(path.c_str(), "rb");
        if (!f) return;
        std::fseek(f, 0, SEEK_END);
        cells = static_cast<int64_t>(std::ftell(f)) / static_cast<int64_t>(layout::kCellSize);
    }
    ~File() {
        if (f) std::fclose(f);
    }
    bool Read(int64_t n, unsigned char* cell) {
        if (std::fseek(f, static_cast<long>((n - 1) * static_cast<int64_t>(layout::kCellSize)), SEEK_SET) != 0)
            return false;
        return std::fread(cell, layout::kCellSize, 1, f) == 1;
    }
};

double FirstCharValue(const std::string& s) { return NumericValue(s.substr(0, 1)); }

int64_t LastRecord(const LinkedDatabase& db) {
    File file(db.ValueFilePath());
    unsigned char cell[layout::kCellSize];
    if (file.cells == 0 || !file.Read(file.cells, cell)) return 0;
    return CellView{cell}.Record();
}

std::string Percent(int64_t r, int64_t n) { return std::to_string(r * 100 / n) + " %"; }

}  // namespace

std::string ReadFieldValue(const LinkedDatabase& db, const std::string& field, int64_t record) {
    File file(db.ValueFilePath());
    std::string collected, result;
    unsigned char cell[layout::kCellSize];
    for (int64_t i = 1; i <= file.cells; ++i) {
        if (!file.Read(i, cell)) continue;
        CellView c{cell};
        if (std::string(c.Name()) == field && c.Record() == record) {
            collected += static_cast<char>(c.Character());
            if (c.IsLast()) {
                result = collected;
                break;
            }
        } else if (std::string(c.Name()) != field) {
            collected.clear();
        }
    }
    return result.empty() ? "No datos" : result;
}

std::string ReadSearchValue(const LinkedDatabase& db, State& state, const std::string& field, int64_t record,
                            const std::string& search, const std::string& code) {
    File file(db.ValueFilePath());
    std::string accumulated;
    unsigned char cell[layout::kCellSize] = {};
    for (int64_t p = state.scanPosition; p <= file.cells; ++p) {
        file.Read(p, cell);  // a failed read leaves the previous cell's bytes
        CellView c{cell};
        if (c.Record() > record) return "";
        if (std::string(c.Name()) == field && c.Record() == record) {
            accumulated += static_cast<char>(c.Character());
            if ((code == "=" || code == "*-" || code == "<>") && FirstCharValue(accumulated) != FirstCharValue(search)) {
                state.scanPosition = p;
                return "";
            }
            if (c.IsLast()) {
                if (record != state.scanRecord) {
                    state.scanPosition = p;
                    state.scanRecord = record;
                }
                return accumulated;
            }
        } else if (std::string(c.Name()) != field) {
            accumulated.clear();
        }
    }
    return "";
}

std::optional<Outcome> Search(const LinkedDatabase& db, State& state, const SearchCriteria& criteria, int count,
                              int64_t limit) {
    static const char* const kCodes[] = {"=", ">", "<", "<>", ">=", "<=", "*-", "-*", "$"};
    state.scanPosition = 1;
    int64_t n = LastRecord(db);
    if (n > limit) return std::nullopt;
    Outcome outcome;
    std::string combination;
    for (int k = 0; k < count; ++k) combination += (k ? "," : "") + criteria.codes[k];
    bool inTable = true;
    for (int k = 0; k < count; ++k) {
        bool known = false;
        for (const char* code : kCodes) known = known || criteria.codes[k] == code;
        inTable = inTable && known;
    }
    for (int64_t r = 1; r <= n; ++r) {
        outcome.progress.push_back(Percent(r, n));
        if (!inTable) continue;
        bool found = true;
        for (int k = 0; k < count && found; ++k) {
            const std::string& s = criteria.values[k];
            std::string f = ReadSearchValue(db, state, criteria.names[k], r, s, criteria.codes[k]);
            if (count == 3 && k == 2 && combination == "=,>,<>")
                found = NumericValue(f) != NumericValue(s);
            else
                found = CompareValue(f, criteria.codes[k], s);
        }
        if (found) outcome.found.push_back(r);
    }
    return outcome;
}

}  // namespace velmar::model
