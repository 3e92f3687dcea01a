// merge: fills a template document with a record, as the record navigator
// shows it, for one record or one document per record.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/output_file.h"
#include "cli/search_arguments.h"
#include "database/display_cache.h"
#include "database/record_display.h"
#include "database/record_file.h"
#include "database/rtf_document.h"
#include "database/value_index.h"
#include "search/search_state.h"

namespace velmar::cli {
namespace {

constexpr std::string_view kName = "merge";

CalendarDate LocalToday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// DD/MM/YYYY with every digit written, and a date of the calendar.
std::optional<CalendarDate> DateArgument(std::string_view text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    CalendarDate date{number(6, 4), number(3, 2), number(0, 2)};
    if (!IsValidDate(date)) return std::nullopt;
    return date;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) return std::nullopt;
    return bytes;
}

// Record numbers and ranges ("1-20 35"), as ascending runs without repeats.
std::optional<RecordRuns> RecordRanges(const std::vector<std::string>& rangeTexts, std::string* bad) {
    RecordRuns ranges;
    for (const std::string& rangeText : rangeTexts) {
        std::size_t dash = rangeText.find('-', 1);
        std::optional<int64_t> first = IntegerArgument(rangeText.substr(0, dash));
        std::optional<int64_t> last = dash == std::string::npos ? first : IntegerArgument(rangeText.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first || rangeText[0] == '+' ||
            (dash != std::string::npos && (rangeText[dash + 1] == '+' || rangeText[dash + 1] == '-'))) {
            *bad = rangeText;
            return std::nullopt;
        }
        ranges.emplace_back(*first, *last);
    }
    std::sort(ranges.begin(), ranges.end());
    RecordRuns merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1) {
            merged.back().second = std::max(merged.back().second, range.second);
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

struct MergeArguments {
    std::string folder;
    std::string templatePath;
    std::optional<CalendarDate> today;
    std::optional<std::string> output;     // -o FILE (one record)
    std::optional<std::string> outFolder;  // --out DIR (one document per record)
    std::optional<std::string> into;       // --into FILE (one document of every record)
    std::string intoShown;
    std::string outFolderShown;  // DIR as typed, for messages
    std::string outputShown;     // FILE as typed, for messages
    std::string templateShown;   // TEMPLATE as typed
    bool force = false;
    std::vector<std::string> records;  // RECORD, or RECORDS... with --out
    std::vector<std::string> search;   // FIELD OP VALUE ... after --search
    bool hasSearch = false;
};

bool IsOption(std::string_view arg) {
    return arg == "--today" || arg == "-o" || arg == "--out" || arg == "--into" || arg == "--force" ||
           arg == "--search";
}

std::optional<MergeArguments> ParseArguments(const std::vector<std::string>& args, int* status) {
    *status = 2;
    if (args.size() < 3) {
        UsageError(kName, "se esperan una carpeta, una plantilla y un registro");
        return std::nullopt;
    }
    MergeArguments parsed;
    if (args[0].empty()) {
        UsageError(kName,
                   "la carpeta est\xC3\xA1 vac\xC3\xAD"
                   "a");
        return std::nullopt;
    }
    parsed.folder = args[0];
    parsed.templatePath = PathArgument(args[1]);
    parsed.templateShown = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string_view what) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                UsageError(kName, std::string(arg) + " necesita " + std::string(what));
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--today") {
            std::optional<std::string> text = value("una fecha DD/MM/AAAA");
            if (!text) return std::nullopt;
            parsed.today = DateArgument(*text);
            if (!parsed.today) {
                UsageError(kName, "fecha no v\xC3\xA1lida: " + *text + " (se espera DD/MM/AAAA)");
                return std::nullopt;
            }
        } else if (arg == "-o" || arg == "--out") {
            std::optional<std::string> path = value(arg == "-o" ? "un fichero" : "una carpeta");
            if (!path) return std::nullopt;
            (arg == "-o" ? parsed.output : parsed.outFolder) = PathArgument(*path);
            (arg == "-o" ? parsed.outputShown : parsed.outFolderShown) = *path;
        } else if (arg == "--into") {
            std::optional<std::string> path = value("un fichero");
            if (!path) return std::nullopt;
            parsed.into = PathArgument(*path);
            parsed.intoShown = *path;
        } else if (arg == "--force") {
            parsed.force = true;
        } else if (arg == "--search") {
            parsed.hasSearch = true;
            // Criteria come in threes; a known option at a boundary ends them.
            while (i + 1 < args.size() && !(parsed.search.size() % 3 == 0 && IsOption(args[i + 1])))
                parsed.search.push_back(args[++i]);
        } else if (arg.size() > 1 && arg[0] == '-' && (arg[1] == '-' || !IntegerArgument(arg))) {
            UsageError(kName, "opci\xC3\xB3n desconocida: " + arg);
            return std::nullopt;
        } else {
            parsed.records.push_back(arg);
        }
    }
    if (parsed.into) {
        if (parsed.output || parsed.outFolder) {
            UsageError(kName, "--into escribe un solo documento con todos los registros; no se usa con -o ni --out");
            return std::nullopt;
        }
        if (parsed.hasSearch == !parsed.records.empty()) {
            UsageError(kName, "con --into se esperan registros o --search, una de las dos cosas");
            return std::nullopt;
        }
    } else if (parsed.outFolder) {
        if (parsed.output) {
            UsageError(kName, "-o escribe un solo documento; con --out no se usa");
            return std::nullopt;
        }
        if (parsed.hasSearch == !parsed.records.empty()) {
            UsageError(kName, "con --out se esperan registros o --search, una de las dos cosas");
            return std::nullopt;
        }
    } else {
        if (parsed.hasSearch || (parsed.force && !parsed.output)) {
            UsageError(kName, parsed.hasSearch ? "--search necesita --out CARPETA o --into FICHERO"
                                               : "--force necesita -o FICHERO, --out CARPETA o --into FICHERO");
            return std::nullopt;
        }
        if (parsed.records.size() != 1) {
            UsageError(kName, "se espera un solo registro (varios, con --out CARPETA o --into FICHERO)");
            return std::nullopt;
        }
    }
    *status = 0;
    return parsed;
}

