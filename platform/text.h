// Texts cross between the program's 8-bit ANSI strings and the UTF-16 of the
// window system here, always through the system's ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmar::platform {

std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);
// False when some character of `text` has no form in the ANSI code page.
bool FitsAnsi(std::wstring_view text);

// `text` in capital letters as the system's ANSI upper-casing gives them
// (CharUpperBuffA), one byte for each byte.
std::string UpperCaseAnsi(std::string_view text);

std::wstring WindowTextW(HWND window);
std::string WindowTextAnsi(HWND window);
void SetWindowTextAnsi(HWND window, std::string_view text);
std::wstring ClassNameOf(HWND window);

}  // namespace velmar::platform
