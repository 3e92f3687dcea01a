#include "cli/console.h"

#include <cstdio>
#include <string>

#include "database/cp1252.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>

#include "platform/unicode.h"
#else
#include <unistd.h>
#endif

namespace velmar::cli {
namespace {

#if defined(_WIN32)
// A real console takes wide text; a pipe or file gets UTF-8 bytes.
bool WriteConsoleText(DWORD which, std::string_view utf8) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return false;
    std::wstring wide = platform::WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return true;
}
#endif

void Write(std::FILE* stream, std::string_view utf8) {
#if defined(_WIN32)
    std::fflush(stream);
    if (WriteConsoleText(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, utf8)) return;
#endif
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace

void PrintAnsi(std::string_view ansi) { Write(stdout, Cp1252ToUtf8(ansi)); }
void PrintUtf8(std::string_view utf8) { Write(stdout, utf8); }
void PrintBytes(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

void ErrorUtf8(std::string_view utf8) {
    Write(stderr, utf8);
    std::fflush(stderr);
}

bool ErrorIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void FlushOutput() { std::fflush(stdout); }

}  // namespace velmar::cli
