// The record navigator's rules, apart from its window: where each button
// moves, which record a position shows, what "Ir a" accepts, and which
// controls are enabled.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "search/search_state.h"

namespace velmar::ui {

// Kept for the whole run, so that a reopened navigator finds them as left.
struct NavigatorPosition {
    // A record number; under search navigation an index (from 1) into the result list.
    int64_t position = 0;
    // Whether "Navegar con búsqueda" was last seen checked.
    bool searchNavigation = false;
};

// Search navigation is in effect while the box was left checked and the last
// search found something.
inline bool SearchNavigationInEffect(const NavigatorPosition& nav, const SearchResults& results) {
    return nav.searchNavigation && results.flag == 1;
}

// The record that the position shows: a result list entry under search
// navigation, otherwise the position itself.
int64_t RecordAtPosition(const NavigatorPosition& nav, const SearchResults& results);

// The last position a move may reach: the result count under search
// navigation, otherwise the record count.
int64_t MoveLimit(const NavigatorPosition& nav, const SearchResults& results, int64_t recordCount);

enum class Move { First, Previous, Next, Last };

// Moves the position; true when the record at the new position is to be
// shown. "<<" at position 1 and ">>" at the limit change nothing.
bool ApplyMove(NavigatorPosition& nav, Move move, int64_t limit);

// The record "Ir a" goes to for the number box's text: the number the text
// begins with, rounded to a whole number, when that lies in 1..recordCount.
// Nothing otherwise (empty box, 0, beyond the last record).
std::optional<int64_t> GoToTarget(std::string_view text, int64_t recordCount);

// Which controls the navigator enables when it opens.
struct OpeningControls {
    bool searchBoxEnabled = false;
    bool searchBoxChecked = false;
    // "Ir a" and the number box; they are left as created (enabled) when the
    // last search found nothing.
    bool goToEnabled = true;
};
OpeningControls ControlsAtOpening(const NavigatorPosition& nav, const SearchResults& results);

}  // namespace velmar::ui
