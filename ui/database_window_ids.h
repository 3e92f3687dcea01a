// Control and command identifiers of the link dialog, the record navigator
// and the search dialog.
#pragma once

namespace velmar::ui {

namespace link_ids {
inline constexpr int kLabel = 1001;
inline constexpr int kFolderBox = 1002;
inline constexpr int kExit = 1003;    // "Salir"
inline constexpr int kBrowse = 1004;  // "..."
}  // namespace link_ids

namespace navigator_ids {
inline constexpr int kFirst = 1901;     // "|<"
inline constexpr int kPrevious = 1902;  // "<<"
inline constexpr int kNext = 1903;      // ">>"
inline constexpr int kLast = 1904;      // ">|"
inline constexpr int kRecordLabel = 1905;
inline constexpr int kNumberBox = 1907;
inline constexpr int kGoTo = 1908;       // "Ir a"
inline constexpr int kSearchBox = 1909;  // "Navegar con búsqueda"
}  // namespace navigator_ids

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
