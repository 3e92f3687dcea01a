// The nine comparison operators of a search criterion.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace velmar {

enum class Operator { Equal, Greater, Less, GreaterOrEqual, LessOrEqual, NotEqual, EndsWith, BeginsWith, Contains };

struct OperatorEntry {
    std::string_view code;  // what a criterion stores
    std::string_view text;  // what the search dialog lists
    Operator op;
};

// The nine operator entries in the order the search dialog offers them; entry
// number n (1..9) is element n - 1.
inline constexpr std::array<OperatorEntry, 9> kOperatorEntries{{
    {"=", "01 - = Igual a ...", Operator::Equal},
    {">", "02 - > Mayor que ...", Operator::Greater},
    {"<", "03 - < Menor que ...", Operator::Less},
    {">=", "04 - >= Mayor o igual a ...", Operator::GreaterOrEqual},
    {"<=", "05 - <= Menor o igual a ...", Operator::LessOrEqual},
    {"<>", "06 - <> Distinto de ...", Operator::NotEqual},
    {"-*", "07 - = Igual a comod\xEDn por la izquierda ...", Operator::EndsWith},
    {"*-", "08 - = Igual a comod\xEDn por la derecha ...", Operator::BeginsWith},
    {"$", "09 - = Igual en alguna parte del texto ...", Operator::Contains},
}};

// The operator whose code is exactly `code`; any other text (empty, longer
// than two characters, unknown) names none.
std::optional<Operator> OperatorOfCode(std::string_view code);

// The four operators that compare the numbers the texts begin with.
inline bool IsOrdering(Operator op) {
    return op == Operator::Greater || op == Operator::Less || op == Operator::GreaterOrEqual ||
           op == Operator::LessOrEqual;
}

// Whether field value `field` satisfies `op` against search value `search`.
bool Compare(std::string_view field, Operator op, std::string_view search);

// The same, by operator code; a code that names no operator never holds.
bool CompareValue(std::string_view field, std::string_view code, std::string_view search);

}  // namespace velmar
