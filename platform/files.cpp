#include "platform/files.h"

#include <utility>
#include <vector>

#include "platform/handles.h"
#include "platform/path_form.h"
#include "platform/text.h"

namespace velmar::platform {

namespace {

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::wstring AbsolutePath(std::string_view path) {
    std::wstring wide = WideFromAnsi(path);
    if (wide.empty() || StartsWith(wide, L"\\\\?\\")) return wide;
    DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return wide;
    std::vector<wchar_t> full(needed + 1, L'\0');
    DWORD got = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (got == 0 || got >= full.size()) return wide;
    return std::wstring(full.data(), got);
}

std::wstring InPathForm(const std::wstring& absolute, bool longForm) {
    if (!longForm || absolute.empty() || StartsWith(absolute, L"\\\\?\\")) return absolute;
    if (StartsWith(absolute, L"\\\\")) return L"\\\\?\\UNC\\" + absolute.substr(2);  // \\server\share\...
    return L"\\\\?\\" + absolute;
}

std::wstring FileSystemPath(std::string_view path) {
    std::wstring absolute = AbsolutePath(path);
    return InPathForm(absolute, NeedsLongPathForm(absolute.size()));
}

bool PathExists(std::string_view path) {
    std::wstring wide = FileSystemPath(path);
    return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(std::string_view path) {
    std::wstring wide = FileSystemPath(path);
    if (wide.empty()) return false;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FileRead ReadWholeFile(std::string_view path, uint64_t maxBytes, std::string& content) {
    std::wstring wide = FileSystemPath(path);
    if (wide.empty()) return FileRead::Unreadable;
    HANDLE opened = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return FileRead::Unreadable;
    UniqueKernelHandle file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return FileRead::Unreadable;
    if (static_cast<uint64_t>(size.QuadPart) > maxBytes) return FileRead::TooLarge;

    std::string read;
    read.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr)) return FileRead::Unreadable;
        if (got == 0) break;
        // A file that grows while it is read is still held to the limit.
        if (read.size() + got > maxBytes) return FileRead::TooLarge;
        read.append(chunk, got);
    }
    content = std::move(read);
    return FileRead::Read;
}

}  // namespace velmar::platform
