// velmar-db merge, import-csv and export-csv end to end.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <random>

#include "database/database_writer.h"
#include "database/linked_database.h"
#include "database/record_display.h"
#include "tests/cli/run_velmar_db.h"
#include "tests/database/generated.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

using test::QuoteArgument;
using test::RunVelmarDb;

std::string Text(const std::vector<unsigned char>& bytes) {
    return {bytes.begin(), bytes.end()};
}
std::vector<unsigned char> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class MergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DatabaseContent content;
        content.fields = {{"Nombre", 0, 1, ""},
                          {"Alta", 8, 1, ""},
                          {"Tipo", 9, 1, " Oro|Plata|Bronce "},
                          {"Ruta", 0, 0, ""},
                          {"Nota", 6, 1, ""}};
        content.records = {{1, {"\xC1ngel", "15/02/2021", "2.5", "C:\\temp\\{a}", "x"}},
                           {2, {"\xF1u", std::nullopt, "-1", std::nullopt, std::nullopt}}};
        ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
        templatePath = (temp.Path() / "carta.rtf").string();
        test::WriteBytes(templatePath, Bytes(kTemplate));
        common = QuoteArgument(fx.Folder()) + " " + QuoteArgument(templatePath);
    }

    static constexpr const char* kTemplate =
        "{\\rtf1\\ansi Sr. ##Nombre (#Nombre)\\par Alta: ##Alta\\par Tipo: #Tipo / ##Tipo\\par #Ruta #Nota\\par}";
    test::DatabaseFixture fx;
    test::TempFolder temp;
    std::string templatePath;
    std::string common;
};

TEST_F(MergeTest, WritesTheFilledTemplateByteForByte) {
    test::VelmarDbOutcome first = RunVelmarDb("merge " + common + " 1 --today 27/03/2026");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out,
              "{\\rtf1\\ansi Sr. \xC1NGEL (\xC1ngel)\\par Alta: 5 A\xD1OS 1 MES 12 DIAS  (15/02/2021)\\par "
              "Tipo: Plata / #Plata\\par C:\\\\temp\\\\\\{a\\} #Nota\\par}");
    EXPECT_EQ(RunVelmarDb("merge " + common + " 2 --today 27/03/2026").out,
              "{\\rtf1\\ansi Sr. \xD1U (\xF1u)\\par Alta: NO DATOS\\par Tipo: Bronce / #Bronce\\par No datos "
              "#Nota\\par}");

    std::string file = (temp.Path() / "uno.rtf").string();
    EXPECT_EQ(RunVelmarDb("merge " + common + " --today 27/03/2026 1 -o " + QuoteArgument(file)).status, 0);
    EXPECT_EQ(Text(test::ReadBytes(file)), first.out);
}

