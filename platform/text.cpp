#include "platform/text.h"

#include <algorithm>
#include <vector>

#include "platform/unicode.h"

namespace velmar::platform {

std::wstring WideFromAnsi(std::string_view text) { return WideFrom(CodePage::Ansi, text); }

std::string AnsiFromWide(std::wstring_view text) { return NarrowFrom(CodePage::Ansi, text); }

bool FitsAnsi(std::wstring_view text) {
    if (text.empty()) return true;
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                        &lossy);
    return !lossy;
}

std::string UpperCaseAnsi(std::string_view text) {
    std::string upper(text);
    // The system upper-cases in place, at most 2^32 - 1 bytes at a time.
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    for (std::size_t at = 0; at < upper.size(); at += kChunk)
        CharUpperBuffA(upper.data() + at, static_cast<DWORD>(std::min(kChunk, upper.size() - at)));
    return upper;
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
