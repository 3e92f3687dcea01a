// Text between the encodings Windows programs meet: UTF-16 (the system's wide
// text), UTF-8 (command lines and output of velmar-db, the tools' output) and
// the system's ANSI code page (the databases, the file functions' 8-bit
// paths, the program's texts). Needs only the kernel: velmar-db and the tools
// use it without the window layer.
#pragma once

#include <string>
#include <string_view>

namespace velmar::platform {

// A code page of the system: the ANSI one or UTF-8.
enum class CodePage { Ansi, Utf8 };

std::wstring WideFrom(CodePage page, std::string_view text);
// Characters the code page cannot hold become its default character (best fit
// allowed), as the system's own conversions do.
std::string NarrowFrom(CodePage page, std::wstring_view text);

inline std::wstring WideFromUtf8(std::string_view text) {
    return WideFrom(CodePage::Utf8, text);
}
inline std::string Utf8FromWide(std::wstring_view text) {
    return NarrowFrom(CodePage::Utf8, text);
}
inline std::string AnsiFromUtf8(std::string_view text) {
    return NarrowFrom(CodePage::Ansi, WideFromUtf8(text));
}

}  // namespace velmar::platform