TEST_F(MergeTest, AnEmptyTemplateWritesNothing) {
    test::WriteBytes(templatePath, {});
    std::string file = (temp.Path() / "nada.rtf").string();
    test::VelmarDbOutcome run = RunVelmarDb("merge " + common + " 1 -o " + QuoteArgument(file));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(MergeTest, RefusesBadArguments) {
    EXPECT_EQ(RunVelmarDb("merge " + common).status, 2);
    EXPECT_EQ(RunVelmarDb("merge " + common + " 1 --today 31/02/2026").status, 2);
    EXPECT_EQ(RunVelmarDb("merge " + common + " 1 --today 1/2/2026").status, 2);
    EXPECT_EQ(RunVelmarDb("merge " + common + " 1 2").status, 2);
    EXPECT_EQ(RunVelmarDb("merge " + common + " 1 --force").status, 2);
    EXPECT_EQ(RunVelmarDb("merge " + common + " 1 --sideways").status, 2);
    test::VelmarDbOutcome notDatabase =
        RunVelmarDb("merge " + QuoteArgument(temp.Path().string()) + " " + QuoteArgument(templatePath) + " 1");
    EXPECT_EQ(notDatabase.status, 1);
    EXPECT_NE(notDatabase.err.find("no es una base de datos"), std::string::npos) << notDatabase.err;
    EXPECT_FALSE(std::filesystem::exists(temp.Path() / (temp.Path().filename().string() + ".z04")));
}

TEST_F(MergeTest, BatchWritesOneDocumentPerRecordAndNeverOverwritesUnasked) {
    std::string out = (temp.Path() / "cartas").string();
    test::VelmarDbOutcome run =
        RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " 2 1-2 --today 27/03/2026");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2 documentos escritos en " + out + "\n");
    std::string one = RunVelmarDb("merge " + common + " 1 --today 27/03/2026").out;
    std::string two = RunVelmarDb("merge " + common + " 2 --today 27/03/2026").out;
    EXPECT_EQ(Text(test::ReadBytes(out + "/1.rtf")), one);
    EXPECT_EQ(Text(test::ReadBytes(out + "/2.rtf")), two);

    test::WriteBytes(out + "/2.rtf", Bytes("mine"));
    std::filesystem::remove(out + "/1.rtf");
    test::VelmarDbOutcome refused = RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " 1-2");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(out + "/1.rtf")) << "nothing is written when one document exists";
    EXPECT_EQ(Text(test::ReadBytes(out + "/2.rtf")), "mine");

    EXPECT_EQ(
        RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " 1-2 --force --today 27/03/2026").status, 0);
    EXPECT_EQ(Text(test::ReadBytes(out + "/2.rtf")), two);

    EXPECT_EQ(RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " 3").status, 1);
    EXPECT_EQ(RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " 2-1").status, 2);
    EXPECT_EQ(RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " 0").status, 2);
}

TEST_F(MergeTest, BatchTakesTheRecordsASearchFinds) {
    std::string out = (temp.Path() / "busqueda").string();
    test::VelmarDbOutcome run =
        RunVelmarDb("merge " + common + " --out " + QuoteArgument(out) + " --search Tipo \">\" 0 --today 27/03/2026");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 documento escrito en " + out + "\n");
    EXPECT_TRUE(std::filesystem::exists(out + "/1.rtf"));
    EXPECT_FALSE(std::filesystem::exists(out + "/2.rtf"));
}

// What velmar-db merge writes must be exactly the merge of the core, run on
// the plain file scans, for any database and template.
TEST(MergeCommand, MatchesTheLiteralMergeOnGeneratedDatabases) {
    std::mt19937 rng(1985);
    for (int round = 0; round < 8; ++round) {
        test::DatabaseFixture fx;
        test::TempFolder temp;
        DatabaseContent content = test::RandomContent(rng, 4);
        ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
        std::string templateText = test::RandomTemplate(rng, content.fields);
        std::string templatePath = (temp.Path() / "t.rtf").string();
        test::WriteBytes(templatePath, Bytes(templateText));
        LinkedDatabase db = fx.Database();
        LoadFieldList(db);
        LiteralFieldSource literal(db);
        for (int64_t record = 1 + round % 2; record <= 3; record += 2) {
            std::string expected = FormatRecordText({templateText, true}, db.fields, record, literal, {2026, 3, 10});
            test::VelmarDbOutcome run =
                RunVelmarDb("merge " + QuoteArgument(fx.Folder()) + " " + QuoteArgument(templatePath) + " " +
                            std::to_string(record) + " --today 10/03/2026");
            ASSERT_EQ(run.status, 0) << run.err;
            ASSERT_EQ(run.out, expected) << "round " << round << " record " << record << " template " << templateText;
        }
    }
}

