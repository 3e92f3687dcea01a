// Control and command identifiers of the link dialog, "Base de Datos Vinculada".
#pragma once

namespace velmar::ui {

namespace link_ids {
inline constexpr int kLabel = 1001;
inline constexpr int kFolderBox = 1002;
inline constexpr int kExit = 1003;    // "Salir"
inline constexpr int kBrowse = 1004;  // "..."
}  // namespace link_ids

}  // namespace velmar::ui
