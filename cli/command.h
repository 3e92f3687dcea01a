// The subcommands of velmar-db. Each command file registers its commands with
// a static `CommandRegistration`; main() dispatches by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/linked_database.h"

namespace velmar::cli {

struct Command {
    std::string_view name;
    std::string_view usage;    // the arguments, after "velmar-db NAME "
    std::string_view summary;  // one line for the overview
    std::string_view help;     // the rest of "velmar-db NAME --help"
    // Runs the command on its arguments (after the command name, in UTF-8);
    // returns the exit status.
    int (*run)(const std::vector<std::string>& args);
};

std::vector<Command>& Registry();

struct CommandRegistration {
    explicit CommandRegistration(const Command& command) { Registry().push_back(command); }
};

// The exit statuses: done, refused (what the command was given cannot be
// done: no database, an unknown field, a file that cannot be written...), and
// a usage error.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;
inline constexpr int kUsage = 2;

// Prints "velmar-db: <why>" and the command's usage line on standard error;
// returns the usage-error status, 2.
int UsageError(std::string_view commandName, std::string_view why);

// A database folder from the command line, resolved to the real folder (".",
// "..", a relative path, a trailing separator or "/." as users type them) and
// ending in the path separator, in the form the file functions take; nothing
// when the argument is empty.
std::optional<std::string> FolderArgument(const std::string& utf8);
// Any other file path from the command line, in the form the file functions take.
std::string PathArgument(const std::string& utf8);
// A path in the file functions' form as UTF-8, for messages; a trailing
// separator is left out.
std::string ShownPath(std::string path);

// Opens the database folder of argument `utf8` for `commandName`: an empty
// argument is a usage error (2); a folder that does not exist, is not a
// folder or has no field definition file is refused (1) with a message that
// names the folder and the file looked for. A definition file of a bad length
// is read as the program reads it, after one warning. Fills db.folder and the
// field list; 0 when the database may be read.
int OpenDatabase(std::string_view commandName, const std::string& utf8, LinkedDatabase& db);

// Whether a definition of the loaded field list is named `ansiName`; when
// none is, says so with the list of the fields.
bool KnownField(const LinkedDatabase& db, const std::string& ansiName);

// A text argument (field name, search value) in the databases' code page;
// prints a clear message and gives nothing when a character has no byte there.
std::optional<std::string> TextArgument(const std::string& utf8, std::string_view what);

// A whole decimal number with an optional sign, and nothing else.
std::optional<int64_t> IntegerArgument(std::string_view text);

}  // namespace velmar::cli