TEST_F(MergeTest, ShowWritesEveryDisplayedFieldOnItsLine) {
    test::VelmarDbOutcome one = RunVelmarDb("show " + QuoteArgument(fx.Folder()) + " 1 --today 27/03/2026");
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out,
              "Nombre\t\xC3\x81ngel\nAlta\t5 a\xC3\xB1os 1 mes 12 dias  (15/02/2021)\nTipo\tPlata\n"
              "Ruta\tC:\\\\temp\\\\{a}\n");
    EXPECT_EQ(RunVelmarDb("show --today 27/03/2026 " + QuoteArgument(fx.Folder()) + " 2").out,
              "Nombre\t\xC3\xB1u\nAlta\tNo datos\nTipo\tBronce\nRuta\tNo datos\n");

    const std::string folder = QuoteArgument(fx.Folder());
    const struct {
        std::string arguments;
        int status;
    } refused[] = {{folder, 2},
                   {folder + " uno", 2},
                   {folder + " 1 2", 2},
                   {folder + " 1 --today 31/02/2026", 2},
                   {folder + " 1 --hoy", 2},
                   {folder + " 3", 1},
                   {folder + " 0", 1},
                   {QuoteArgument(temp.Path().string()) + " 1", 1}};
    for (const auto& [arguments, status] : refused) {
        test::VelmarDbOutcome run = RunVelmarDb("show " + arguments);
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
}

// Counts of the control words \rtf1 and \page in RTF source (escaped
// backslashes and braces aside), and whether every group closes.
struct RtfShape {
    int rtf1 = 0;
    int pages = 0;
    bool balanced = false;
};
RtfShape ShapeOf(const std::string& rtf) {
    RtfShape shape;
    int depth = 0;
    bool closedEarly = false;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            std::size_t j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
            while (j < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[j]))) ++j;
            std::string word = rtf.substr(i + 1, j - i - 1);
            shape.rtf1 += word == "rtf1";
            shape.pages += word == "page";
            i = j > i + 1 ? j - 1 : i + 1;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            if (--depth == 0 && rtf.find_first_not_of("\r\n", i + 1) != std::string::npos) closedEarly = true;
            if (depth < 0) closedEarly = true;
        }
    }
    shape.balanced = depth == 0 && !closedEarly;
    return shape;
}

TEST_F(MergeTest, IntoWritesOneDocumentOfEveryRecordAndNeverOverwritesUnasked) {
    const std::string into = (temp.Path() / "todas.rtf").string();
    test::VelmarDbOutcome run =
        RunVelmarDb("merge " + common + " --into " + QuoteArgument(into) + " 1-2 --today 27/03/2026");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2 registros combinados en " + into + "\n");
    // The template has no tables: its header is "{\rtf1"; each record's body
    // is its merged document without it and without the closing brace.
    auto body = [&](int record) {
        std::string merged = RunVelmarDb("merge " + common + " " + std::to_string(record) + " --today 27/03/2026").out;
        return merged.substr(6, merged.size() - 7);
    };
    EXPECT_EQ(Text(test::ReadBytes(into)), "{\\rtf1{" + body(1) + "}\\page\r\n{" + body(2) + "}}\r\n");

    test::WriteBytes(into, Bytes("mine"));
    const struct {
        std::string arguments;
        int status;
    } refused[] = {{" 1-2", 1},
                   {" 3", 1},
                   {" --search Tipo = 7", 1},
                   {" 2-1", 2},
                   {"", 2},
                   {" 1 --search Tipo = 1", 2},
                   {" 1 -o x.rtf", 2},
                   {" 1 --out cartas", 2}};
    for (const auto& [arguments, status] : refused) {
        test::VelmarDbOutcome refusal = RunVelmarDb("merge " + common + " --into " + QuoteArgument(into) + arguments);
        EXPECT_EQ(refusal.status, status) << arguments;
        EXPECT_FALSE(refusal.err.empty()) << arguments;
        EXPECT_EQ(Text(test::ReadBytes(into)), "mine") << arguments;
    }
    test::WriteBytes(templatePath, Bytes("Sr. #Nombre"));
    EXPECT_EQ(RunVelmarDb("merge " + common + " --into " + QuoteArgument(into) + " 1 --force").status, 1)
        << "a template that is no RTF document";
    EXPECT_EQ(Text(test::ReadBytes(into)), "mine");
}

