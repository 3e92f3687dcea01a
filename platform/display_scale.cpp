#include "platform/display_scale.h"

#include "platform/handles.h"

namespace velmar::platform {

namespace {

template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// DCDC_DISABLE_FONTUPDATE of SetDialogControlDpiChangeBehavior.
constexpr int kDisableFontUpdate = 1;

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    WindowDC screen(nullptr);
    int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kUnscaledDpi;
}

int SystemMetricForDpi(int index, UINT dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, dpi);
    // Without it the process is at most system aware, and the metric is the
    // system's own.
    return GetSystemMetrics(index);
}

void KeepOwnFontOnScaleChange(HWND control) {
    using SetBehaviourFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehaviour = User32Function<SetBehaviourFn>("SetDialogControlDpiChangeBehavior");
    if (setBehaviour && control) setBehaviour(control, kDisableFontUpdate, kDisableFontUpdate);
}

}  // namespace velmar::platform