int RunSingle(const MergeArguments& arguments, LinkedDatabase& db, const DisplayTemplate& displayTemplate,
              CalendarDate today) {
    std::optional<int64_t> record = IntegerArgument(arguments.records[0]);
    if (!record) return UsageError(kName, "el registro debe ser un n\xC3\xBAmero entero: " + arguments.records[0]);
    DisplayCache cache;
    std::string text = cache.FormatRecord(db, displayTemplate, *record, today);
    if (text.empty()) return 0;  // nothing to show: the editor would be left alone
    if (!arguments.output) {
        PrintBytes(text);
        return kDone;
    }
    if (!arguments.force && KindOfPath(*arguments.output) != PathKind::Missing) {
        ErrorUtf8("velmar-db: ya existe " + arguments.outputShown + "; no se ha escrito nada. --force lo reemplaza\n");
        return kRefused;
    }
    if (std::string reason = WriteOutputFile(*arguments.output, text, arguments.force); !reason.empty()) {
        ErrorUtf8("velmar-db: no se pudo escribir " + arguments.outputShown + ": " + reason + "\n");
        return kRefused;
    }
    return kDone;
}

// The records to merge: the ranges given, or the runs that the search finds.
// A status to end with when they are refused.
std::optional<int> SelectRecords(const MergeArguments& arguments, LinkedDatabase& db, RecordRuns& ranges) {
    if (arguments.hasSearch) {
        int status = 0;
        std::optional<ParsedCriteria> criteria = ParseCriteria(kName, arguments.search, &status);
        if (!criteria) return status;
        SearchState state;
        if (!RunCriteriaSearch(db, state, *criteria)) return kRefused;
        ranges = state.results.list.Runs();
        return std::nullopt;
    }
    std::string bad;
    std::optional<RecordRuns> parsed = RecordRanges(arguments.records, &bad);
    if (!parsed) {
        return UsageError(kName, "registro o intervalo no v\xC3\xA1lido: " + bad +
                                     " (n\xC3\xBAmeros desde 1 o intervalos como 1-20)");
    }
    ranges = std::move(*parsed);
    const int64_t count = LastRecordNumber(db);
    if (!ranges.empty() && ranges.back().second > count) {
        ErrorUtf8("velmar-db: el registro " + std::to_string(ranges.back().second) +
                  " no existe: la base de datos tiene " + std::to_string(count) + " registros\n");
        return 1;
    }
    return std::nullopt;
}