// For generated databases and templates with the tables an editor writes:
// one header, the template's own, then every record's body in order, each as
// the core's merge gives it, a page break between them.
TEST(MergeCommand, IntoHoldsTheMergedBodiesOfGeneratedDatabasesInOneDocument) {
    std::mt19937 rng(2026);
    const std::string header =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Velmar;}";
    for (int round = 0; round < 6; ++round) {
        test::DatabaseFixture fx;
        test::TempFolder temp;
        DatabaseContent content = test::RandomContent(rng, 4);
        ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
        std::string body = "\\viewkind4\\pard ";
        for (int piece = 0; piece < 6; ++piece) {
            const FieldDefinition& field = content.fields[rng() % content.fields.size()];
            switch (rng() % 4) {
                case 0:
                    body += "{\\b ##" + field.name + "}";
                    break;
                case 1:
                    body += "#" + field.name + " ";
                    break;
                case 2:
                    body += "\\par\r\n";
                    break;
                default:
                    body += "{\\i Sr. {\\cf1 x}}";
                    break;
            }
        }
        const std::string templateText = header + body + "}";
        const std::string templatePath = (temp.Path() / "t.rtf").string();
        test::WriteBytes(templatePath, Bytes(templateText));
        LinkedDatabase db = fx.Database();
        LoadFieldList(db);
        LiteralFieldSource literal(db);
        const int64_t records = LastRecordNumber(db);
        if (records == 0) continue;
        std::string expected = header;
        for (int64_t record = 1; record <= records; ++record) {
            std::string merged = FormatRecordText({templateText, true}, db.fields, record, literal, {2026, 3, 10});
            ASSERT_EQ(merged.compare(0, header.size(), header), 0) << merged;
            expected += (record > 1 ? "\\page\r\n{" : "{") +
                        merged.substr(header.size(), merged.size() - header.size() - 1) + "}";
        }
        expected += "}\r\n";
        const std::string into = (temp.Path() / "todas.rtf").string();
        test::VelmarDbOutcome run =
            RunVelmarDb("merge " + QuoteArgument(fx.Folder()) + " " + QuoteArgument(templatePath) + " --into " +
                        QuoteArgument(into) + " 1-" + std::to_string(records) + " --today 10/03/2026");
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string document = Text(test::ReadBytes(into));
        RtfShape shape = ShapeOf(document);
        EXPECT_EQ(shape.rtf1, 1) << document;
        EXPECT_EQ(shape.pages, records - 1) << document;
        EXPECT_TRUE(shape.balanced) << document;
        EXPECT_EQ(document, expected) << "round " << round;
    }
}

