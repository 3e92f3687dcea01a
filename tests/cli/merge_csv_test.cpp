// velmar-db merge, import-csv and export-csv end to end.
#include <gtest/gtest.h>

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
