// velmar-db: the database operations of Velmar on the command line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command.h"
#include "cli/console.h"
#include "database/cp1252.h"
#include "database/linked_database.h"
#include "database/record_file.h"
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
    text +=
        "\n'velmar-db ORDEN --help' explica cada orden; 'velmar-db --version' dice la versión.\n"
        "\nEstado de salida: 0 hecho; 1 rechazado (la carpeta no es una base de datos, un campo\n"
        "que no existe, un fichero que no se pudo leer o escribir...), con el motivo en la\n"
        "salida de errores; 2 uso incorrecto (argumentos u opciones). Una búsqueda que no\n"
        "encuentra nada termina con 0.\n";
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
        ErrorUtf8("velmar-db: orden desconocida: " + args[0] +
                  "\nUso: velmar-db ORDEN ARGUMENTOS... (velmar-db --help)\n");
        return 2;
    }
    if (args.size() == 2 && args[1] == "--help") {
        PrintHelp(*command);
        return 0;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    int status = command->run(rest);
    FinishOutput();
    return status;
}

}  // namespace

int UsageError(std::string_view commandName, std::string_view why) {
    const Command* c = Find(commandName);
    std::string usage = c ? "velmar-db " + std::string(c->name) + " " + std::string(c->usage) : "velmar-db --help";
    ErrorUtf8("velmar-db: " + std::string(why) + "\nUso: " + usage + "\n");
    return 2;
}

namespace fs = std::filesystem;

// A path in the file functions' form as the file system library takes it.
fs::path NativePath(const std::string& path) {
#if defined(_WIN32)
    return fs::path(platform::WideFrom(platform::CodePage::Ansi, path));
#else
    return fs::path(path);
#endif
}

bool IsSeparator(char c) {
#if defined(_WIN32)
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::optional<std::string> FolderArgument(const std::string& utf8) {
    if (utf8.empty()) return std::nullopt;
    std::string folder;
#if defined(_WIN32)
    // The system's own resolution of ".", ".." and both separators.
    std::wstring wide = platform::WideFromUtf8(utf8);
    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    length = length ? GetFullPathNameW(wide.c_str(), length, full.data(), nullptr) : 0;
    full.resize(length);
    folder = length ? platform::NarrowFrom(platform::CodePage::Ansi, full) : PathArgument(utf8);
#else
    // The real folder: symbolic links, "." and ".." resolved, as far as the
    // path exists; the rest (a folder import-csv is to create) as written.
    std::error_code error;
    fs::path real = fs::weakly_canonical(fs::absolute(fs::path(utf8), error), error);
    folder = error ? fs::absolute(fs::path(utf8), error).lexically_normal().string() : real.string();
#endif
    while (folder.size() > 1 && IsSeparator(folder.back()) && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    if (!IsSeparator(folder.back())) folder.push_back(kPathSeparator);
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

std::string ShownPath(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == ':')) path.pop_back();
#if defined(_WIN32)
    return platform::Utf8FromWide(platform::WideFrom(platform::CodePage::Ansi, path));
#else
    return path;
#endif
}

namespace {

// The field definition files in a folder, for a message: the names, in UTF-8.
std::string DefinitionFilesIn(const std::string& folder) {
    std::string found;
    int count = 0;
    std::error_code error;
    for (fs::directory_iterator it(NativePath(folder), error), end; !error && it != end; it.increment(error)) {
        fs::path name = it->path().filename();
        if (name.extension() != ".z04" && name.extension() != ".Z04") continue;
        if (count++ == 3) {
            found += ", ...";
            break;
        }
#if defined(_WIN32)
        std::string shown = platform::Utf8FromWide(name.wstring());
#else
        std::string shown = name.string();
#endif
        found += (found.empty() ? "" : ", ") + shown;
    }
    return found;
}

}  // namespace

int OpenDatabase(std::string_view commandName, const std::string& utf8, LinkedDatabase& db) {
    std::optional<std::string> folder = FolderArgument(utf8);
    if (!folder)
        return UsageError(commandName,
                          "la carpeta est\xC3\xA1 vac\xC3\xAD"
                          "a");
    db.folder = *folder;
    const std::string shownFolder = ShownPath(*folder);
    if (DatabaseNameOf(*folder).empty()) {
        ErrorUtf8("velmar-db: " + shownFolder + " no puede ser una base de datos: la carpeta no tiene nombre\n");
        return kRefused;
    }
    const std::string lookedFor = " (se buscaba el fichero " + ShownPath(db.DefinitionFilePath()) + ")\n";
    switch (KindOfPath(folder->substr(0, folder->size() - 1))) {
        case PathKind::Missing:
            ErrorUtf8("velmar-db: la carpeta " + shownFolder + " no existe" + lookedFor);
            return kRefused;
        case PathKind::File:
            ErrorUtf8("velmar-db: " + shownFolder + " no es una carpeta sino un fichero" + lookedFor);
            return kRefused;
        case PathKind::Folder:
            break;
    }
    switch (CheckDatabaseFolder(db)) {
        case FolderCheck::NoDefinitionFile: {
            std::string others = DefinitionFilesIn(*folder);
            ErrorUtf8(
                "velmar-db: la carpeta " + shownFolder +
                " no es una base de datos: no tiene su fichero de definiciones de campo, " +
                ShownPath(DatabaseNameOf(*folder)) + ".z04" +
                (others.empty() ? std::string() : " (tiene " + others + "; los ficheros se llaman como la carpeta)") +
                "\n");
            return kRefused;
        }
        case FolderCheck::BadFormat:
            ErrorUtf8("velmar-db: aviso: el fichero " + ShownPath(db.DefinitionFilePath()) +
                      " est\xC3\xA1 da\xC3\xB1"
                      "ado (BadFormat: su tama\xC3\xB1o no es un m\xC3\xBAltiplo de 12042 "
                      "bytes); se lee como lo lee el programa\n");
            break;
        case FolderCheck::FolderValid:
            break;
    }
    LoadFieldList(db);
    return kDone;
}

bool KnownField(const LinkedDatabase& db, const std::string& ansiName) {
    std::string names;
    for (const std::string& name : db.fields.names) {
        if (name == ansiName) return true;
        names += (names.empty() ? "" : ", ") + Cp1252ToUtf8(name);
    }
    ErrorUtf8("velmar-db: ning\xC3\xBAn campo se llama \"" + Cp1252ToUtf8(ansiName) + "\"; " +
              (names.empty() ? std::string("la base de datos no tiene campos") : "los campos son: " + names) + "\n");
    return false;
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
int main(int argc, char** argv) {
    return velmar::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
