// Finding the program's own dialogs from outside (message boxes, the file
// dialogs, the folder browser) and the steps that work inside them, shared by
// the driver's steps and the random user.
#pragma once

#include <windows.h>

#include <string>

namespace velmar::driver {

// The text of a message box: its static control's id.
inline constexpr int kMessageBoxText = 0xFFFF;

bool IsDialog(HWND window);

// A visible dialog of the process that owns `program`, other than `program`
// itself, for which `match` holds.
template <typename Match>
HWND FindDialogOf(HWND program, Match match) {
    struct Search {
        HWND program;
        DWORD process;
        Match* match;
        HWND found;
    } search{program, 0, &match, nullptr};
    GetWindowThreadProcessId(program, &search.process);
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (window == s->program || process != s->process || !IsWindowVisible(window) || !IsDialog(window))
                return TRUE;
            if (!(*s->match)(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The control of the platform's open or save dialog that holds the file
// name (the combo box of the newer dialogs, the edit box of the older ones);
// none for any other window.
HWND FileNameControl(HWND dialog);
HWND FindFileDialog(HWND program);

// The folder browser has a tree of folders.
bool HasTreeView(HWND dialog);

// In the program's folder browser, selects the folder `path` as if the user
// had clicked it: the browser takes a path in its own process, so the text is
// written there first. True once the tree's selected item is that folder (a
// browser that has only just opened may not take it yet).
bool SelectFolder(HWND browser, const wchar_t* path);

// The program's message box titled `title`.
HWND FindMessageBox(HWND program, const std::wstring& title);

}  // namespace velmar::driver
