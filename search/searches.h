// The searches over one, two or three criteria: every record number from 1 to
// the record count is tested in ascending order, in one forward pass over the
// value file, and the records that pass every criterion become the results.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "database/linked_database.h"
#include "search/criteria.h"
#include "search/search_state.h"

namespace velmar {

// Told the record number and the record count before each record is tested.
// Over a run of records that have no cells (which all test alike) it is told
// only the records at which the percentage text changes, and the run's last.
using SearchProgress = std::function<void(int64_t record, int64_t count)>;

// "57 %" for record 4 of 7: the whole percentage, remainder dropped.
std::string ProgressText(int64_t record, int64_t count);
// The whole percentage alone, exact for any record count.
int ProgressPercent(int64_t record, int64_t count);

// "5 Resultados ..." or "No hay Resultados ...".
std::string ClosingMessage(const SearchResults& results);

// Criterion 1 only.
int SearchOneField(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria,
                   const SearchProgress& progress = {});
// Criteria 1-2 or 1-3, which the caller has put into field definition order.
// The operator codes joined by "," select the tests; a combination with an
// empty or unknown code finds nothing, and "=,>,<>" tests its third criterion
// as a numeric inequality.
int SearchTwoFields(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria,
                    const SearchProgress& progress = {});
int SearchThreeFields(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria,
                      const SearchProgress& progress = {});

// The search that "Buscar" and velmar-db run for criteria 1..count: one
// criterion searches alone; two or three are first put into field definition
// order (in `criteria` itself), then searched together. `ordered` is told
// once the criteria are in that order, before the first record is read.
// Returns false, and searches nothing, for a count outside 1 to 3.
bool RunSearch(const LinkedDatabase& db, SearchState& state, SearchCriteria& criteria, int count,
               const SearchProgress& progress = {}, const std::function<void()>& ordered = {});

}  // namespace velmar
