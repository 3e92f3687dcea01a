// import-csv and export-csv: databases to and from CSV files.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/output_file.h"
#include "cli/search_arguments.h"
#include "database/csv_exchange.h"
#include "database/database_writer.h"
#include "database/linked_database.h"
#include "database/record_file.h"
#include "search/search_state.h"

namespace velmar::cli {
namespace {

namespace fs = std::filesystem;

// The whole file at `path`, or why it could not be read.
std::optional<std::string> ReadInput(const std::string& path, const std::string& shown) {
    if (KindOfPath(path) == PathKind::Folder) {
        ErrorUtf8("velmar-db: " + shown + " es una carpeta, no un fichero CSV\n");
        return std::nullopt;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ErrorUtf8("velmar-db: no se pudo leer " + shown + ": " + SystemReason(errno != 0 ? errno : EIO) + "\n");
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const int error = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    if (error) {
        ErrorUtf8("velmar-db: no se pudo leer " + shown + ": " + SystemReason(error) + "\n");
        return std::nullopt;
    }
    return bytes;
}

int RunImport(const std::vector<std::string>& given) {
    std::vector<std::string> args;
    CsvEncoding encoding = CsvEncoding::Detect;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] != "--encoding") {
            args.push_back(given[i]);
            continue;
        }
        const std::string name = i + 1 < given.size() ? given[++i] : "";
        if (name == "utf-8" || name == "UTF-8") {
            encoding = CsvEncoding::Utf8;
        } else if (name == "windows-1252" || name == "Windows-1252") {
            encoding = CsvEncoding::Windows1252;
        } else {
            return UsageError("import-csv", "--encoding necesita utf-8 o windows-1252");
        }
    }
    if (args.size() != 2) return UsageError("import-csv", "se esperan un fichero CSV y una carpeta");
    std::optional<std::string> folder = FolderArgument(args[1]);
    if (!folder)
        return UsageError("import-csv",
                          "la carpeta est\xC3\xA1 vac\xC3\xAD"
                          "a");

    std::optional<std::string> bytes = ReadInput(PathArgument(args[0]), args[0]);
    if (!bytes) return kRefused;
    CsvEncoding used = encoding;
    auto parsed = ParseDatabaseCsv(*bytes, encoding, &used);
    if (auto* problem = std::get_if<CsvProblem>(&parsed)) {
        ErrorUtf8(args[0] + ":" + std::to_string(problem->line) + ":" + std::to_string(problem->column) + ": " +
                  problem->reason + "\n");
        if (encoding == CsvEncoding::Utf8 && problem->reason.find("UTF-8") != std::string::npos)
            ErrorUtf8("velmar-db: --encoding windows-1252 lo lee como Windows-1252\n");
        return kRefused;
    }
    if (encoding == CsvEncoding::Detect && used == CsvEncoding::Windows1252)
        ErrorUtf8("velmar-db: aviso: " + args[0] +
                  " no es texto UTF-8: se lee como Windows-1252 (--encoding utf-8 lo impide)\n");
    const DatabaseContent& content = std::get<DatabaseContent>(parsed);

    LinkedDatabase db;
    db.folder = *folder;
    const std::string shownFolder = ShownPath(*folder);
    const std::string name = ShownPath(DatabaseNameOf(*folder));
    const std::string folderPath = folder->substr(0, folder->size() - 1);
    if (name.empty()) {
        ErrorUtf8("velmar-db: " + shownFolder + " no puede ser una base de datos: la carpeta no tiene nombre\n");
        return kRefused;
    }
    if (KindOfPath(folderPath) == PathKind::File) {
        ErrorUtf8("velmar-db: " + shownFolder + " no es una carpeta sino un fichero\n");
        return kRefused;
    }
    for (const std::string& path : {db.DefinitionFilePath(), db.ValueFilePath()}) {
        if (KindOfPath(path) != PathKind::Missing) {
            ErrorUtf8("velmar-db: la carpeta " + shownFolder + " ya tiene el fichero " +
                      ShownPath(path.substr(folder->size())) + "; no se reemplaza\n");
            return kRefused;
        }
    }

    // The folder is made only now that the input is known to be good.
    const bool existed = KindOfPath(folderPath) == PathKind::Folder;
    std::error_code error;
    if (!existed) {
        fs::create_directories(fs::path(folderPath), error);
        if (KindOfPath(folderPath) != PathKind::Folder) {
            ErrorUtf8("velmar-db: no se pudo crear la carpeta " + shownFolder +
                      (error ? ": " + error.message() : std::string()) + "\n");
            return kRefused;
        }
    }
    WriteResult result = WriteDatabase(*folder, content);
    if (!result.Ok()) {
        if (!existed) fs::remove(fs::path(folderPath), error);  // only removes it when still empty
        ErrorUtf8("velmar-db: " + result.error + "\n");
        return kRefused;
    }
    PrintUtf8("Base de datos " + name + " creada: " + std::to_string(content.fields.size()) +
              (content.fields.size() == 1 ? " campo, " : " campos, ") + std::to_string(LastRecordNumber(db)) +
              " registros\n");
    return kDone;
}

