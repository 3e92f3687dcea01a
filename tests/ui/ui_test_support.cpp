#include "tests/ui/ui_test_support.h"

#include <commctrl.h>

namespace velmar::test {

void LoadWindowLibraries() {
    static HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    static bool controls = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)richEdit;
    (void)controls;
}

void PumpPending() {
    MSG message{};
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

FontSeen FontOf(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW logical{};
    GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT), sizeof(logical), &logical);
    return {logical.lfFaceName,       logical.lfHeight,         logical.lfWeight, logical.lfItalic != 0,
            logical.lfUnderline != 0, logical.lfStrikeOut != 0, logical.lfCharSet};
}

UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

LONG HeightForPoints(int points) { return -MulDiv(points, static_cast<int>(ScreenDpi()), 72); }

bool SameText(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

namespace {

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

struct PendingClick {
    std::wstring caption;
    int id;
};
std::vector<PendingClick>& PendingClicks() {
    static std::vector<PendingClick> clicks;
    return clicks;
}

void CALLBACK ClickPending(HWND, UINT, UINT_PTR timer, DWORD) {
    std::vector<PendingClick>& clicks = PendingClicks();
    for (auto it = clicks.begin(); it != clicks.end();) {
        std::vector<HWND> found = WindowsCaptioned(it->caption);
        if (found.empty()) {
            ++it;
            continue;
        }
        HWND window = found.front();
        int id = it->id;
        it = clicks.erase(it);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    }
    if (clicks.empty()) KillTimer(nullptr, timer);
}

}  // namespace

std::vector<HWND> WindowsCaptioned(const std::wstring& caption) {
    std::vector<HWND> found;
    for (HWND window : ThreadWindows()) {
        int n = GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), n + 1)));
        if (IsWindowVisible(window) && text == caption) found.push_back(window);
    }
    return found;
}

void DestroyThreadWindows() {
    for (HWND window : ThreadWindows())
        if (IsWindow(window)) DestroyWindow(window);
    PumpPending();
}

void ClickWhenShown(const std::wstring& caption, int id) {
    PendingClicks().push_back({caption, id});
    SetTimer(nullptr, 0, 10, ClickPending);
}

}  // namespace velmar::test
