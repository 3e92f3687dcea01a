// The subcommands of velmar-db. Each command file registers its commands with
// a static `CommandRegistration`; main() dispatches by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Prints "velmar-db: <why>" and the command's usage line on standard error;
// returns the usage-error status, 2.
int UsageError(std::string_view commandName, std::string_view why);

// A database folder from the command line, with the path separator appended
// when it is missing (as the folder browser does), in the form the file
// functions take.
std::optional<std::string> FolderArgument(const std::string& utf8);
// Any other file path from the command line, in the form the file functions take.
std::string PathArgument(const std::string& utf8);

// A text argument (field name, search value) in the databases' code page;
// prints a clear message and gives nothing when a character has no byte there.
std::optional<std::string> TextArgument(const std::string& utf8, std::string_view what);

// A whole decimal number with an optional sign, and nothing else.
std::optional<int64_t> IntegerArgument(std::string_view text);

}  // namespace velmar::cli