// Damaged templates still give one well-formed document; a placeholder in
// the header stays as it is written.
TEST(MergeCommand, IntoMendsTheGroupsOfAnUnclosedTemplateAndLeavesTheHeaderUnfilled) {
    test::DatabaseFixture fx;
    fx.Field("Nombre").Value("Nombre", 1, "Ana").Value("Nombre", 2, "Eva\\").Write();
    test::TempFolder temp;
    const std::string templates[] = {
        "{\\rtf1{\\info{\\title #Nombre}}{\\b #Nombre",  // body never closed
        "{\\rtf1{\\fonttbl{\\f0 A;}}#Nombre}}}",         // one brace too many
        "{\\rtf1{\\fonttbl{\\f0 A;}\\b #Nombre",         // a table never closed
        "{\\rtf1 #Nombre\\",                             // a backslash at the end
    };
    for (const std::string& templateText : templates) {
        const std::string templatePath = (temp.Path() / "t.rtf").string();
        test::WriteBytes(templatePath, Bytes(templateText));
        const std::string into = (temp.Path() / "todas.rtf").string();
        test::VelmarDbOutcome run =
            RunVelmarDb("merge " + QuoteArgument(fx.Folder()) + " " + QuoteArgument(templatePath) + " --into " +
                        QuoteArgument(into) + " 1-2 --force");
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string document = Text(test::ReadBytes(into));
        RtfShape shape = ShapeOf(document);
        EXPECT_EQ(shape.rtf1, 1) << document;
        EXPECT_EQ(shape.pages, 1) << document;
        EXPECT_TRUE(shape.balanced) << document;
        EXPECT_NE(document.find("Ana"), std::string::npos) << document;
        EXPECT_NE(document.find("Eva\\\\"), std::string::npos) << document;
    }
    EXPECT_EQ(Text(test::ReadBytes((temp.Path() / "t.rtf").string())), templates[3]);
    test::WriteBytes((temp.Path() / "t.rtf").string(), Bytes(templates[0]));
    RunVelmarDb("merge " + QuoteArgument(fx.Folder()) + " " + QuoteArgument((temp.Path() / "t.rtf").string()) +
                " --into " + QuoteArgument((temp.Path() / "todas.rtf").string()) + " 1-2 --force");
    EXPECT_EQ(Text(test::ReadBytes((temp.Path() / "todas.rtf").string())).rfind("{\\rtf1{\\info{\\title #Nombre}}", 0),
              0u);
}

TEST(CsvCommands, ExportOfASearchWritesOnlyTheRecordsFoundAndImportsBack) {
    test::TempFolder temp;
    const std::string csvPath = (temp.Path() / "clientes.csv").string();
    const std::string header = "Registro,Nombre:texto,Tipo:lista:1:Oro|Plata\r\n";
    test::WriteBytes(csvPath, Bytes(header + "1,Ana,2\r\n2,Eva,1\r\n3,Luis,\r\n4,Olga,1\r\n"));
    const std::string folder = (temp.Path() / "Clientes").string();
    ASSERT_EQ(RunVelmarDb("import-csv " + QuoteArgument(csvPath) + " " + QuoteArgument(folder)).status, 0);

    const std::string found = header + "2,Eva,1\r\n4,Olga,1\r\n";
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " --search Tipo = 1").out, found);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " --search Tipo = 1 Nombre \"*-\" O").out,
              header + "4,Olga,1\r\n");
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " --search Nombre = Zoe").out, header);

    const std::string exported = (temp.Path() / "oro.csv").string();
    EXPECT_EQ(
        RunVelmarDb("export-csv " + QuoteArgument(folder) + " --search Tipo = 1 -o " + QuoteArgument(exported)).status,
        0);
    EXPECT_EQ(Text(test::ReadBytes(exported)), found);
    const std::string subset = (temp.Path() / "Oro").string();
    ASSERT_EQ(RunVelmarDb("import-csv " + QuoteArgument(exported) + " " + QuoteArgument(subset)).status, 0);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(subset) + " --search Tipo = 1").out, found);

    test::WriteBytes(exported, Bytes("mine"));
    EXPECT_EQ(
        RunVelmarDb("export-csv " + QuoteArgument(folder) + " -o " + QuoteArgument(exported) + " --search Tipo = 1")
            .status,
        1);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " --search Tipo =").status, 2);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " --search Tipo = \"\"").status, 1);
    EXPECT_EQ(Text(test::ReadBytes(exported)), "mine");
}

