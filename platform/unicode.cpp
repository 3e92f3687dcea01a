#include "platform/unicode.h"

#include <windows.h>

namespace velmar::platform {
namespace {

UINT SystemCodePage(CodePage page) {
    return page == CodePage::Utf8 ? CP_UTF8 : CP_ACP;
}

}  // namespace

std::wstring WideFrom(CodePage page, std::string_view text) {
    if (text.empty()) return {};
    const UINT cp = SystemCodePage(page);
    int n = MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string NarrowFrom(CodePage page, std::wstring_view text) {
    if (text.empty()) return {};
    const UINT cp = SystemCodePage(page);
    int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr, nullptr);
    return narrow;
}

}  // namespace velmar::platform
