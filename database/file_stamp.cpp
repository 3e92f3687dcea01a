#include "database/file_stamp.h"

#include <algorithm>
#include <chrono>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace velmar {
namespace {

bool UsablePath(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

#if defined(_WIN32)

// A file time counts 100-nanosecond steps from 1 January 1601.
constexpr int64_t kFileTimeTo1970 = int64_t{116444736000000000};
int64_t UnixNanoseconds(const LARGE_INTEGER& fileTime) {
    return (fileTime.QuadPart - kFileTimeTo1970) * 100;
}

// The C runtime keeps a file's time in whole seconds and has no change time;
// the file's basic information has both times in 100-nanosecond steps.
FileStamp PlatformStamp(const std::string& path) {
    // Reading attributes alone is granted even while another program holds
    // the file open without sharing it.
    HANDLE file =
        CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    const bool read = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) &&
                      GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard);
    CloseHandle(file);
    if (!read) return {};
    return {true, static_cast<uint64_t>(standard.EndOfFile.QuadPart), UnixNanoseconds(basic.LastWriteTime),
            UnixNanoseconds(basic.ChangeTime)};
}

#else

int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileStamp PlatformStamp(const std::string& path) {
    struct stat s {};
    if (stat(path.c_str(), &s) != 0) return {};
    return {true, static_cast<uint64_t>(s.st_size), Nanoseconds(s.st_mtim), Nanoseconds(s.st_ctim)};
}

#endif

}  // namespace

FileStamp StampOf(const std::string& path) {
    return UsablePath(path) ? PlatformStamp(path) : FileStamp{};
}

int64_t SystemFileTime() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

StampedRead ReadStamped(const std::string& path, const FileClock& clock,
                        const std::function<bool(const FileStamp& before)>& read) {
    StampedRead result;
    const int64_t readTime = clock();
    result.stamp.file = StampOf(path);
    const bool readWhole = read(result.stamp.file);
    const FileStamp after = StampOf(path);
    // The read creates a missing database file empty; that is no change
    // made by another program (and a missing file's stamp is never trusted).
    const bool createdByRead = !result.stamp.file.exists && after.exists && after.size == 0;
    result.whole = readWhole && (after == result.stamp.file || createdByRead);
    // A write in the same tick as the read, or just after it, may leave the
    // stamp as it is; times a safe margin in the past cannot be repeated by a
    // later write. A time after the read (a clock set back) is never safe.
    const FileStamp& before = result.stamp.file;
    const int64_t newest = std::max(before.modified, before.changed);
    result.stamp.trusted = result.whole && before.exists && newest <= readTime - kStampSafetyNs;
    return result;
}

}  // namespace velmar