int RunBatch(const MergeArguments& arguments, LinkedDatabase& db, const DisplayTemplate& displayTemplate,
             CalendarDate today) {
    RecordRuns ranges;
    if (std::optional<int> refused = SelectRecords(arguments, db, ranges)) return *refused;

    const std::string& folder = *arguments.outFolder;
    if (KindOfPath(folder) == PathKind::File) {
        ErrorUtf8("velmar-db: " + arguments.outFolderShown + " no es una carpeta sino un fichero\n");
        return kRefused;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    if (KindOfPath(folder) != PathKind::Folder) {
        ErrorUtf8("velmar-db: no se pudo crear la carpeta " + arguments.outFolderShown +
                  (error ? ": " + error.message() : std::string()) + "\n");
        return kRefused;
    }
    auto withSeparator = [](std::string path) {
        if (path.empty() || (path.back() != kPathSeparator && path.back() != '/')) path.push_back(kPathSeparator);
        return path;
    };
    const std::string prefix = withSeparator(folder), shownPrefix = withSeparator(arguments.outFolderShown);
    auto pathOf = [&prefix](int64_t record) { return prefix + std::to_string(record) + ".rtf"; };
    auto shownPathOf = [&shownPrefix](int64_t record) { return shownPrefix + std::to_string(record) + ".rtf"; };

    int64_t total = 0;
    for (const auto& [first, last] : ranges) total += last - first + 1;
    if (!arguments.force) {
        int64_t existing = 0;
        int64_t example = 0;
        for (const auto& [first, last] : ranges) {
            for (int64_t record = first; record <= last; ++record) {
                if (KindOfPath(pathOf(record)) != PathKind::Missing) {
                    if (existing++ == 0) example = record;
                }
            }
        }
        if (existing > 0) {
            ErrorUtf8("velmar-db: ya existe" + std::string(existing == 1 ? " " : "n ") + std::to_string(existing) +
                      (existing == 1 ? " documento" : " documentos") + " (" + shownPathOf(example) +
                      "); no se ha escrito nada. --force los reemplaza\n");
            return 1;
        }
    }

    const bool terminal = ErrorIsTerminal();
    DisplayCache cache;
    int64_t written = 0, done = 0;
    RecordRuns writtenRuns;  // for the message when a document fails
    for (const auto& [first, last] : ranges) {
        for (int64_t record = first; record <= last; ++record) {
            ++done;
            if (terminal) ErrorUtf8("\rDocumento " + std::to_string(done) + " de " + std::to_string(total));
            std::string text = cache.FormatRecord(db, displayTemplate, record, today);
            if (text.empty()) continue;
            if (std::string reason = WriteOutputFile(pathOf(record), text, arguments.force); !reason.empty()) {
                if (terminal) ErrorUtf8("\n");
                std::string list;
                for (const auto& [from, to] : writtenRuns)
                    list += " " + std::to_string(from) + (to > from ? "-" + std::to_string(to) : "");
                ErrorUtf8("velmar-db: no se pudo escribir " + shownPathOf(record) + ": " + reason + "\n" +
                          (written == 0   ? "velmar-db: no se ha escrito ning\xC3\xBAn documento\n"
                           : written == 1 ? "velmar-db: se ha escrito 1 documento en " + arguments.outFolderShown +
                                                ", del registro" + list + "\n"
                                          : "velmar-db: se han escrito " + std::to_string(written) + " documentos en " +
                                                arguments.outFolderShown + ", de los registros" + list + "\n"));
                return kRefused;
            }
            if (!writtenRuns.empty() && writtenRuns.back().second + 1 == record) {
                writtenRuns.back().second = record;
            } else {
                writtenRuns.emplace_back(record, record);
            }
            ++written;
        }
    }
    if (terminal && total > 0) ErrorUtf8("\n");
    PrintUtf8(std::to_string(written) + (written == 1 ? " documento escrito en " : " documentos escritos en ") +
              arguments.outFolderShown + "\n");
    return 0;
}

// Every record in one document: the template's header once, then each
// record's body as the navigator shows it, a page break between records.
int RunInto(const MergeArguments& arguments, LinkedDatabase& db, const DisplayTemplate& displayTemplate,
            CalendarDate today) {
    if (!IsRtfDocument(displayTemplate.text)) {
        ErrorUtf8("velmar-db: la plantilla " + arguments.templateShown +
                  " no es un documento RTF (no empieza por {\\rtf); --into necesita uno\n");
        return 1;
    }
    RecordRuns ranges;
    if (std::optional<int> refused = SelectRecords(arguments, db, ranges)) return *refused;
    if (!arguments.force && KindOfPath(*arguments.into) != PathKind::Missing) {
        ErrorUtf8("velmar-db: ya existe " + arguments.intoShown + "; no se ha escrito nada. --force lo reemplaza\n");
        return 1;
    }
    int64_t total = 0;
    for (const auto& [first, last] : ranges) total += last - first + 1;
    if (total == 0) {
        ErrorUtf8("velmar-db: ning\xC3\xBAn registro que combinar; no se ha escrito " + arguments.intoShown + "\n");
        return 1;
    }

    // A placeholder in the header (a font name, the title of the document's
    // information) is left as it is: one header serves every record.
    MergedRtfDocument document(SplitRtfDocument(displayTemplate.text).header);
    const bool terminal = ErrorIsTerminal();
    DisplayCache cache;
    int64_t done = 0;
    for (const auto& [first, last] : ranges) {
        for (int64_t record = first; record <= last; ++record) {
            ++done;
            if (terminal) ErrorUtf8("\rRegistro " + std::to_string(done) + " de " + std::to_string(total));
            const std::string text = cache.FormatRecord(db, displayTemplate, record, today);
            document.AddBody(SplitRtfDocument(text));
        }
    }
    if (terminal) ErrorUtf8("\n");
    if (std::string reason = WriteOutputFile(*arguments.into, document.Finish(), arguments.force); !reason.empty()) {
        ErrorUtf8("velmar-db: no se pudo escribir " + arguments.intoShown + ": " + reason + "\n");
        return kRefused;
    }
    PrintUtf8(std::to_string(total) + (total == 1 ? " registro combinado en " : " registros combinados en ") +
              arguments.intoShown + "\n");
    return 0;
}

int RunMerge(const std::vector<std::string>& args) {
    int status = 0;
    std::optional<MergeArguments> arguments = ParseArguments(args, &status);
    if (!arguments) return status;

    LinkedDatabase db;
    if (int opened = OpenDatabase(kName, arguments->folder, db)) return opened;
    std::optional<std::string> templateText = ReadWholeFile(arguments->templatePath);
    if (!templateText) {
        ErrorUtf8("velmar-db: no se pudo leer la plantilla " + args[1] + "\n");
        return 1;
    }
    const DisplayTemplate displayTemplate{std::move(*templateText), true};
    const CalendarDate today = arguments->today.value_or(LocalToday());
    if (arguments->into) return RunInto(*arguments, db, displayTemplate, today);
    return arguments->outFolder ? RunBatch(*arguments, db, displayTemplate, today)
                                : RunSingle(*arguments, db, displayTemplate, today);
}

// A display text on one line: the characters that would break the line or the
// columns are written as escapes.
std::string OneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line.push_back(c);
        }
    }
    return line;
}

