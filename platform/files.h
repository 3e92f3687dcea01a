// Whole-file access by path for the document commands. Paths are the
// program's ANSI texts; they are turned into the platform's wide paths here,
// so a path longer than the classic 260-character limit still names the file
// the user chose (and never a shortened one).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace velmar::platform {

// The absolute wide form of `path`, with the "\\?\" prefix when it is too long
// for the ordinary form. Empty for an empty path.
std::wstring FileSystemPath(std::string_view path);
// The same in two steps, for callers that use several paths and choose one
// form for all of them: the absolute wide path, then that path in the
// ordinary or the "\\?\" form (a path already in that form stays as it is).
std::wstring AbsolutePath(std::string_view path);
std::wstring InPathForm(const std::wstring& absolute, bool longForm);

// True when the platform reports attributes for `path`: a file or a folder.
bool PathExists(std::string_view path);
bool IsFolder(std::string_view path);

enum class FileRead {
    Read,
    Unreadable,  // cannot be opened or read
    TooLarge,    // longer than the caller can hold: nothing was read
};
// The whole content of the file into `content`, when it holds at most
// `maxBytes`. A longer file is refused before anything is read or held.
FileRead ReadWholeFile(std::string_view path, uint64_t maxBytes, std::string& content);

}  // namespace velmar::platform
