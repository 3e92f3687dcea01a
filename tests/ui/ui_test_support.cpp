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

LONG HeightForPoints(int points) {
    HDC screen = GetDC(nullptr);
    LONG height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return height;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

}  // namespace velmar::test
