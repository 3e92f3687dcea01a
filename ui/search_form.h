// What the search dialog does with its criteria, apart from its window: which
// fields it offers, applying a criterion, preparing and running a search, and
// the texts it shows. All texts are in the ANSI code page; the dialog converts
// them at its controls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/linked_database.h"
#include "search/search_state.h"
#include "search/searches.h"

namespace velmar::ui {

inline constexpr int kMaxCriteria = 3;

// The fields the field box offers, in field definition order (the box sorts
// them itself): search flag 1 and a type from 1 to 9.
std::vector<std::string> SearchableFieldNames(const FieldList& fields);

// The operator code of an operator entry: its first two characters read as a
// number select entry 1 to 9; anything else selects none.
std::optional<std::string> OperatorCodeOfEntry(std::string_view entry);

// "Campo de busqueda k " before a criterion is applied to label k (1..3).
std::string EmptyCriterionLabel(int k);
// "Campo de busqueda k {Nombre = Igual a ...}": the field name, one blank and
// the entry without its number, blank, hyphen and blank.
std::string CriterionLabel(int k, std::string_view field, std::string_view entry);

// The dialog's applied criteria are entries 1..count of `applied` (0-based
// here), in the order the user applied them, so that value box k always
// belongs to criterion k; their field names and operator codes are kept,
// values are read anew at each "Buscar". Searches get ordered copies.
enum class ApplyOutcome {
    NeedsSelection,  // no field or no operator entry chosen: the dialog says so
    Applied,         // criterion `count` now holds the field and the code
    Full,            // three criteria are applied already: nothing changes
};
ApplyOutcome ApplyCriterion(SearchCriteria& applied, int& count, std::string_view field, std::string_view entry);

// What "Buscar" is to do with the values typed into the three value boxes.
struct SearchRequest {
    enum class Kind {
        Nothing,       // no criterion applied
        MissingValue,  // an applied criterion has no value: the dialog says so
        Run,
    };
    Kind kind = Kind::Nothing;
    int count = 0;
    SearchCriteria criteria;  // a copy of the applied criteria with their values, in applied order
};
SearchRequest PrepareSearch(const SearchCriteria& applied, int count, const std::string (&values)[kMaxCriteria]);

// Runs a prepared search: two or three criteria are first put into field
// definition order (on the request's own copy), then the search for that
// many criteria runs; `ordered` is told when the order is settled. Returns
// false when the request was not to run.
bool RunSearch(const LinkedDatabase& db, SearchState& state, SearchRequest& request,
               const SearchProgress& progress = {}, const std::function<void()>& ordered = {});

// The progress text for the dialog's caption, before each record is tested.
// A text is handed out only when it differs from the last one handed out:
// setting the caption again to the same text would change nothing on screen,
// so a search shows each of its percentages once, in order, and at most 101
// captions however many records it tests.
class ProgressCaption {
public:
    std::optional<std::string> Next(int64_t record, int64_t count);

private:
    int lastPercent_ = -1;
};

struct TimeOfDay {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
// "10:04:59 - 10:05:13".
std::string SearchTimesCaption(TimeOfDay start, TimeOfDay end);

}  // namespace velmar::ui