constexpr std::string_view kShow = "show";

int RunShow(const std::vector<std::string>& args) {
    std::optional<CalendarDate> today;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--today") {
            if (i + 1 >= args.size()) return UsageError(kShow, "--today necesita una fecha DD/MM/AAAA");
            today = DateArgument(args[++i]);
            if (!today) return UsageError(kShow, "fecha no v\xC3\xA1lida: " + args[i] + " (se espera DD/MM/AAAA)");
        } else if (args[i].size() > 2 && args[i].compare(0, 2, "--") == 0) {
            return UsageError(kShow, "opci\xC3\xB3n desconocida: " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) return UsageError(kShow, "se esperan una carpeta y un registro");
    std::optional<int64_t> record = IntegerArgument(positional[1]);
    if (!record) return UsageError(kShow, "el registro debe ser un n\xC3\xBAmero entero: " + positional[1]);

    LinkedDatabase db;
    if (int opened = OpenDatabase(kShow, positional[0], db)) return opened;
    DisplayCache cache;
    const ValueIndex* index = cache.CurrentIndex(db);
    const int64_t count = index ? index->LastRecordNumber() : LastRecordNumber(db);
    if (*record < 1 || *record > count) {
        ErrorUtf8("velmar-db: el registro " + std::to_string(*record) + " no existe: la base de datos tiene " +
                  std::to_string(count) + " registros\n");
        return 1;
    }
    std::string out;
    for (const FieldDisplay& field : cache.DisplayFields(db, *record, today.value_or(LocalToday())))
        out += OneLine(field.name) + "\t" + OneLine(field.text) + "\n";
    PrintAnsi(out);
    return 0;
}

