// Control and command identifiers of the main window and its menus.
#pragma once

namespace velmar::ui::main_ids {

// Controls
inline constexpr int kEditor = 1174;
inline constexpr int kFontList = 1155;
inline constexpr int kSizeList = 1156;
inline constexpr int kBoldToggle = 1134;
inline constexpr int kItalicToggle = 1135;
inline constexpr int kUnderlineToggle = 1136;
inline constexpr int kStrikeOutToggle = 1137;
inline constexpr int kTextColourBox = 1144;
inline constexpr int kTextColourSwatch = 1251;
inline constexpr int kHighlightBox = 1154;
inline constexpr int kHighlightSwatch = 1252;
inline constexpr int kRightToggle = 1256;
inline constexpr int kCentreToggle = 1257;
inline constexpr int kBulletToggle = 1265;

// Menu bar: "Menú"
inline constexpr int kNew = 1253;        // "Nuevo"
inline constexpr int kReadRtf = 1254;    // "Leer RTF"
inline constexpr int kWriteRtf = 1255;   // "Grabar RTF"
inline constexpr int kExportTxt = 1263;  // "Exportar a TXT"
inline constexpr int kImportTxt = 1264;  // "Importar de TXT"
inline constexpr int kAbout = 1259;      // "Autor"
inline constexpr int kQuit = 1258;       // "Salir"
// Menu bar: "Bases d datos"
inline constexpr int kLink = 1260;       // "Vincular"
inline constexpr int kNavigator = 1261;  // "Navegador"
inline constexpr int kSearch = 1262;     // "Buscar"

// Editor context menu
inline constexpr int kUndo = 1244;
inline constexpr int kCut = 1246;
inline constexpr int kCopy = 1247;
inline constexpr int kPaste = 1248;
inline constexpr int kDelete = 1249;
inline constexpr int kSelectAll = 1250;

}  // namespace velmar::ui::main_ids
