#include "cli/console.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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

// Ends the command after a failed write to standard output.
[[noreturn]] void OutputFailed(int error) {
    if (error != EPIPE) {
        std::string message = "velmar-db: no se pudo escribir la salida est\xC3\xA1ndar: " + SystemReason(error) + "\n";
        std::fwrite(message.data(), 1, message.size(), stderr);
        std::fflush(stderr);
    }
    // Nothing more may reach the output: what stdio still holds is dropped.
    std::_Exit(1);
}

#if defined(_WIN32)
// A real console takes wide text; a pipe or file gets UTF-8 bytes. Nothing
// when the handle is no console; otherwise whether the text was written.
std::optional<bool> WriteConsoleText(DWORD which, std::string_view utf8) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return std::nullopt;
    std::wstring wide = platform::WideFromUtf8(utf8);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
}
#endif

// Writes to `stream`; false when the write failed, with errno telling why.
bool Write(std::FILE* stream, std::string_view utf8, bool asText) {
#if defined(_WIN32)
    if (asText) {
        if (std::fflush(stream) != 0) return false;
        if (std::optional<bool> console =
                WriteConsoleText(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, utf8)) {
            if (!*console) errno = EIO;
            return *console;
        }
    }
#else
    (void)asText;
#endif
    errno = 0;
    if (std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size()) return true;
    if (errno == 0) errno = EIO;
    return false;
}

void Print(std::string_view text, bool asText) {
    if (!Write(stdout, text, asText)) OutputFailed(errno);
}

}  // namespace

void PrintAnsi(std::string_view ansi) {
    Print(Cp1252ToUtf8(ansi), true);
}
void PrintUtf8(std::string_view utf8) {
    Print(utf8, true);
}
void PrintBytes(std::string_view bytes) {
    Print(bytes, false);
}

void ErrorUtf8(std::string_view utf8) {
    Write(stderr, utf8, true);
    std::fflush(stderr);
}

bool ErrorIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void FinishOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) OutputFailed(errno != 0 ? errno : EIO);
    // Some file systems report a failed write only when the file is closed.
    errno = 0;
    if (std::fclose(stdout) != 0) OutputFailed(errno != 0 ? errno : EIO);
}

std::string SystemReason(int error) {
    std::string reason = std::strerror(error);
#if defined(_WIN32)
    // The C library's texts are in the ANSI code page.
    reason = platform::Utf8FromWide(platform::WideFrom(platform::CodePage::Ansi, reason));
#endif
    return reason;
}

}  // namespace velmar::cli
