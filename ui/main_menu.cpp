#include "ui/main_menu.h"

#include "platform/editor.h"
#include "ui/main_window_ids.h"

namespace velmar::ui {

namespace ids = main_ids;

platform::UniqueMenu BuildMenuBar() {
    platform::UniqueMenu bar(CreateMenu());
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, ids::kNew, L"Nuevo");
    AppendMenuW(file, MF_STRING, ids::kReadRtf, L"Leer RTF");
    AppendMenuW(file, MF_STRING, ids::kWriteRtf, L"Grabar RTF");
    AppendMenuW(file, MF_STRING, ids::kExportTxt, L"Exportar a TXT");
    AppendMenuW(file, MF_STRING, ids::kImportTxt, L"Importar de TXT");
    AppendMenuW(file, MF_STRING, ids::kAbout, L"Autor");
    AppendMenuW(file, MF_STRING, ids::kQuit, L"Salir");
    AppendMenuW(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"Men\u00fa");

    HMENU database = CreatePopupMenu();
    AppendMenuW(database, MF_STRING, ids::kLink, L"Vincular");
    AppendMenuW(database, MF_STRING, ids::kNavigator, L"Navegador");
    AppendMenuW(database, MF_STRING, ids::kSearch, L"Buscar");
    AppendMenuW(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(database), L"Bases d datos");
    return bar;
}

UINT DatabaseMenuState(bool linked) {
    return linked ? 0u : static_cast<UINT>(MF_DISABLED);
}

void ApplyDatabaseMenuState(HMENU menuBar, bool linked) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE;
    item.fState = DatabaseMenuState(linked);
    SetMenuItemInfoW(menuBar, ids::kNavigator, FALSE, &item);
    SetMenuItemInfoW(menuBar, ids::kSearch, FALSE, &item);
}

std::vector<MenuEntry> ContextMenuEntries(const ContextMenuFacts& facts) {
    bool selection = !facts.selectionEmpty;
    return {
        {ids::kUndo, L"&undo\tctrl + z", facts.canUndo},
        {0, L"", true},
        {ids::kCut, L"cu&t\tctrl + x", selection},
        {ids::kCopy, L"&copy\tctrl + c", selection},
        {ids::kPaste, L"&paste\tctrl + v", facts.canPaste},
        {ids::kDelete, L"&delete\tdel", selection},
        {0, L"", true},
        {ids::kSelectAll, L"&select all\tctrl + a", facts.hasText},
    };
}

ContextMenuFacts ReadContextMenuFacts(HWND editor) {
    ContextMenuFacts facts;
    CHARRANGE selection = platform::editor::Selection(editor);
    facts.canUndo = platform::editor::CanUndo(editor);
    facts.selectionEmpty = selection.cpMin == selection.cpMax;
    facts.canPaste = platform::editor::CanPaste(editor, 0);
    facts.hasText = platform::editor::TextLength(editor) != 0;
    return facts;
}

platform::UniqueMenu BuildPopupMenu(const std::vector<MenuEntry>& entries) {
    platform::UniqueMenu menu(CreatePopupMenu());
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED);
        AppendMenuW(menu.Get(), flags, static_cast<UINT_PTR>(entry.id), entry.text.c_str());
    }
    return menu;
}

}  // namespace velmar::ui
