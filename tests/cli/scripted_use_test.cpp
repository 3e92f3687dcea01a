// velmar-db as scripts use it, step by step on one set of files: what a
// failure looks like (status, message, files left alone), what standard
// output holds, folders as users type them, and the spreadsheet CSV both ways.
// The same steps run natively and as the .exe under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/cli/run_velmar_db.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

namespace fs = std::filesystem;
using test::QuoteArgument;

std::string Text(const std::vector<unsigned char>& bytes) {
    return {bytes.begin(), bytes.end()};
}
void Write(const fs::path& path, const std::string& text) {
    test::WriteBytes(path.string(), {text.begin(), text.end()});
}
std::string Replaced(std::string text, char from, char to) {
    for (char& c : text)
        if (c == from) c = to;
    return text;
}

// The database as export-csv writes it, and as a Spanish spreadsheet saves
// it: ";" between cells, Windows-1252 text.
const std::string kCsv =
    "Registro,Nombre:1,Ciudad:lista:1:Lugo|Vigo|\xC3\x81vila,Alta:fecha\r\n"
    "1,Ana,1,05/01/2024\r\n"
    "2,\xC3\x8D\xC3\xB1igo,3,\r\n"
    "3,Eva,1,29/02/2024\r\n";
const std::string kSpreadsheetSaved =
    "Registro;Nombre:1;Ciudad:lista:1:Lugo|Vigo|\xC1vila;Alta:fecha\r\n"
    "1;Ana;1;05/01/2024\r\n"
    "2;\xCD\xF1igo;3;\r\n"
    "3;Eva;1;29/02/2024\r\n";

// A folder on a small, full file system, when the build could mount one
// (tests/cli/small_disk.sh, as root): its path, or nothing.
std::optional<fs::path> SmallDisk() {
    const char* path = std::getenv("VELMAR_SMALL_DISK");
    if (!path || !*path) return std::nullopt;
    fs::path disk = test::HostPath(path);
    if (!fs::exists(disk / "velmar-small-disk")) return std::nullopt;
    return disk;
}

struct Step {
    const char* what;
    std::string arguments;
    int status;
    std::optional<std::string> out;                   // the whole standard output, when it matters
    std::vector<std::string> err;                     // what standard error must say
    std::string in = "";                              // working folder
    std::string file = "";                            // a file to look at afterwards ...
    std::optional<std::string> holds = std::nullopt;  // ... and what it holds; nothing: it must not exist
    const char* skipped = nullptr;                    // why the step cannot run here
};

