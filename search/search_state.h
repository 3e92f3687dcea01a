// State that the searches share with each other and with the record navigator
// for the whole run.
#pragma once

#include <cstdint>

#include "search/result_list.h"

namespace velmar {

struct SearchResults {
    ResultList list;    // the records found by the last search, ascending
    int64_t count = 0;  // entries of `list`
    int flag = 0;       // 1 when the last search found at least one record
};

struct SearchState {
    // Value cell (from 1) at which the next lookup starts; every search resets it to 1.
    int64_t scanPosition = 1;
    // Record for which the scan position last moved to a value's last cell; never reset.
    int64_t scanRecord = 0;
    SearchResults results;
};

}  // namespace velmar
