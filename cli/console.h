// Output of velmar-db. Texts from a database are in its 8-bit code page and
// are shown as UTF-8 (or as wide text on a Windows console).
//
// Every write to standard output is checked: when one fails, the command
// ends at once with status 1 and the system's reason on standard error. A
// reader that has gone away (a closed pipe) ends it quietly.
#pragma once

#include <string>
#include <string_view>

namespace velmar::cli {

void PrintAnsi(std::string_view ansi);    // standard output, converted
void PrintUtf8(std::string_view utf8);    // standard output
void PrintBytes(std::string_view bytes);  // standard output, unchanged
void ErrorUtf8(std::string_view utf8);    // standard error
bool ErrorIsTerminal();
// Flushes and closes standard output; a failure ends the command as above.
void FinishOutput();

// The system's reason for the C library error `error` (an errno value), in UTF-8.
std::string SystemReason(int error);

}  // namespace velmar::cli
