#include "ui/search_form.h"

#include <cstdio>

#include "search/compare_value.h"
#include "database/numeric_value.h"

namespace velmar::ui {
namespace {

constexpr std::string_view kLabelStart = "Campo de busqueda ";
// "01 - " in front of every operator entry.
constexpr std::size_t kEntryNumberLength = 5;

}  // namespace

std::vector<std::string> SearchableFieldNames(const FieldList& fields) {
    std::vector<std::string> names;
    for (int i = 1; i <= fields.Count(); ++i) {
        int16_t type = fields.Type(i);
        if (fields.SearchFlag(i) == 1 && type >= 1 && type <= 9) names.push_back(fields.Name(i));
    }
    return names;
}

std::optional<std::string> OperatorCodeOfEntry(std::string_view entry) {
    double n = NumericValue(entry.substr(0, 2));
    for (std::size_t i = 0; i < kOperatorEntries.size(); ++i)
        if (n == static_cast<double>(i + 1)) return std::string(kOperatorEntries[i].code);
    return std::nullopt;
}

std::string EmptyCriterionLabel(int k) {
    return std::string(kLabelStart) + std::to_string(k) + " ";
}

std::string CriterionLabel(int k, std::string_view field, std::string_view entry) {
    std::string label = EmptyCriterionLabel(k) + "{";
    label += field;
    label += ' ';
    if (entry.size() > kEntryNumberLength) label += entry.substr(kEntryNumberLength);
    label += '}';
    return label;
}

ApplyOutcome ApplyCriterion(SearchCriteria& applied, int& count, std::string_view field, std::string_view entry) {
    if (field.empty() || entry.empty()) return ApplyOutcome::NeedsSelection;
    // The lists hold three criteria; a fourth would have nowhere to go.
    if (count < 0 || count >= kMaxCriteria) return ApplyOutcome::Full;
    int k = count++;
    applied.names[k] = std::string(field);
    // An entry that names no operator leaves the slot as it was (empty after a
    // reset), and a criterion with an empty code finds nothing.
    if (std::optional<std::string> code = OperatorCodeOfEntry(entry)) applied.codes[k] = *code;
    return ApplyOutcome::Applied;
}

SearchRequest PrepareSearch(const SearchCriteria& applied, int count, const std::string (&values)[kMaxCriteria]) {
    SearchRequest request;
    if (count < 1 || count > kMaxCriteria) return request;
    for (int k = 0; k < count; ++k) {
        if (values[k].empty()) {
            request.kind = SearchRequest::Kind::MissingValue;
            return request;
        }
    }
    request.kind = SearchRequest::Kind::Run;
    request.count = count;
    request.criteria = applied;
    for (int k = 0; k < count; ++k) request.criteria.values[k] = values[k];
    return request;
}

bool RunSearch(const LinkedDatabase& db, SearchState& state, SearchRequest& request, const SearchProgress& progress,
               const std::function<void()>& ordered) {
    if (request.kind != SearchRequest::Kind::Run) return false;
    return velmar::RunSearch(db, state, request.criteria, request.count, progress, ordered);
}

std::optional<std::string> ProgressCaption::Next(int64_t record, int64_t count) {
    int percent = ProgressPercent(record, count);
    if (percent == lastPercent_) return std::nullopt;
    lastPercent_ = percent;
    return ProgressText(record, count);
}

std::string SearchTimesCaption(TimeOfDay start, TimeOfDay end) {
    char text[80];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d - %02d:%02d:%02d", start.hours, start.minutes, start.seconds,
                  end.hours, end.minutes, end.seconds);
    return text;
}

}  // namespace velmar::ui
