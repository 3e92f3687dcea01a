// The main window's menu bar and the editor's context menu. Which entries are
// enabled is decided by small pure functions of plain facts, apart from the
// menus themselves, so the rules are tested without any window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles.h"

namespace velmar::ui {

struct MenuEntry {
    int id = 0;         // 0 for a separator
    std::wstring text;  // command text, TAB, shortcut text
    bool enabled = true;
};

// "Menú" and "Bases d datos", all items enabled, no separators.
platform::UniqueMenu BuildMenuBar();

// State 0 (enabled) for a linked database, MF_DISABLED otherwise.
UINT DatabaseMenuState(bool linked);
// Sets "Navegador" and "Buscar" of `menuBar` by command id.
void ApplyDatabaseMenuState(HMENU menuBar, bool linked);

// What the context menu needs to know about the editor, read once per right-click.
struct ContextMenuFacts {
    bool canUndo = false;        // EM_CANUNDO
    bool selectionEmpty = true;  // EM_EXGETSEL start == end
    bool canPaste = false;       // EM_CANPASTE with format 0
    bool hasText = false;        // WM_GETTEXTLENGTH != 0
};

std::vector<MenuEntry> ContextMenuEntries(const ContextMenuFacts& facts);
ContextMenuFacts ReadContextMenuFacts(HWND editor);
// A popup menu of `entries`: greyed (MF_GRAYED) where not enabled.
platform::UniqueMenu BuildPopupMenu(const std::vector<MenuEntry>& entries);

}  // namespace velmar::ui
