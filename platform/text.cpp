#include "platform/text.h"

#include <vector>

namespace velmar::platform {

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
    return ansi;
}

bool FitsAnsi(std::wstring_view text) {
    if (text.empty()) return true;
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                        &lossy);
    return !lossy;
}

std::wstring WindowTextW(HWND window) {
    int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::string WindowTextAnsi(HWND window) {
    return AnsiFromWide(WindowTextW(window));
}

void SetWindowTextAnsi(HWND window, std::string_view text) {
    SetWindowTextW(window, WideFromAnsi(text).c_str());
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    int n = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(n > 0 ? n : 0));
}

}  // namespace velmar::platform
