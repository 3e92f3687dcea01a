#include "ui/navigator_moves.h"

#include "database/numeric_value.h"

namespace velmar::ui {

int64_t RecordAtPosition(const NavigatorPosition& nav, const SearchResults& results) {
    if (SearchNavigationInEffect(nav, results)) return results.list.At(nav.position);
    return nav.position;
}

int64_t MoveLimit(const NavigatorPosition& nav, const SearchResults& results, int64_t recordCount) {
    return SearchNavigationInEffect(nav, results) ? results.count : recordCount;
}

bool ApplyMove(NavigatorPosition& nav, Move move, int64_t limit) {
    switch (move) {
        case Move::First:
            nav.position = 1;
            return true;
        case Move::Previous:
            if (nav.position <= 1) return false;
            --nav.position;
            return true;
        case Move::Next:
            if (nav.position >= limit) return false;
            ++nav.position;
            return true;
        case Move::Last:
            nav.position = limit;
            return true;
    }
    return false;
}

std::optional<int64_t> GoToTarget(std::string_view text, int64_t recordCount) {
    if (text.empty()) return std::nullopt;
    double v = NumericValue(text);
    if (!(v > 0 && v <= static_cast<double>(recordCount))) return std::nullopt;
    // 0.5 rounds to 0, which names no record: the rounded number must be one too.
    int64_t record = RoundHalfEvenToInt64(v);
    if (record < 1 || record > recordCount) return std::nullopt;
    return record;
}

OpeningControls ControlsAtOpening(const NavigatorPosition& nav, const SearchResults& results) {
    OpeningControls controls;
    if (results.flag == 0) return controls;
    controls.searchBoxEnabled = true;
    controls.searchBoxChecked = nav.searchNavigation;
    controls.goToEnabled = !nav.searchNavigation;
    return controls;
}

}  // namespace velmar::ui
