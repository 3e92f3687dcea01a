// Control and command identifiers of the search dialog, "Buscar", and its menu.
#pragma once

namespace velmar::ui {

namespace search_ids {
inline constexpr int kFieldLabel = 7001;
inline constexpr int kFieldBox = 7002;
inline constexpr int kOperatorBox = 7003;
inline constexpr int kOperatorLabel = 7004;
inline constexpr int kGroup = 7005;
inline constexpr int kCriterionLabel1 = 7006;
inline constexpr int kValueBox1 = 7007;
inline constexpr int kCriterionLabel2 = 7008;
inline constexpr int kValueBox2 = 7009;
inline constexpr int kCriterionLabel3 = 7010;
inline constexpr int kValueBox3 = 7011;
inline constexpr int kExit = 7012;    // "Salir"
inline constexpr int kApply = 7013;   // "Aplicar"
inline constexpr int kSearch = 7014;  // "Buscar"
inline constexpr int kReset = 7015;   // menu "Menú" > "Resetea"

// Criterion label and value box of criterion k (1..3).
inline constexpr int CriterionLabel(int k) {
    return kCriterionLabel1 + 2 * (k - 1);
}
inline constexpr int ValueBox(int k) {
    return kValueBox1 + 2 * (k - 1);
}
}  // namespace search_ids

}  // namespace velmar::ui
