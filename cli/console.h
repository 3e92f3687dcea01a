// Output of velmar-db. Texts from a database are in its 8-bit code page and
// are shown as UTF-8 (or as wide text on a Windows console).
#pragma once

#include <string_view>

namespace velmar::cli {

void PrintAnsi(std::string_view ansi);        // standard output, converted
void PrintUtf8(std::string_view utf8);        // standard output
void PrintBytes(std::string_view bytes);      // standard output, unchanged
void ErrorUtf8(std::string_view utf8);        // standard error
bool ErrorIsTerminal();
void FlushOutput();

}  // namespace velmar::cli
