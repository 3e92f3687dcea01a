// Whole-file access by path for the document commands. Paths are the
// program's ANSI texts; they are turned into the platform's wide paths here,
// so a path longer than the classic 260-character limit still names the file
// the user chose (and never a shortened one).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmar::platform {

// The absolute wide form of `path`, with the "\\?\" prefix when it is too long
// for the ordinary form. Empty for an empty path.
std::wstring FileSystemPath(std::string_view path);

// True when the platform reports attributes for `path`: a file or a folder.
bool PathExists(std::string_view path);
bool IsFolder(std::string_view path);

// The whole content of the file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(std::string_view path);

}  // namespace velmar::platform
