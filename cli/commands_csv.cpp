// import-csv and export-csv: databases to and from CSV files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/search_arguments.h"
#include "database/csv_exchange.h"
#include "database/database_writer.h"
#include "database/linked_database.h"
#include "database/record_file.h"
#include "search/search_state.h"

namespace velmar::cli {
namespace {

namespace fs = std::filesystem;

int RunImport(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError("import-csv", "se esperan un fichero CSV y una carpeta");
    const std::string csvPath = PathArgument(args[0]);
    std::optional<std::string> folder = FolderArgument(args[1]);
    if (!folder)
        return UsageError("import-csv",
                          "la carpeta est\xC3\xA1 vac\xC3\xAD"
                          "a");

    std::ifstream in(csvPath, std::ios::binary);
    if (!in) {
        ErrorUtf8("velmar-db: no se pudo leer " + args[0] + "\n");
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    auto parsed = ParseDatabaseCsv(bytes.str());
    if (auto* problem = std::get_if<CsvProblem>(&parsed)) {
        ErrorUtf8(args[0] + ":" + std::to_string(problem->line) + ":" + std::to_string(problem->column) + ": " +
                  problem->reason + "\n");
        return 1;
    }
    const DatabaseContent& content = std::get<DatabaseContent>(parsed);

    LinkedDatabase db;
    db.folder = *folder;
    for (const std::string& path : {db.DefinitionFilePath(), db.ValueFilePath()}) {
        if (KindOfPath(path) != PathKind::Missing) {
            ErrorUtf8("velmar-db: la carpeta " + args[1] + " ya tiene el fichero " + path.substr(folder->size()) +
                      "; no se reemplaza\n");
            return 1;
        }
    }

    // The folder is made only now that the input is known to be good.
    const fs::path folderPath(folder->substr(0, folder->size() - 1));
    std::error_code error;
    const bool existed = fs::exists(folderPath, error);
    fs::create_directories(folderPath, error);
    WriteResult result = WriteDatabase(*folder, content);
    if (!result.Ok()) {
        if (!existed) fs::remove(folderPath, error);  // only removes it when still empty
        ErrorUtf8("velmar-db: " + result.error + "\n");
        return 1;
    }
    std::string name = args[1];  // as typed, in UTF-8
    while (name.size() > 1 && (name.back() == '/' || name.back() == kPathSeparator)) name.pop_back();
    name = name.substr(name.find_last_of(std::string("/") + kPathSeparator) + 1);
    PrintUtf8("Base de datos " + name + " creada: " + std::to_string(content.fields.size()) +
              (content.fields.size() == 1 ? " campo, " : " campos, ") + std::to_string(LastRecordNumber(db)) +
              " registros\n");
    return 0;
}

int RunExport(const std::vector<std::string>& args) {
    std::optional<std::string> output;
    bool force = false;
    std::vector<std::string> positional;
    std::vector<std::string> search;
    bool hasSearch = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) return UsageError("export-csv", "-o necesita un fichero");
            output = PathArgument(args[++i]);
        } else if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "--search") {
            hasSearch = true;
            // Criteria come in threes; -o or --force at a boundary ends them.
            while (i + 1 < args.size() &&
                   !(search.size() % 3 == 0 && (args[i + 1] == "-o" || args[i + 1] == "--force")))
                search.push_back(args[++i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 1) return UsageError("export-csv", "se espera una carpeta");
    if (force && !output) return UsageError("export-csv", "--force necesita -o FICHERO");
    std::optional<std::string> folder = FolderArgument(positional[0]);
    if (!folder)
        return UsageError("export-csv",
                          "la carpeta est\xC3\xA1 vac\xC3\xAD"
                          "a");
    LinkedDatabase db;
    db.folder = *folder;

    // With --search, only the records that `velmar-db search` finds.
    std::optional<RecordRuns> found;
    if (hasSearch) {
        int status = 0;
        std::optional<ParsedCriteria> criteria = ParseCriteria("export-csv", search, &status);
        if (!criteria) return status;
        if (CheckDatabaseFolder(db) != FolderCheck::FolderValid) {
            ErrorUtf8("velmar-db: " + positional[0] + " no es una base de datos\n");
            return 1;
        }
        SearchState state;
        RunCriteriaSearch(db, state, *criteria);
        found = state.results.list.Runs();
    }
    const RecordRuns* only = found ? &*found : nullptr;

    if (!output) {
        std::ostringstream csv;
        std::string problem = ExportDatabaseCsv(db, csv, only);
        if (!problem.empty()) {
            ErrorUtf8("velmar-db: " + problem + "\n");
            return 1;
        }
        PrintBytes(csv.str());
        return 0;
    }
    if (!force && KindOfPath(*output) != PathKind::Missing) {
        ErrorUtf8("velmar-db: ya existe " + args.back() + "; --force lo reemplaza\n");
        return 1;
    }
    std::string problem;
    {
        std::ofstream out(*output, std::ios::binary | std::ios::trunc);
        problem = out ? ExportDatabaseCsv(db, out, only) : "no se pudo crear el fichero";
        if (problem.empty()) {
            out.close();
            if (!out) problem = "no se pudo escribir el fichero CSV";
        }
    }
    if (!problem.empty()) {
        std::error_code error;
        fs::remove(fs::path(*output), error);
        ErrorUtf8("velmar-db: " + problem + "\n");
        return 1;
    }
    return 0;
}

const CommandRegistration kImport(
    {"import-csv", "CSV FOLDER", "Crea una base de datos a partir de un fichero CSV.",
     "CSV es UTF-8 con comas (RFC 4180). La primera fila es la cabecera: \"Registro\" y un\n"
     "campo por columna, NOMBRE[:TIPO[:INDICADOR[:OPCIONES]]] (TIPO texto, fecha, lista o\n"
     "un n\xC3\xBAmero; INDICADOR 1 ofrece el campo en las b\xC3\xBAsquedas); cada fila siguiente es\n"
     "un registro, con su n\xC3\xBAmero en la primera columna. Una celda vac\xC3\xAD"
     "a es un campo\n"
     "sin valor. Escribe FOLDER/<nombre>.z04 y .zbd (el nombre es el de la carpeta) y no\n"
     "reemplaza ficheros que ya existan. Un CSV con errores no escribe nada: se dice la\n"
     "l\xC3\xADnea, la columna y el motivo.",
     RunImport});
const CommandRegistration kExport(
    {"export-csv", "FOLDER [--search FIELD OP VALUE...] [-o FILE [--force]]",
     "Escribe una base de datos como fichero CSV.",
     "Una fila por n\xC3\xBAmero de registro, de 1 al n\xC3\xBAmero de registros, con la cabecera que\n"
     "lee import-csv. Sin -o, por la salida est\xC3\xA1ndar; FILE no se reemplaza salvo con --force.\n"
     "Con --search solo escribe las filas de los registros que encuentra 'velmar-db search'\n"
     "con los mismos criterios (de uno a tres), con la misma cabecera.",
     RunExport});

}  // namespace
}  // namespace velmar::cli
