// velmar-db: the database operations of Velmar on the command line.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/console.h"
#include "database/cp1252.h"
#include "database/linked_database.h"
#include "velmar_version.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/unicode.h"
#endif

namespace velmar::cli {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

namespace {

const Command* Find(std::string_view name) {
    for (const Command& c : Registry())
        if (c.name == name) return &c;
    return nullptr;
}

void PrintOverview() {
    std::string text =
        "velmar-db: consulta bases de datos de Velmar (carpeta con ficheros .zbd y .z04)\n\n"
        "Uso: velmar-db ORDEN ARGUMENTOS...\n\nÓrdenes:\n";
    std::vector<Command> sorted = Registry();
    std::sort(sorted.begin(), sorted.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& c : sorted) {
        text += "  " + std::string(c.name);
        text.append(c.name.size() < 12 ? 12 - c.name.size() : 1, ' ');
        text += std::string(c.summary) + "\n";
    }
    text += "\n'velmar-db ORDEN --help' explica cada orden; 'velmar-db --version' dice la versión.\n";
    PrintUtf8(text);
}

void PrintHelp(const Command& c) {
    PrintUtf8("Uso: velmar-db " + std::string(c.name) + " " + std::string(c.usage) + "\n\n" + std::string(c.summary) +
              "\n" + (c.help.empty() ? "" : "\n" + std::string(c.help) + "\n"));
}

int Main(const std::vector<std::string>& args) {
    if (args.empty()) {
        ErrorUtf8("velmar-db: falta la orden\nUso: velmar-db ORDEN ARGUMENTOS... (velmar-db --help)\n");
        return 2;
    }
    if (args[0] == "--help" && args.size() == 1) {
        PrintOverview();
        return 0;
    }
    if (args[0] == "--version" && args.size() == 1) {
        PrintUtf8("velmar-db " VELMAR_VERSION "\n");
        return 0;
    }
    const Command* command = Find(args[0]);
    if (!command) {
        ErrorUtf8("velmar-db: orden desconocida: " + args[0] + "\nUso: velmar-db ORDEN ARGUMENTOS... (velmar-db --help)\n");
        return 2;
    }
    if (args.size() == 2 && args[1] == "--help") {
        PrintHelp(*command);
        return 0;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    int status = command->run(rest);
    FlushOutput();
    return status;
}

}  // namespace

int UsageError(std::string_view commandName, std::string_view why) {
    const Command* c = Find(commandName);
    std::string usage = c ? "velmar-db " + std::string(c->name) + " " + std::string(c->usage) : "velmar-db --help";
    ErrorUtf8("velmar-db: " + std::string(why) + "\nUso: " + usage + "\n");
    return 2;
}

std::optional<std::string> FolderArgument(const std::string& utf8) {
    if (utf8.empty()) return std::nullopt;
    std::string folder = PathArgument(utf8);
    // Either separator ends a folder on Windows.
    bool ends = folder.back() == kPathSeparator;
#if defined(_WIN32)
    ends = ends || folder.back() == '/';
    if (folder.back() == '/') folder.back() = kPathSeparator;
#endif
    if (!ends) folder.push_back(kPathSeparator);
    return folder;
}

std::string PathArgument(const std::string& utf8) {
#if defined(_WIN32)
    // The file functions take paths in the system's ANSI code page.
    return platform::AnsiFromUtf8(utf8);
#else
    return utf8;
#endif
}

std::optional<std::string> TextArgument(const std::string& utf8, std::string_view what) {
    Utf8Problem problem;
    std::optional<std::string> ansi = Utf8ToCp1252(utf8, &problem);
    if (!ansi) {
        std::string why = problem.malformed ? "no es texto UTF-8 válido"
                                            : "tiene un carácter que no existe en la página de códigos Windows-1252";
        ErrorUtf8("velmar-db: " + std::string(what) + " \"" + utf8 + "\" " + why + " (byte " +
                  std::to_string(problem.offset + 1) + ")\n");
    }
    return ansi;
}

std::optional<int64_t> IntegerArgument(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    uint64_t value = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

}  // namespace velmar::cli

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(velmar::platform::Utf8FromWide(argv[i]));
    return velmar::cli::Main(args);
}
#else
int main(int argc, char** argv) { return velmar::cli::Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
