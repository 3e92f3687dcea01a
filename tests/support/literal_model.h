// A plain model of the lookups and searches, written straight from their
// step-by-step rules: every lookup opens the value file and reads each cell
// with its own positioned read. The fast implementation is checked against
// it, and the benchmark uses it as the baseline.
//
// What it shares with the code it checks, and why that is safe:
//  - CompareValue and NumericValue: the rules of comparing and of reading a
//    number, which fuzz/numeric_fuzzer.cpp checks against a reference of
//    its own;
//  - layout::CellView, to take a cell apart: the offsets it uses are pinned
//    by the hand-typed bytes of tests/database/file_layout_oracle_test.cpp.
// The scans themselves (the collecting rule, the scan position and scan
// record, the early stop, the stop at a later record, a failed read reusing
// the previous cell's bytes) are written from their steps, cell by cell, and
// share nothing with the buffered scanner and its shortcuts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/linked_database.h"
#include "search/criteria.h"

namespace velmar::model {

struct State {
    int64_t scanPosition = 1;
    int64_t scanRecord = 0;
};

std::string ReadFieldValue(const LinkedDatabase& db, const std::string& field, int64_t record);
std::string ReadSearchValue(const LinkedDatabase& db, State& state, const std::string& field, int64_t record,
                            const std::string& search, const std::string& code);

struct Outcome {
    std::vector<int64_t> found;
    std::vector<std::string> progress;  // every progress text, in order
};

// Runs the search over criteria 1..count (already in field definition order
// for two or three). Returns nothing when the record count exceeds `limit`.
std::optional<Outcome> Search(const LinkedDatabase& db, State& state, const SearchCriteria& criteria, int count,
                              int64_t limit = 2000000);

}  // namespace velmar::model
