// search: the searches of the search dialog, on the command line.
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/search_arguments.h"
#include "database/cp1252.h"
#include "search/compare_value.h"
#include "search/searches.h"

namespace velmar::cli {

namespace {

// What the shell does to < and >, and the two ways around it.
constexpr const char* kQuoting =
    "\n(en la consola, < y > redirigen la salida: escriba el operador entre comillas, '>', o con\n"
    "su n\xC3\xBAmero, 02, que la consola deja tal cual)";

// Whether a search value begins with a number the way NumericValue reads
// one: blanks, a sign, then a digit or a decimal point and a digit; or "&"
// and a base letter or an octal digit.
bool BeginsWithNumber(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\r\n");
    if (i == std::string_view::npos) return false;
    auto digit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    if (text[i] == '&')
        return i + 1 < text.size() && std::string_view("HhBbOoQq01234567").find(text[i + 1]) != std::string_view::npos;
    if (text[i] == '+' || text[i] == '-') ++i;
    if (i < text.size() && text[i] == '.') ++i;
    return digit(i);
}

// The number (from 1) of the option of `options` that reads `value`, blanks
// around the option aside; 0 when none does.
int64_t OptionNumberOf(std::string_view options, std::string_view value) {
    auto trimmed = [](std::string_view text) {
        std::size_t first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) return std::string_view();
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    };
    int64_t number = 1;
    for (std::size_t start = 0;; ++number) {
        std::size_t bar = options.find('|', start);
        if (!trimmed(value).empty() && trimmed(options.substr(start, bar - start)) == trimmed(value)) return number;
        if (bar == std::string_view::npos) return 0;
        start = bar + 1;
    }
}

}  // namespace

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
        *status = UsageError(commandName, std::string("se esperan de uno a tres criterios CAMPO OP VALOR") + kQuoting);
        return std::nullopt;
    }
    ParsedCriteria parsed;
    parsed.count = static_cast<int>(args.size() / 3);
    for (int k = 0; k < parsed.count; ++k) {
        const std::string& op = args[static_cast<std::size_t>(3 * k + 1)];
        std::optional<std::string> code = OperatorCodeArgument(op);
        if (!code) {
            *status = UsageError(commandName, "operador desconocido: " + op +
                                                  " (=, >, <, >=, <=, <>, -*, *-, $ o de 01 a 09)" + kQuoting);
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

bool RunCriteriaSearch(const LinkedDatabase& db, SearchState& state, ParsedCriteria parsed) {
    for (int k = 0; k < parsed.count; ++k)
        if (!KnownField(db, parsed.criteria.names[k])) return false;
    for (int k = 0; k < parsed.count; ++k) {
        std::optional<Operator> op = OperatorOfCode(parsed.criteria.codes[k]);
        const std::string& value = parsed.criteria.values[k];
        if (op && IsOrdering(*op) && !BeginsWithNumber(value)) {
            ErrorUtf8("velmar-db: aviso: \"" + Cp1252ToUtf8(value) + "\" no empieza por un n\xC3\xBAmero; " +
                      parsed.criteria.codes[k] + " compara n\xC3\xBAmeros y lo lee como 0\n");
        }
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

    // A list field holds the numbers of its options, not their names.
    if (state.results.count == 0) {
        for (int k = 0; k < parsed.count; ++k) {
            const std::string& name = parsed.criteria.names[k];
            for (int i = 1; i <= db.fields.Count(); ++i) {
                if (db.fields.Name(i) != name || db.fields.Type(i) != 9) continue;
                if (int64_t number = OptionNumberOf(db.fields.Options(i), parsed.criteria.values[k])) {
                    ErrorUtf8("velmar-db: pista: el campo \"" + Cp1252ToUtf8(name) +
                              "\" guarda el n\xC3\xBAmero de su opci\xC3\xB3n; \"" +
                              Cp1252ToUtf8(parsed.criteria.values[k]) + "\" es la opci\xC3\xB3n " +
                              std::to_string(number) + " (busque " + Cp1252ToUtf8(name) + " " +
                              parsed.criteria.codes[k] + " " + std::to_string(number) + ")\n");
                }
                break;
            }
        }
    }
    return true;
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
    if (args.size() < 4)
        return UsageError("search", std::string("se esperan una carpeta y de uno a tres criterios") + kQuoting);
    if (args[0].empty())
        return UsageError("search",
                          "la carpeta est\xC3\xA1 vac\xC3\xAD"
                          "a");
    int status = 0;
    std::optional<ParsedCriteria> parsed =
        ParseCriteria("search", std::vector<std::string>(args.begin() + 1, args.end()), &status);
    if (!parsed) return status;
    LinkedDatabase db;
    if (int opened = OpenDatabase("search", args[0], db)) return opened;

    SearchState state;
    if (!RunCriteriaSearch(db, state, *parsed)) return kRefused;

    // Standard output holds only what a script reads: the record numbers, or
    // with --count their number. The closing message is for the person.
    if (countOnly) {
        PrintUtf8(std::to_string(state.results.count) + "\n");
    } else {
        std::string out;
        state.results.list.ForEach([&out](int64_t record) {
            out += std::to_string(record);
            out += '\n';
            if (out.size() > (1u << 16)) {
                PrintUtf8(out);
                out.clear();
            }
        });
        PrintUtf8(out);
    }
    ErrorUtf8(ClosingMessage(state.results) + "\n");
    return kDone;
}

const CommandRegistration kSearch(
    {"search", "[--count] FOLDER FIELD OP VALUE [FIELD OP VALUE [FIELD OP VALUE]]",
     "Busca registros con uno a tres criterios, como el diálogo de búsqueda.",
     "OP es uno de los nueve operadores o el número de su entrada:\n"
     "  01 =   igual a                    06 <>  distinto de\n"
     "  02 >   mayor que (números)        07 -*  termina en el valor\n"
     "  03 <   menor que (números)        08 *-  empieza por el valor\n"
     "  04 >=  mayor o igual a            09 $   contiene el valor\n"
     "  05 <=  menor o igual a\n"
     "En la consola, < y > redirigen la salida: escriba esos operadores entre\n"
     "comillas, o con su n\xC3\xBAmero, que la consola deja tal cual:\n"
     "  velmar-db search Clientes Saldo '>' 4000      (en Windows, \">\")\n"
     "  velmar-db search Clientes Saldo 02 4000\n"
     "Escribe por la salida est\xC3\xA1ndar los registros encontrados, uno por l\xC3\xADnea y\n"
     "en orden, y nada m\xC3\xA1s; el mensaje final (\"5 Resultados ...\" o \"No hay\n"
     "Resultados ...\") va a la salida de errores. Con --count escribe solo el\n"
     "n\xC3\xBAmero de registros encontrados. Con dos o tres criterios se ordenan como las\n"
     "definiciones de campo antes de buscar. Un campo que no existe se rechaza\n"
     "(estado 1); una b\xC3\xBAsqueda que no encuentra nada termina con 0.",
     RunSearch});

}  // namespace
}  // namespace velmar::cli
