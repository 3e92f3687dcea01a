#include "search/result_list.h"

#include <algorithm>

namespace velmar {

void ResultList::AppendRange(int64_t first, int64_t last) {
    if (last < first) return;
    int64_t added = last - first + 1;
    if (!runs_.empty() && runs_.back().last < INT64_MAX && runs_.back().last + 1 == first)
        runs_.back().last = last;
    else
        runs_.push_back({first, last, count_});
    count_ += added;
}

int64_t ResultList::At(int64_t index) const {
    if (index < 1 || index > count_) return 0;
    // The last run whose first entry index is <= index.
    auto it = std::upper_bound(runs_.begin(), runs_.end(), index - 1,
                               [](int64_t i, const Run& run) { return i < run.countBefore; });
    const Run& run = *(it - 1);
    return run.first + (index - 1 - run.countBefore);
}

RecordRuns ResultList::Runs() const {
    RecordRuns runs;
    runs.reserve(runs_.size());
    for (const Run& run : runs_) runs.emplace_back(run.first, run.last);
    return runs;
}

}  // namespace velmar
