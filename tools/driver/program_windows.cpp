#include "tools/driver/program_windows.h"

#include <shlobj.h>

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
    DWORD processId = 0;
    GetWindowThreadProcessId(browser, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    std::size_t bytes = (std::wcslen(path) + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    // The browser's answer is not its dialog procedure's result: whether the
    // folder was taken shows in what the program links afterwards.
    bool selected = remote && WriteProcessMemory(process, remote, path, bytes, nullptr);
    if (selected) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
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
