#include "cli/output_file.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "cli/console.h"

#if defined(_WIN32)
#include <windows.h>

#include "platform/unicode.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmar::cli {
namespace {

constexpr int kNameAttempts = 100;

// The folder part of `path`, its last separator included ("" for a bare name).
std::string FolderPart(const std::string& path) {
#if defined(_WIN32)
    std::size_t slash = path.find_last_of("\\/:");
#else
    std::size_t slash = path.rfind('/');
#endif
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TemporaryName(int attempt) {
#if defined(_WIN32)
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    return "~velmar-db-" + std::to_string(process) + "-" + std::to_string(attempt) + ".tmp";
}

#if defined(_WIN32)
std::string ReasonOf(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason(text ? text : L"", length);
    if (text) LocalFree(text);
    while (!reason.empty() &&
           (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ' || reason.back() == L'.'))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : platform::Utf8FromWide(reason);
}

std::string Write(const std::string& path, std::string_view content, bool replace) {
    const std::string folder = FolderPart(path);
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kNameAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + TemporaryName(attempt);
        file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (file == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return ReasonOf(error);
    }
    if (file == INVALID_HANDLE_VALUE) return ReasonOf(error);
    bool complete = true;
    while (complete && !content.empty()) {
        DWORD size = static_cast<DWORD>(std::min<std::size_t>(content.size(), std::size_t{1} << 20));
        DWORD written = 0;
        complete = WriteFile(file, content.data(), size, &written, nullptr) && written == size;
        content.remove_prefix(size);
    }
    complete = complete && FlushFileBuffers(file);
    if (!complete) error = GetLastError();
    if (!CloseHandle(file) && complete) {
        error = GetLastError();
        complete = false;
    }
    if (complete && !MoveFileExA(temporary.c_str(), path.c_str(),
                                 (replace ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        complete = false;
    }
    if (!complete) {
        DeleteFileA(temporary.c_str());
        return ReasonOf(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
    }
    return {};
}
#else
std::string Failed(int error, const std::string& temporary) {
    unlink(temporary.c_str());
    return SystemReason(error);
}

std::string Write(const std::string& path, std::string_view content, bool replace) {
    const std::string folder = FolderPart(path);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        temporary = folder + TemporaryName(attempt);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return SystemReason(errno);
    }
    if (fd < 0) return SystemReason(EEXIST);
    while (!content.empty()) {
        ssize_t written = write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            int error = written < 0 ? errno : EIO;
            close(fd);
            return Failed(error, temporary);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    if (fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        int error = errno;
        close(fd);
        return Failed(error, temporary);
    }
    if (close(fd) != 0) return Failed(errno, temporary);
    if (replace) {
        if (rename(temporary.c_str(), path.c_str()) != 0) return Failed(errno, temporary);
        return {};
    }
    // A new name only: a link fails when the name is taken, even if it was
    // taken after the command looked.
    if (link(temporary.c_str(), path.c_str()) == 0) {
        unlink(temporary.c_str());
        return {};
    }
    if (errno == EEXIST) return Failed(EEXIST, temporary);
    // A file system without links: the name was free a moment ago.
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) return Failed(EEXIST, temporary);
    if (rename(temporary.c_str(), path.c_str()) != 0) return Failed(errno, temporary);
    return {};
}
#endif

}  // namespace

std::string WriteOutputFile(const std::string& path, std::string_view content, bool replace) {
    return Write(path, content, replace);
}

}  // namespace velmar::cli
