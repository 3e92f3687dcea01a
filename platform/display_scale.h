// The display scale of a window, for everything the program sizes in pixels
// itself: the fonts it creates, the icons it loads. Dialog units need none of
// this, since they follow the template font, which the system creates at the
// window's scale.
//
// The program is per-monitor aware where the system supports it (its
// manifest): a window moved to a monitor of another scale receives
// WM_DPICHANGED, the dialog manager lays the dialog out again in the new
// template font, and the window then recreates its own fonts and icons for
// the DPI that the message carries. The functions of newer systems are looked
// up at run time, so the program still starts on systems without them.
#pragma once

#include <windows.h>

namespace velmar::platform {

inline constexpr UINT kUnscaledDpi = 96;

// Posted by a window to itself on WM_DPICHANGED, so that it applies the new
// scale after the dialog manager has laid its controls out again.
inline constexpr UINT kApplyDisplayScale = WM_APP + 0x140;

// The DPI of `window` (GetDpiForWindow), or the screen's where the system has
// no per-window DPI.
UINT WindowDpi(HWND window);

// The new DPI that WM_DPICHANGED carries (the vertical one; both are equal).
inline UINT DpiOfDpiChanged(WPARAM wParam) {
    return HIWORD(wParam);
}

// A system metric at `dpi` (GetSystemMetricsForDpi), or the system's own
// where that function is missing (the process is then at most system aware,
// and the system DPI is the only one).
int SystemMetricForDpi(int index, UINT dpi);

// `pixels` at 96 DPI, scaled to `dpi`.
inline int ScaleForDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kUnscaledDpi));
}

// Tells the dialog manager to leave the font of `control` alone when the
// scale changes: the window sets its own font for the new scale. Nothing on
// systems without per-monitor dialog scaling.
void KeepOwnFontOnScaleChange(HWND control);

}  // namespace velmar::platform
