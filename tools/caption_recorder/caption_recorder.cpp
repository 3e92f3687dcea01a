// A DLL that the end-to-end tests bring into the running program (velmar-driver
// inject) to record, from inside, every caption the search dialog is given:
// the search's progress and its times. Brought in, it finds the program's
// user-interface thread, puts a WH_CALLWNDPROC hook on it, and writes each
// WM_SETTEXT sent to a window that has the search dialog's "Buscar" button
// as one UTF-8 line to "<this dll>.captions.txt". The file appears
// once the hook is in place.
#include <windows.h>

#include "ui/main_window_ids.h"
#include "ui/search_dialog_ids.h"

namespace {

constexpr int kSearchButton = velmar::ui::search_ids::kSearch;

HMODULE self = nullptr;
HANDLE logFile = INVALID_HANDLE_VALUE;
UINT menuStateMessage = 0;
UINT takenMessage = 0;
HANDLE takenEvent = nullptr;
wchar_t menuStatePath[MAX_PATH + 16] = {};

void WriteMenuState(HWND window) {
    HMENU menu = GetMenu(window);
    char line[64];
    int n = wsprintfA(line, "%d %d\n", static_cast<int>(GetMenuState(menu, velmar::ui::main_ids::kNavigator, MF_BYCOMMAND)),
                      static_cast<int>(GetMenuState(menu, velmar::ui::main_ids::kSearch, MF_BYCOMMAND)));
    HANDLE file = CreateFileW(menuStatePath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && menuStateMessage != 0 && sent->message == menuStateMessage) WriteMenuState(sent->hwnd);
    if (code == HC_ACTION && sent->message == WM_SETTEXT && sent->lParam && GetParent(sent->hwnd) == nullptr &&
        GetDlgItem(sent->hwnd, kSearchButton)) {
        const auto* text = reinterpret_cast<const wchar_t*>(sent->lParam);
        char line[1024];
        int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof(line) - 2, nullptr, nullptr);
        if (n > 0) {
            line[n - 1] = '\n';  // in place of the terminator
            DWORD written = 0;
            WriteFile(logFile, line, static_cast<DWORD>(n), &written, nullptr);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Search {
    DWORD process;
    DWORD thread;
};

// The thread of the program's first visible top-level window.
DWORD UserInterfaceThread() {
    Search search{GetCurrentProcessId(), 0};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD process = 0;
            DWORD thread = GetWindowThreadProcessId(window, &process);
            if (process != s->process || !IsWindowVisible(window)) return TRUE;
            s->thread = thread;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.thread;
}

LRESULT CALLBACK Taken(int code, WPARAM removed, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == takenMessage && takenEvent)
        SetEvent(takenEvent);
    return CallNextHookEx(nullptr, code, removed, lParam);
}

// Runs outside the loader lock; the hook lasts as long as this thread.
DWORD WINAPI InstallHook(LPVOID) {
    wchar_t path[MAX_PATH + 16] = {};
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    lstrcpyW(menuStatePath, path);
    lstrcatW(menuStatePath, L".menu.txt");
    menuStateMessage = RegisterWindowMessageW(L"VelmarMenuState");
    takenMessage = RegisterWindowMessageW(L"VelmarTaken");
    takenEvent = CreateEventW(nullptr, FALSE, FALSE, L"Local\\VelmarTaken");
    lstrcatW(path, L".captions.txt");
    DWORD thread = UserInterfaceThread();
    if (!thread) return 1;
    wchar_t partial[MAX_PATH + 32];
    lstrcpyW(partial, path);
    lstrcatW(partial, L".part");
    logFile = CreateFileW(partial, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE) return 1;
    if (!SetWindowsHookExW(WH_CALLWNDPROC, Record, self, thread)) return 1;
    if (!SetWindowsHookExW(WH_GETMESSAGE, Taken, self, thread)) return 1;
    // Renamed only now, so that a file under its final name means recording.
    if (!MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING)) return 1;
    Sleep(INFINITE);
    return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        DisableThreadLibraryCalls(instance);
        HANDLE thread = CreateThread(nullptr, 0, InstallHook, nullptr, 0, nullptr);
        if (thread) CloseHandle(thread);
    }
    return TRUE;
}
