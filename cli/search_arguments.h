// Search criteria as the command line gives them: FIELD OP VALUE, one to
// three times. Shared by `search` and the batch `merge --search`.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/linked_database.h"
#include "search/criteria.h"
#include "search/search_state.h"

namespace velmar::cli {

// The operator code that OP names: one of the nine codes, or the two-digit
// number of its operator entry ("01" to "09"); nothing for anything else.
std::optional<std::string> OperatorCodeArgument(std::string_view op);

struct ParsedCriteria {
    SearchCriteria criteria;
    int count = 0;
};

// Parses `args` (a multiple of three, 3 to 9 of them). On a usage error it
// prints the message for `commandName` and sets `*status` to 2; on a refused
// value (empty, or not in the code page) it prints it and sets `*status` to 1.
std::optional<ParsedCriteria> ParseCriteria(std::string_view commandName, const std::vector<std::string>& args,
                                            int* status);

// What the search dialog's "Buscar" does with applied criteria: one criterion
// searches alone; two or three are put into field definition order first.
// `db` is open, its field list loaded. Refuses (false) a field name that no
// definition carries, with the list of the fields. Warns on standard error
// about an ordering operator's value that does not begin with a number, and
// when nothing is found, about a list field given one of its option names
// instead of its number. Shows the percentage on standard error while it runs
// on a terminal.
bool RunCriteriaSearch(const LinkedDatabase& db, SearchState& state, ParsedCriteria parsed);

}  // namespace velmar::cli
