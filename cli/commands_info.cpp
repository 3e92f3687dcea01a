// check, fields, count, value: looking at a database folder.
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "database/linked_database.h"

namespace velmar::cli {
namespace {

int RunCheck(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("check", "se espera una carpeta");
    std::optional<std::string> folder = FolderArgument(args[0]);
    if (!folder) return UsageError("check", "la carpeta está vacía");
    LinkedDatabase db;
    db.folder = *folder;
    FolderCheck check = CheckDatabaseFolder(db);
    PrintUtf8(std::string(FolderCheckName(check)) + "\n");
    // Why it is no database, with the folder and the file looked for.
    if (check == FolderCheck::NoDefinitionFile) OpenDatabase("check", args[0], db);
    return check == FolderCheck::FolderValid ? kDone : kRefused;
}

int RunFields(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("fields", "se espera una carpeta");
    LinkedDatabase db;
    if (int status = OpenDatabase("fields", args[0], db)) return status;
    int count = db.fields.Count();
    std::string out;
    for (int i = 1; i <= count; ++i) {
        // The search flag is read again per definition: the field list keeps
        // only names, types and option lists.
        out += std::to_string(i) + "\t" + db.fields.Name(i) + "\t" + std::to_string(db.fields.Type(i)) + "\t" +
               std::to_string(db.fields.SearchFlag(i)) + "\t" + db.fields.Options(i) + "\n";
    }
    PrintAnsi(out);
    return 0;
}

int RunCount(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("count", "se espera una carpeta");
    LinkedDatabase db;
    if (int status = OpenDatabase("count", args[0], db)) return status;
    PrintUtf8(std::to_string(LastRecordNumber(db)) + "\n");
    return 0;
}

int RunValue(const std::vector<std::string>& args) {
    if (args.size() != 3) return UsageError("value", "se esperan carpeta, campo y registro");
    std::optional<int64_t> record = IntegerArgument(args[2]);
    if (!record) return UsageError("value", "el registro debe ser un número entero: " + args[2]);
    std::optional<std::string> field = TextArgument(args[1], "El campo");
    if (!field) return kRefused;
    LinkedDatabase db;
    if (int status = OpenDatabase("value", args[0], db)) return status;
    if (!KnownField(db, *field)) return kRefused;
    PrintAnsi(ReadFieldValue(db, *field, *record) + "\n");
    return 0;
}

const CommandRegistration kCheck({"check", "FOLDER", "Comprueba si una carpeta es una base de datos.",
                                  "Escribe FolderValid, NoDefinitionFile o BadFormat. Estado de salida 0 solo\n"
                                  "para FolderValid, 1 en los demás casos.",
                                  RunCheck});
const CommandRegistration kFields({"fields", "FOLDER", "Lista las definiciones de campo.",
                                   "Una línea por definición, en el orden del fichero .z04, con índice, nombre,\n"
                                   "tipo, indicador de búsqueda y lista de opciones separados por tabuladores.",
                                   RunFields});
const CommandRegistration kCount({"count", "FOLDER", "Escribe el número de registros (el del último valor).", "",
                                  RunCount});
const CommandRegistration kValue({"value", "FOLDER FIELD RECORD", "Escribe el valor de un campo de un registro.",
                                  "Escribe \"No datos\" cuando el registro no tiene valor para el campo.", RunValue});

}  // namespace
}  // namespace velmar::cli
