#include "tools/driver/program_windows.h"

#include <shlobj.h>
// after windows.h
#include <commctrl.h>

#include <cwchar>

namespace velmar::driver {

namespace {

// Control ids of the platform's file dialog that hold the file name: the
// combo box of the newer dialogs and the edit box of the older ones.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

}  // namespace

bool IsDialog(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return std::wcscmp(name, L"#32770") == 0;
}

HWND FileNameControl(HWND dialog) {
    HWND control = GetDlgItem(dialog, kFileNameCombo);
    return control ? control : GetDlgItem(dialog, kFileNameEdit);
}

HWND FindFileDialog(HWND program) {
    return FindDialogOf(program, [](HWND window) { return FileNameControl(window) != nullptr; });
}

bool HasTreeView(HWND dialog) {
    return FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr) != nullptr;
}

bool SelectFolder(HWND browser, const wchar_t* path) {
    HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(browser, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE, processId);
    if (!tree || !process) {
        if (process) CloseHandle(process);
        return false;
    }
    // The path, and room for the selected item's record and name, in the
    // browser's own process, where the messages look for them.
    constexpr std::size_t kNameChars = 260;
    std::size_t pathBytes = (std::wcslen(path) + 1) * sizeof(wchar_t);
    std::size_t bytes = pathBytes + sizeof(TVITEMW) + kNameChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    bool selected = false;
    if (remote && WriteProcessMemory(process, remote, path, pathBytes, nullptr)) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
        // The selection took when the tree's selected item is the folder's own.
        auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = caret;
        item.pszText = reinterpret_cast<wchar_t*>(remote + pathBytes + sizeof(TVITEMW));
        item.cchTextMax = kNameChars;
        wchar_t name[kNameChars] = {};
        if (caret && WriteProcessMemory(process, remote + pathBytes, &item, sizeof item, nullptr) &&
            SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote + pathBytes)) &&
            ReadProcessMemory(process, remote + pathBytes + sizeof(TVITEMW), name, sizeof name - sizeof(wchar_t),
                              nullptr)) {
            const wchar_t* last = std::wcsrchr(path, L'\\');
            selected = std::wcscmp(name, last ? last + 1 : path) == 0;
        }
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return selected;
}

HWND FindMessageBox(HWND program, const std::wstring& title) {
    return FindDialogOf(program, [&](HWND window) {
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        return title == caption && GetDlgItem(window, kMessageBoxText) != nullptr;
    });
}

}  // namespace velmar::driver
