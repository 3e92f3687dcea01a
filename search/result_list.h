// The record numbers a search found, in ascending order, indexed from 1.
// Held as runs of consecutive numbers, so that a damaged value file whose
// record count is huge (every record without cells tests alike) still needs
// memory only in proportion to its cells.
#pragma once

#include <cstdint>
#include <vector>

#include "database/linked_database.h"

namespace velmar {

class ResultList {
public:
    void Clear() {
        runs_.clear();
        count_ = 0;
    }
    // Appends `first`..`last` (ascending, each above every number held).
    void AppendRange(int64_t first, int64_t last);
    void Append(int64_t record) { AppendRange(record, record); }

    int64_t Count() const { return count_; }
    // Entry `index` (1-based), or 0 outside 1..Count().
    int64_t At(int64_t index) const;

    // The runs of consecutive numbers, ascending.
    RecordRuns Runs() const;

    template <typename F>
    void ForEach(F&& visit) const {
        for (const Run& run : runs_)
            for (int64_t r = run.first;; ++r) {
                visit(r);
                if (r == run.last) break;
            }
    }

private:
    struct Run {
        int64_t first;
        int64_t last;
        int64_t countBefore;  // entries held by the runs before this one
    };
    std::vector<Run> runs_;
    int64_t count_ = 0;
};

}  // namespace velmar