int RunExport(const std::vector<std::string>& args) {
    std::optional<std::string> output;
    std::string outputShown;
    bool force = false;
    CsvStyle style;
    std::vector<std::string> positional;
    std::vector<std::string> search;
    bool hasSearch = false;
    auto isOption = [](const std::string& arg) { return arg == "-o" || arg == "--force" || arg == "--hoja"; };
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) return UsageError("export-csv", "-o necesita un fichero");
            outputShown = args[++i];
            output = PathArgument(outputShown);
        } else if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "--hoja") {
            style = kSpreadsheetStyle;
        } else if (args[i] == "--search") {
            hasSearch = true;
            // Criteria come in threes; an option at a boundary ends them.
            while (i + 1 < args.size() && !(search.size() % 3 == 0 && isOption(args[i + 1])))
                search.push_back(args[++i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 1) return UsageError("export-csv", "se espera una carpeta");
    if (force && !output) return UsageError("export-csv", "--force necesita -o FICHERO");
    if (positional[0].empty())
        return UsageError("export-csv",
                          "la carpeta est\xC3\xA1 vac\xC3\xAD"
                          "a");
    std::optional<ParsedCriteria> criteria;
    if (hasSearch) {
        int status = 0;
        criteria = ParseCriteria("export-csv", search, &status);
        if (!criteria) return status;
    }
    LinkedDatabase db;
    if (int opened = OpenDatabase("export-csv", positional[0], db)) return opened;
    if (output && !force && KindOfPath(*output) != PathKind::Missing) {
        ErrorUtf8("velmar-db: ya existe " + outputShown + "; --force lo reemplaza\n");
        return kRefused;
    }

    // With --search, only the records that `velmar-db search` finds.
    std::optional<RecordRuns> found;
    if (criteria) {
        SearchState state;
        if (!RunCriteriaSearch(db, state, *criteria)) return kRefused;
        found = state.results.list.Runs();
    }
    std::ostringstream csv;
    std::string problem = ExportDatabaseCsv(db, csv, found ? &*found : nullptr, style);
    if (!problem.empty()) {
        ErrorUtf8("velmar-db: " + problem + "\n");
        return kRefused;
    }
    if (!output) {
        PrintBytes(csv.str());
        return kDone;
    }
    if (std::string reason = WriteOutputFile(*output, csv.str(), force); !reason.empty()) {
        ErrorUtf8("velmar-db: no se pudo escribir " + outputShown + ": " + reason + "\n");
        return kRefused;
    }
    return kDone;
}

const CommandRegistration kImport(
    {"import-csv", "CSV FOLDER [--encoding utf-8|windows-1252]", "Crea una base de datos a partir de un fichero CSV.",
     "CSV separa las celdas con comas (RFC 4180) o con punto y coma, como lo guarda una\n"
     "hoja de c\xC3\xA1lculo en espa\xC3\xB1ol: lo decide la fila de cabecera. El texto es UTF-8 o,\n"
     "si no es UTF-8 v\xC3\xA1lido, Windows-1252 (--encoding fija uno de los dos). La primera\n"
     "fila es la cabecera: \"Registro\" y un campo por columna,\n"
     "NOMBRE[:TIPO[:INDICADOR[:OPCIONES]]] (TIPO texto, fecha, lista o un n\xC3\xBAmero;\n"
     "INDICADOR 1 ofrece el campo en las b\xC3\xBAsquedas); cada fila siguiente es un registro,\n"
     "con su n\xC3\xBAmero en la primera columna. Una celda vac\xC3\xAD"
     "a es un campo sin valor; una\n"
     "fecha es una fecha real DD/MM/AAAA y una lista el n\xC3\xBAmero de una de sus opciones.\n"
     "Escribe FOLDER/<nombre>.z04 y .zbd (el nombre es el de la carpeta, tambi\xC3\xA9n si\n"
     "FOLDER es .) y no reemplaza ficheros que ya existan. Un CSV con errores no escribe\n"
     "nada: se dice la l\xC3\xADnea, la columna y el motivo.",
     RunImport});
const CommandRegistration kExport(
    {"export-csv", "FOLDER [--search FIELD OP VALUE...] [--hoja] [-o FILE [--force]]",
     "Escribe una base de datos como fichero CSV.",
     "Una fila por n\xC3\xBAmero de registro, de 1 al n\xC3\xBAmero de registros, con la cabecera que\n"
     "lee import-csv: UTF-8 con comas. Con --hoja, lo que abre con doble clic una hoja\n"
     "de c\xC3\xA1lculo en espa\xC3\xB1ol: punto y coma entre celdas y la marca de orden de bytes\n"
     "de UTF-8 al principio (los n\xC3\xBAmeros quedan como est\xC3\xA1n); import-csv lo lee igual.\n"
     "Sin -o, por la salida est\xC3\xA1ndar; FILE no se reemplaza salvo con --force, y se\n"
     "escribe primero en un fichero temporal de su carpeta: un fallo deja el anterior.\n"
     "Con --search solo escribe las filas de los registros que encuentra 'velmar-db search'\n"
     "con los mismos criterios (de uno a tres), con la misma cabecera.",
     RunExport});

}  // namespace
}  // namespace velmar::cli