const CommandRegistration kShowCommand(
    {kShow, "FOLDER RECORD [--today DD/MM/AAAA]", "Muestra los campos de un registro como los rellena el navegador.",
     "Una l\xC3\xADnea por campo que se muestra (texto, fecha y lista), en el orden de las\n"
     "definiciones: el nombre, un tabulador y el texto que pondr\xC3\xAD"
     "a #Campo: las fechas con el\n"
     "tiempo transcurrido, las listas con la opci\xC3\xB3n que elige su n\xC3\xBAmero. En el texto,\n"
     "\\ se escribe \\\\ y el tabulador y los saltos de l\xC3\xADnea \\t, \\n y \\r. --today fija la\n"
     "fecha de hoy. Un registro fuera de 1 al n\xC3\xBAmero de registros se rechaza.",
     RunShow});

const CommandRegistration kMerge(
    {kName,
     "FOLDER TEMPLATE RECORD [--today DD/MM/AAAA] [-o FILE [--force]]\n"
     "       velmar-db merge FOLDER TEMPLATE --out DIR (RECORDS... | --search FIELD OP VALUE...) [--today DD/MM/AAAA] "
     "[--force]\n"
     "       velmar-db merge FOLDER TEMPLATE --into FILE (RECORDS... | --search FIELD OP VALUE...) [--today "
     "DD/MM/AAAA] [--force]",
     "Rellena una plantilla RTF con un registro, como lo muestra el navegador.",
     "TEMPLATE es un documento RTF cuyos #Campo y ##Campo (en may\xC3\xBAsculas) se rellenan\n"
     "con el valor del campo: fechas con el tiempo transcurrido, listas con su opci\xC3\xB3n.\n"
     "El resultado sale tal cual, byte a byte, por la salida est\xC3\xA1ndar o en FILE (que no\n"
     "se reemplaza salvo con --force); si es vac\xC3\xADo no se escribe nada. --today fija la\n"
     "fecha de hoy. Los ficheros se escriben primero en uno temporal de su carpeta: un\n"
     "fallo deja el fichero anterior como estaba.\n"
     "\n"
     "Con --out DIR escribe un documento por registro, DIR/<registro>.rtf. RECORDS son\n"
     "n\xC3\xBAmeros e intervalos (1-20 35); --search busca los registros con uno a tres\n"
     "criterios, como 'velmar-db search'. No reemplaza documentos que ya existan salvo\n"
     "con --force, y termina diciendo cu\xC3\xA1ntos ha escrito (o, si falla uno, cu\xC3\xA1les).\n"
     "\n"
     "Con --into FILE escribe un solo documento RTF con todos esos registros, en orden\n"
     "y cada uno en su p\xC3\xA1gina: la cabecera de la plantilla (tablas de fuentes y\n"
     "colores, estilos, informaci\xC3\xB3n) una vez, y despu\xC3\xA9s el cuerpo de cada registro,\n"
     "como lo muestra el navegador. Los #Campo de la cabecera no se rellenan. La\n"
     "plantilla debe ser RTF; FILE no se reemplaza salvo con --force.",
     RunMerge});

}  // namespace
}  // namespace velmar::cli
