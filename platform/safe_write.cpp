#include "platform/safe_write.h"

#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/handles.h"
#include "platform/path_form.h"

namespace velmar::platform {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kWriteChunk = 1 << 20;

WriteOutcome Failed(DWORD error) {
    return {false, error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT};
}

// A new, empty file in `folder` whose name nobody else uses; its path is
// returned through `path`.
HANDLE CreateTemporaryIn(const std::wstring& folder, unsigned long process, unsigned long long start,
                         std::wstring& path, DWORD& error) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        path = folder + TemporaryFileName(process, start, attempt);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view content, DWORD& error) {
    while (!content.empty()) {
        DWORD size = static_cast<DWORD>(std::min(content.size(), kWriteChunk));
        DWORD written = 0;
        if (!WriteFile(file, content.data(), size, &written, nullptr) || written != size) {
            error = GetLastError();
            return false;
        }
        content.remove_prefix(size);
    }
    if (!FlushFileBuffers(file)) {
        error = GetLastError();
        return false;
    }
    return true;
}

}  // namespace

WriteOutcome WriteFileSafely(std::string_view path, std::string_view content) {
    std::wstring absolute = AbsolutePath(path);
    if (absolute.empty()) return Failed(ERROR_INVALID_NAME);
    // The temporary file's path may be the longer one: it decides the form of both.
    const unsigned long process = GetCurrentProcessId();
    const unsigned long long start = GetTickCount64();
    std::size_t longestName = TemporaryFileName(process, start, kNameAttempts - 1).size();
    std::wstring target = InPathForm(absolute, SaveNeedsLongPathForm(absolute, longestName));
    const DWORD oldAttributes = GetFileAttributesW(target.c_str());
    const bool existed = oldAttributes != INVALID_FILE_ATTRIBUTES;
    if (existed && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY)) return Failed(ERROR_ACCESS_DENIED);

    DWORD error = ERROR_SUCCESS;
    std::wstring temporary;
    HANDLE created = CreateTemporaryIn(target.substr(0, FolderPartLength(target)), process, start, temporary, error);
    if (created == INVALID_HANDLE_VALUE) return Failed(error);
    {
        UniqueKernelHandle file(created);
        bool complete = WriteAll(file.Get(), content, error);
        if (complete && !CloseHandle(file.Release())) {
            error = GetLastError();
            complete = false;
        }
        if (!complete) {
            file.Reset();
            DeleteFileW(temporary.c_str());
            return Failed(error);
        }
    }

    // Only now may the old file go. A read-only one could not be replaced.
    if (existed && oldAttributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        if (existed) SetFileAttributesW(target.c_str(), oldAttributes);
        DeleteFileW(temporary.c_str());
        return Failed(error);
    }
    return {true, ERROR_SUCCESS};
}

}  // namespace velmar::platform
