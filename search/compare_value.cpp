#include "search/compare_value.h"

#include "database/numeric_value.h"

namespace velmar {

std::optional<Operator> OperatorOfCode(std::string_view code) {
    for (const OperatorEntry& entry : kOperatorEntries)
        if (entry.code == code) return entry.op;
    return std::nullopt;
}

bool Compare(std::string_view field, Operator op, std::string_view search) {
    switch (op) {
        case Operator::Equal: return field == search;
        case Operator::NotEqual: return field != search;
        case Operator::Greater: return NumericValue(field) > NumericValue(search);
        case Operator::Less: return NumericValue(field) < NumericValue(search);
        case Operator::GreaterOrEqual: return NumericValue(field) >= NumericValue(search);
        case Operator::LessOrEqual: return NumericValue(field) <= NumericValue(search);
        // A field value shorter than the search value neither begins nor ends with it.
        case Operator::EndsWith: return field.size() >= search.size() && field.substr(field.size() - search.size()) == search;
        case Operator::BeginsWith: return field.size() >= search.size() && field.substr(0, search.size()) == search;
        // An empty field value never contains anything, not even the empty text.
        case Operator::Contains: return !field.empty() && field.find(search) != std::string_view::npos;
    }
    return false;
}

bool CompareValue(std::string_view field, std::string_view code, std::string_view search) {
    std::optional<Operator> op = OperatorOfCode(code);
    return op && Compare(field, *op, search);
}

}  // namespace velmar