TEST(VelmarDbForScripts, FailsClearlyWritesSafelyAndReadsSpreadsheets) {
    test::TempFolder temp;
    const fs::path t = temp.Path();
    auto at = [&](const std::string& name) { return (t / name).string(); };
    auto q = [&](const std::string& name) { return QuoteArgument(at(name)); };
    Write(t / "guardado.csv", kSpreadsheetSaved);
    Write(t / "fecha.csv", "Registro;Alta:fecha\r\n1;31/02/2024\r\n");
    Write(t / "lista.csv", "Registro,Ciudad:lista::Lugo|Vigo\r\n1,1\r\n2,Vigo\r\n");
    Write(t / "nota.txt", "no");
    Write(t / "carta.rtf", "{\\rtf1 #Nombre}");
    Write(t / "vieja.rtf", "vieja");
    fs::create_directories(t / "Clientes" / "dentro");
    fs::create_directory(t / "Copia");
    fs::create_directory(t / "Vacia");
    Write(t / "Vacia" / "Otra.z04", "");

    const std::optional<fs::path> disk = SmallDisk();
    const char* noDisk = disk ? nullptr : "no small disk: mounting a tmpfs needs root (VELMAR_SMALL_DISK)";
    const std::string diskFile = disk ? (*disk / "todas.rtf").string() : "";
    const std::string diskFolder = disk ? (*disk / "cartas").string() : "";
    // Letters too big for the disk: all of them, or all but the first.
    const std::string medium = "{\\rtf1 #Nombre " + std::string(150000, 'x') + "}";
    if (disk) {
        Write(*disk / "todas.rtf", "vieja");
        Write(t / "grande.rtf", "{\\rtf1 #Nombre " + std::string(400000, 'x') + "}");
        Write(t / "mediana.rtf", medium);
    }
    // A device that is always full: Linux's, which Wine shows as Z:\dev\full.
#if defined(_WIN32)
    const bool underWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    const std::string devFull = "Z:\\dev\\full";
    const char* noDevFull = underWine ? nullptr : "no full device on Windows outside Wine";
#else
    const std::string devFull = "/dev/full";
    const char* noDevFull = nullptr;
#endif
    const std::string db = q("Clientes");
    const std::string sep(1, static_cast<char>(kPathSeparator));

    // clang-format off
    const Step steps[] = {
        {"a spreadsheet's ';' and Windows-1252 CSV", "import-csv " + q("guardado.csv") + " " + db, 0,
         "Base de datos Clientes creada: 3 campos, 3 registros\n", {"Windows-1252"}},
        {"exported back as the same records", "export-csv " + db, 0, kCsv, {}},
        {"the spreadsheet export", "export-csv " + db + " --hoja -o " + q("hoja.csv"), 0, "", {},
         "", at("hoja.csv"), "\xEF\xBB\xBF" + Replaced(kCsv, ',', ';')},
        {"the spreadsheet export imported into '.'", "import-csv ../hoja.csv .", 0,
         "Base de datos Copia creada: 3 campos, 3 registros\n", {}, at("Copia")},
        {"read back through 'X/.'", "export-csv " + QuoteArgument(at("Copia") + sep + "."), 0, kCsv, {}},
        {"'.' is the folder", "count .", 0, "3\n", {}, at("Clientes")},
        {"'..' with a trailing '/.'", "fields .." + sep + ".", 0,
         "1\tNombre\t1\t1\t\n2\tCiudad\t9\t1\tLugo|Vigo|\xC3\x81vila\n3\tAlta\t8\t1\t\n", {},
         (t / "Clientes" / "dentro").string()},
        {"a missing folder", "count " + q("Falta"), 1, "", {"Falta no existe", "Falta.z04"}},
        {"a file as the folder", "fields " + q("nota.txt"), 1, "", {"nota.txt.z04", "no es una carpeta"}},
        {"a folder without its .z04", "count " + q("Vacia"), 1, "", {"Vacia.z04", "Otra.z04"}},
        {"search writes only record numbers", "search " + db + " Ciudad = 1", 0, "1\n3\n", {"2 Resultados ..."}},
        {"--count writes the bare number", "search --count " + db + " Ciudad 01 1", 0, "2\n", {}},
        {"an option's name in a list field", "search " + db + " Ciudad = Lugo", 0, "",
         {"No hay Resultados ...", "opci\xC3\xB3n 1"}},
        {"an ordering value without a number", "search " + db + " Nombre " + QuoteArgument(">") + " Ana", 0, "",
         {"lo lee como 0"}},
        {"an unknown field in search", "search " + db + " Falta = x", 1, "", {"\"Falta\"", "Nombre, Ciudad, Alta"}},
        {"an unknown field in value", "value " + db + " Falta 1", 1, "", {"\"Falta\""}},
        {"an unknown field in export-csv", "export-csv " + db + " --search Falta = x", 1, "", {"\"Falta\""}},
        {"an unknown field in merge", "merge " + db + " " + q("carta.rtf") + " --out " + q("cartas") +
         " --search Falta = x", 1, "", {"\"Falta\""}, "", at("cartas"), std::nullopt},
        {"merge -o replaces nothing unasked", "merge " + db + " " + q("carta.rtf") + " 1 -o " + q("vieja.rtf"), 1,
         "", {"--force"}, "", at("vieja.rtf"), "vieja"},
        {"a full standard output", "count " + db + " > " + devFull, 1, "", {"salida est\xC3\xA1ndar"},
         "", "", std::nullopt, noDevFull},
        {"--into on a full disk", "merge " + db + " " + q("grande.rtf") + " --into " + QuoteArgument(diskFile) +
         " 1-3 --force", 1, "", {"todas.rtf"}, "", diskFile, "vieja", noDisk},
        {"--out on a full disk says what it wrote", "merge " + db + " " + q("mediana.rtf") + " --out " +
         QuoteArgument(diskFolder) + " 1-3", 1, "", {"2.rtf", "se ha escrito 1 documento", "del registro 1"},
         "", diskFolder + sep + "1.rtf", "{\\rtf1 Ana" + medium.substr(14), noDisk},
        {"a date that is no date", "import-csv " + q("fecha.csv") + " " + q("Fecha"), 1, "",
         {"fecha.csv:2:3:", "31/02/2024"}, "", at("Fecha"), std::nullopt},
        {"a list cell that is no option's number", "import-csv " + q("lista.csv") + " " + q("Lista"), 1, "",
         {"lista.csv:3:3:", "Vigo", "de 1 a 2"}, "", at("Lista"), std::nullopt},
    };
    // clang-format on
    std::string notRun;
    for (const Step& step : steps) {
        if (step.skipped) {
            notRun += std::string(notRun.empty() ? "" : "; ") + step.what + ": " + step.skipped;
            continue;
        }
        test::VelmarDbOutcome run = test::RunVelmarDb(step.arguments, step.in);
        EXPECT_EQ(run.status, step.status) << step.what << "\n" << run.err;
        if (step.out) {
            EXPECT_EQ(run.out, *step.out) << step.what;
        }
        for (const std::string& piece : step.err)
            EXPECT_NE(run.err.find(piece), std::string::npos) << step.what << ": \"" << piece << "\" in\n" << run.err;
        if (step.status != 0) {
            EXPECT_FALSE(run.err.empty()) << step.what;
        }
        if (step.file.empty()) continue;
        if (!step.holds) {
            EXPECT_FALSE(fs::exists(step.file)) << step.what << ": " << step.file;
        } else {
            EXPECT_EQ(Text(test::ReadBytes(step.file)), *step.holds) << step.what;
        }
    }
    // A failed write leaves no temporary file behind.
    if (disk) {
        for (const auto& entry : fs::recursive_directory_iterator(*disk))
            EXPECT_EQ(entry.path().filename().string().rfind("~velmar", 0), std::string::npos) << entry.path();
    }
    // Every other step has run; the test is reported as skipped, with why.
    if (!notRun.empty()) GTEST_SKIP() << notRun;
}

}  // namespace
}  // namespace velmar
