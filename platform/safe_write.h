// Writing a whole file without ever losing the old one: the new content goes
// to a temporary file in the same folder, and only a complete, flushed write
// replaces the old file. On any failure the old file stays exactly as it was,
// attributes included, and no temporary file is left behind.
#pragma once

#include <windows.h>

#include <string_view>

namespace velmar::platform {

struct WriteOutcome {
    bool written = false;
    DWORD error = ERROR_SUCCESS;  // the platform's reason when not written
};

// Makes `content` the whole content of the file at `path`, creating it or
// replacing the old one. A read-only old file is replaced too: the caller has
// asked the user before overwriting. A folder at `path` is never replaced.
WriteOutcome WriteFileSafely(std::string_view path, std::string_view content);

}  // namespace velmar::platform
