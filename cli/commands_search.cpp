// search: the searches of the search dialog, on the command line.
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/search_arguments.h"
#include "database/cp1252.h"
#include "search/compare_value.h"
#include "search/searches.h"

namespace velmar::cli {

std::optional<std::string> OperatorCodeArgument(std::string_view op) {
    for (std::size_t i = 0; i < kOperatorEntries.size(); ++i) {
        if (op == kOperatorEntries[i].code) return std::string(op);
        if (op == "0" + std::to_string(i + 1)) return std::string(kOperatorEntries[i].code);
    }
    return std::nullopt;
}

std::optional<ParsedCriteria> ParseCriteria(std::string_view commandName, const std::vector<std::string>& args,
                                            int* status) {
    if (args.empty() || args.size() % 3 != 0 || args.size() > 9) {
        *status = UsageError(commandName, "se esperan de uno a tres criterios CAMPO OP VALOR");
        return std::nullopt;
    }
    ParsedCriteria parsed;
    parsed.count = static_cast<int>(args.size() / 3);
    for (int k = 0; k < parsed.count; ++k) {
        const std::string& op = args[static_cast<std::size_t>(3 * k + 1)];
        std::optional<std::string> code = OperatorCodeArgument(op);
        if (!code) {
            *status = UsageError(commandName,
                                 "operador desconocido: " + op + " (=, >, <, >=, <=, <>, -*, *-, $ o de 01 a 09)");
            return std::nullopt;
        }
        parsed.criteria.codes[k] = *code;
    }
    for (int k = 0; k < parsed.count; ++k) {
        if (args[static_cast<std::size_t>(3 * k + 2)].empty()) {
            ErrorUtf8("No ha escrito valores a buscar ...\n");
            *status = 1;
            return std::nullopt;
        }
    }
    for (int k = 0; k < parsed.count; ++k) {
        std::optional<std::string> name = TextArgument(args[static_cast<std::size_t>(3 * k)], "El campo");
        std::optional<std::string> value =
            name ? TextArgument(args[static_cast<std::size_t>(3 * k + 2)], "El valor") : std::nullopt;
        if (!name || !value) {
            *status = 1;
            return std::nullopt;
        }
        parsed.criteria.names[k] = *name;
        parsed.criteria.values[k] = *value;
    }
    return parsed;
}

void RunCriteriaSearch(const LinkedDatabase& db, SearchState& state, ParsedCriteria parsed) {
    LinkedDatabase fields = db;
    LoadFieldList(fields);
    for (int k = 0; k < parsed.count; ++k) {
        bool known = false;
        for (const std::string& name : fields.fields.names) known = known || name == parsed.criteria.names[k];
        if (!known)
            ErrorUtf8("velmar-db: aviso: ninguna definición de campo se llama \"" +
                      Cp1252ToUtf8(parsed.criteria.names[k]) + "\"\n");
    }

    const bool terminal = ErrorIsTerminal();
    std::string shown;
    SearchProgress progress;
    if (terminal) {
        progress = [&shown](int64_t record, int64_t count) {
            std::string text = ProgressText(record, count);
            if (text == shown) return;
            shown = text;
            ErrorUtf8("\r" + text);
        };
    }
    velmar::RunSearch(db, state, parsed.criteria, parsed.count, progress);
    if (terminal && !shown.empty()) ErrorUtf8("\r" + std::string(shown.size(), ' ') + "\r");
}

namespace {

int RunSearch(const std::vector<std::string>& given) {
    // --count before the folder or where a criterion begins; anywhere else it
    // is a field name or a value.
    std::vector<std::string> args;
    bool countOnly = false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] == "--count" && (args.empty() || (args.size() - 1) % 3 == 0)) {
            countOnly = true;
        } else {
            args.push_back(given[i]);
        }
    }
    if (args.size() < 4) return UsageError("search", "se esperan una carpeta y de uno a tres criterios");
    std::optional<std::string> folder = FolderArgument(args[0]);
    if (!folder) return UsageError("search", "la carpeta está vacía");
    int status = 0;
    std::optional<ParsedCriteria> parsed =
        ParseCriteria("search", std::vector<std::string>(args.begin() + 1, args.end()), &status);
    if (!parsed) return status;

    LinkedDatabase db;
    db.folder = *folder;
    SearchState state;
    RunCriteriaSearch(db, state, *parsed);

    std::string out;
    if (!countOnly) {
        state.results.list.ForEach([&out](int64_t record) {
            out += std::to_string(record);
            out += '\n';
            if (out.size() > (1u << 16)) {
                PrintUtf8(out);
                out.clear();
            }
        });
    }
    out += ClosingMessage(state.results) + "\n";
    PrintUtf8(out);
    return 0;
}

const CommandRegistration kSearch({"search", "[--count] FOLDER FIELD OP VALUE [FIELD OP VALUE [FIELD OP VALUE]]",
                                   "Busca registros con uno a tres criterios, como el diálogo de búsqueda.",
                                   "OP es uno de los nueve operadores o el número de su entrada:\n"
                                   "  01 =   igual a                    06 <>  distinto de\n"
                                   "  02 >   mayor que (números)        07 -*  termina en el valor\n"
                                   "  03 <   menor que (números)        08 *-  empieza por el valor\n"
                                   "  04 >=  mayor o igual a            09 $   contiene el valor\n"
                                   "  05 <=  menor o igual a\n"
                                   "Escribe los registros encontrados, uno por línea y en orden, y después el\n"
                                   "mensaje final (\"5 Resultados ...\" o \"No hay Resultados ...\"). Con dos o tres\n"
                                   "criterios se ordenan como las definiciones de campo antes de buscar. Con\n"
                                   "--count escribe solo el mensaje final.",
                                   RunSearch});

}  // namespace
}  // namespace velmar::cli
