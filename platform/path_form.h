// Which form of a path the file functions are given. The ordinary form of a
// path reaches at most 259 characters (MAX_PATH with its terminator); a
// longer one needs the "\\?\" form. A save uses two paths, the target and a
// temporary file beside it, so the longer of the two decides for both.
// Plain text arithmetic, without the platform, so that it is tested everywhere.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmar::platform {

// MAX_PATH: characters of an ordinary path, its terminator included.
inline constexpr std::size_t kOrdinaryPathLimit = 260;

inline bool NeedsLongPathForm(std::size_t pathLength) {
    return pathLength >= kOrdinaryPathLimit;
}

// The name of the temporary file that a save writes beside its target before
// it replaces the target: "~velmar-<process>-<start>-<attempt>.tmp".
inline std::wstring TemporaryFileName(unsigned long process, unsigned long long start, int attempt) {
    return L"~velmar-" + std::to_wstring(process) + L"-" + std::to_wstring(start) + L"-" + std::to_wstring(attempt) +
           L".tmp";
}

// The length of the folder part of `path`, its last separator included: the
// place where a file beside it begins.
inline std::size_t FolderPartLength(std::wstring_view path) {
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? 0 : slash + 1;
}

// The length of the longest path a save to `absoluteTarget` uses, given the
// longest temporary file name it may try.
inline std::size_t LongestSavePathLength(std::wstring_view absoluteTarget, std::size_t temporaryNameLength) {
    return std::max(absoluteTarget.size(), FolderPartLength(absoluteTarget) + temporaryNameLength);
}

// Whether a save to `absoluteTarget` gives both of its paths the "\\?\" form.
inline bool SaveNeedsLongPathForm(std::wstring_view absoluteTarget, std::size_t temporaryNameLength) {
    return NeedsLongPathForm(LongestSavePathLength(absoluteTarget, temporaryNameLength));
}

}  // namespace velmar::platform
