// Control and command identifiers of the record navigator, "Registros Base Datos".
#pragma once

namespace velmar::ui {

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

}  // namespace velmar::ui