TEST(CsvCommands, ImportThenExportGivesTheSameCsv) {
    test::TempFolder temp;
    std::string csv =
        "Registro,Nombre:texto,Alta:fecha,Tipo:lista:1:Oro|Plata,C\xC3\xB3"
        "digo:4:0\r\n"
        "1,\xC3\x81ngel,01/02/2003,2,\"a,b\"\r\n"
        "2,,,,\r\n"
        "3,\"dos\r\nl\xC3\xADneas\",,1,\"\"\"x\"\"\"\r\n";
    std::string csvPath = (temp.Path() / "clientes.csv").string();
    test::WriteBytes(csvPath, Bytes(csv));
    std::string folder = (temp.Path() / "Clientes").string();
    test::VelmarDbOutcome import = RunVelmarDb("import-csv " + QuoteArgument(csvPath) + " " + QuoteArgument(folder));
    EXPECT_EQ(import.status, 0) << import.err;
    EXPECT_EQ(import.out, "Base de datos Clientes creada: 4 campos, 3 registros\n");
    EXPECT_EQ(std::filesystem::file_size(folder + "/Clientes.z04"), 4u * 12042u);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder)).out, csv);

    std::string exported = (temp.Path() / "copia.csv").string();
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " -o " + QuoteArgument(exported)).status, 0);
    EXPECT_EQ(Text(test::ReadBytes(exported)), csv);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " -o " + QuoteArgument(exported)).status, 1);
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder) + " -o " + QuoteArgument(exported) + " --force").status,
              0);

    test::VelmarDbOutcome again = RunVelmarDb("import-csv " + QuoteArgument(csvPath) + " " + QuoteArgument(folder));
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("no se reemplaza"), std::string::npos) << again.err;
}

TEST(CsvCommands, BadCsvIsRefusedWithItsPlaceAndWritesNothing) {
    test::TempFolder temp;
    std::string csvPath = (temp.Path() / "mal.csv").string();
    test::WriteBytes(csvPath, Bytes("Registro,Nombre\n1,Ana\n2,\xE2\x82\xAC \xE2\x98\x83\n"));
    std::string folder = (temp.Path() / "Nueva").string();
    test::VelmarDbOutcome run = RunVelmarDb("import-csv " + QuoteArgument(csvPath) + " " + QuoteArgument(folder));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("mal.csv:3:5: el car\xC3\xA1"
                           "cter U+2603"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder));
}

// True when every "{" of the RTF text has its "}" (escaped braces aside).
bool BracesBalance(const std::string& rtf) {
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

TEST(SampleDatabase, ImportsExportsAsItsCsvAndFillsEveryPlaceholderOfTheLetter) {
    const std::string samples = test::HostPath(VELMAR_SAMPLES_DIR);
    const std::string csvPath = samples + (samples[0] == '/' ? "/" : "\\") + "clientes.csv";
    const std::string letterPath = samples + (samples[0] == '/' ? "/" : "\\") + "Carta.rtf";
    test::TempFolder temp;
    const std::string folder = (temp.Path() / "Clientes").string();
    test::VelmarDbOutcome import = RunVelmarDb("import-csv " + QuoteArgument(csvPath) + " " + QuoteArgument(folder));
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_EQ(import.out, "Base de datos Clientes creada: 10 campos, 300 registros\n");
    EXPECT_EQ(RunVelmarDb("export-csv " + QuoteArgument(folder)).out, Text(test::ReadBytes(csvPath)));

    const std::string letters = (temp.Path() / "cartas").string();
    test::VelmarDbOutcome merge = RunVelmarDb("merge " + QuoteArgument(folder) + " " + QuoteArgument(letterPath) +
                                              " --out " + QuoteArgument(letters) + " 1-300 --today 27/03/2026");
    ASSERT_EQ(merge.status, 0) << merge.err;
    for (int record = 1; record <= 300; ++record) {
        std::string letter =
            Text(test::ReadBytes((std::filesystem::path(letters) / (std::to_string(record) + ".rtf")).string()));
        ASSERT_FALSE(letter.empty()) << record;
        EXPECT_EQ(letter.find('#'), std::string::npos) << record << "\n" << letter;
        EXPECT_TRUE(BracesBalance(letter)) << record << "\n" << letter;
    }
}

}  // namespace
}  // namespace velmar
