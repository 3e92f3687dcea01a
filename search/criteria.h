// The criteria of a search and their order: what the search dialog and
// velmar-db hand to the searches.
#pragma once

#include <string>

#include "database/linked_database.h"

namespace velmar {

// Search criteria as three parallel lists; entry k (0-based here) is one
// criterion: field name, search value and operator code.
struct SearchCriteria {
    std::string names[3];
    std::string values[3];
    std::string codes[3];
};

// Puts criteria 1..count into the order in which the field definition file
// lists their fields. Criteria on one field keep their order; a criterion
// whose field no definition carries is dropped and the freed slots at the end
// become empty. Returns the number of criteria placed.
int OrderCriteriaByFields(const LinkedDatabase& db, SearchCriteria& criteria, int count);

}  // namespace velmar
