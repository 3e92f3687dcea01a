// Files that velmar-db writes (merged documents, CSV exports) are written the
// safe way: the whole content goes to a temporary file in the target's folder,
// which is flushed to the disk and closed, and only then takes the target's
// name. A failure at any step leaves the old file as it was (or no file) and
// removes the temporary one.
#pragma once

#include <string>
#include <string_view>

namespace velmar::cli {

// Makes `content` the whole file at `path` (in the file functions' form).
// Without `replace`, a file that exists at `path` (even one made meanwhile)
// is left alone and the write fails. Empty on success; otherwise the system's
// reason, in UTF-8.
std::string WriteOutputFile(const std::string& path, std::string_view content, bool replace);

}  // namespace velmar::cli
