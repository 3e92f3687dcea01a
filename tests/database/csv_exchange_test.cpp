#include "database/csv_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "database/database_writer.h"
#include "database/linked_database.h"
#include "tests/database/generated.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

std::string Export(const LinkedDatabase& db) {
    std::ostringstream out;
    EXPECT_EQ(ExportDatabaseCsv(db, out), "");
    return out.str();
}

CsvProblem ProblemOf(std::string_view csv) {
    auto parsed = ParseDatabaseCsv(csv);
    EXPECT_TRUE(std::holds_alternative<CsvProblem>(parsed)) << csv;
    return std::holds_alternative<CsvProblem>(parsed) ? std::get<CsvProblem>(parsed) : CsvProblem{};
}

DatabaseContent ContentOf(std::string_view csv) {
    auto parsed = ParseDatabaseCsv(csv);
    if (auto* problem = std::get_if<CsvProblem>(&parsed)) {
        ADD_FAILURE() << problem->line << ":" << problem->column << ": " << problem->reason;
        return {};
    }
    return std::get<DatabaseContent>(parsed);
}

TEST(CsvExchange, ExportThenImportGivesTheSameFiles) {
    std::mt19937 rng(4180);
    for (int round = 0; round < 60; ++round) {
        test::DatabaseFixture original;
        DatabaseContent content = test::RandomContent(rng, 20);
        // Import takes only real dates and option numbers in date and list fields.
        for (DatabaseContent::Record& record : content.records) {
            for (std::size_t i = 0; i < content.fields.size(); ++i) {
                const FieldDefinition& field = content.fields[i];
                if (!record.values[i] || (field.type != 8 && field.type != 9)) continue;
                if (field.type == 8) record.values[i] = "2" + std::to_string(record.number % 9) + "/02/2020";
                if (field.type == 9)
                    record.values[i] = field.options.empty() ? std::nullopt : std::optional<std::string>("1");
            }
        }
        ASSERT_TRUE(WriteDatabase(original.Folder(), content, true).Ok());
        std::string csv = Export(original.Database());

        test::DatabaseFixture copy;
        auto parsed = ParseDatabaseCsv(csv);
        ASSERT_TRUE(std::holds_alternative<DatabaseContent>(parsed))
            << "round " << round << ": " << std::get<CsvProblem>(parsed).reason << "\n"
            << csv;
        ASSERT_TRUE(WriteDatabase(copy.Folder(), std::get<DatabaseContent>(parsed)).Ok());
        // Both were written with zeros in the bytes readers ignore, so the
        // read-visible content is the same exactly when the bytes are.
        ASSERT_EQ(test::ReadBytes(copy.DefinitionPath()), test::ReadBytes(original.DefinitionPath())) << round;
        ASSERT_EQ(test::ReadBytes(copy.ValuePath()), test::ReadBytes(original.ValuePath())) << round << "\n" << csv;
        EXPECT_EQ(Export(copy.Database()), csv);
    }
}

TEST(CsvExchange, ExportShowsEveryRecordNumberAndQuotesWhereNeeded) {
    test::DatabaseFixture fx;
    DatabaseContent content;
    content.fields = {{"Nombre", 0, 1, ""}, {"Alta", 8, 0, ""}, {"Tipo", 9, 1, " A|B:c "}, {"R:a\\z", 3, -7, ""}};
    content.records = {{1, {"Ana", "01/02/2003", "2", std::nullopt}},
                       {3, {"Jos\xE9, \"Pepe\"", std::nullopt, std::nullopt, "l\xEDnea\r\notra"}}};
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content).Ok());
    EXPECT_EQ(Export(fx.Database()),
              "Registro,Nombre:texto,Alta:fecha:0,Tipo:lista:1: A|B:c ,R\\:a\\\\z:3:-7\r\n"
              "1,Ana,01/02/2003,2,\r\n"
              "2,,,,\r\n"
              "3,\"Jos\xC3\xA9, \"\"Pepe\"\"\",,,\"l\xC3\xADnea\r\notra\"\r\n");
}

TEST(CsvExchange, ImportReadsTheCompactHeaderForms) {
    DatabaseContent content = ContentOf(
        "\xEF\xBB\xBFRegistro,Nombre,Alta:fecha,Provincia:lista::Madrid|Sevilla,C\xC3\xB3"
        "digo:4:0,"
        "a\\:b:-2:7:x:y,:texto\n"
        "1,Ana,,2,,,\n"
        "5,\"B\"\"c\nd\",29/02/2000,,,,z\n\n");
    ASSERT_EQ(content.fields.size(), 6u);
    EXPECT_EQ(content.fields[0], (FieldDefinition{"Nombre", 0, 1, ""}));
    EXPECT_EQ(content.fields[1], (FieldDefinition{"Alta", 8, 1, ""}));
    EXPECT_EQ(content.fields[2], (FieldDefinition{"Provincia", 9, 1, "Madrid|Sevilla"}));
    EXPECT_EQ(content.fields[3], (FieldDefinition{"C\xF3"
                                                  "digo",
                                                  4, 0, ""}));
    EXPECT_EQ(content.fields[4], (FieldDefinition{"a:b", -2, 7, "x:y"}));
    EXPECT_EQ(content.fields[5], (FieldDefinition{"", 0, 1, ""}));
    ASSERT_EQ(content.records.size(), 2u);
    EXPECT_EQ(content.records[0].number, 1);
    EXPECT_EQ(content.records[0].values[0], "Ana");
    EXPECT_EQ(content.records[0].values[1], std::nullopt);
    EXPECT_EQ(content.records[1].number, 5);
    EXPECT_EQ(content.records[1].values[0], "B\"c\nd");
    EXPECT_EQ(content.records[1].values[5], "z");

    // As a Spanish spreadsheet saves it: ";" between cells, Windows-1252.
    EXPECT_EQ(ContentOf("Registro;Nombre;Alta:fecha;Provincia:lista::Madrid|Sevilla;C\xF3"
                        "digo:4:0;a\\:b:-2:7:x:y;:texto\r\n1;Ana;;2;;;\r\n5;\"B\"\"c\nd\";29/02/2000;;;;z\r\n"),
              content);
}

TEST(CsvExchange, BadInputIsRefusedWithLineColumnAndReason) {
    struct Case {
        const char* csv;
        int64_t line, column;
        const char* reason;
    } cases[] = {
        {"", 1, 1, "vac\xC3\xADo"},
        {"Numero,Nombre\n1,a\n", 1, 1, "Registro"},
        {"Registro\n1\n", 1, 1, "ning\xC3\xBAn campo"},
        {"Registro,Nombre,\n", 1, 17,
         "cabecera vac\xC3\xAD"
         "a"},
        {"Registro,Nombre:texto\n1,\xC3\xA1\xC4\x81\n", 2, 4, "U+0101"},
        {"Registro,A:fecha\n1,2024-01-05\n", 2, 3, "fecha real DD/MM/AAAA"},
        {"Registro,A:fecha\n1,29/02/2023\n", 2, 3, "fecha real DD/MM/AAAA"},
        {"Registro,A:lista::x|y\n1,3\n", 2, 3, "de 1 a 2"},
        {"Registro,A:lista::x|y\n1,x\n", 2, 3, "de 1 a 2"},
        {"Registro,A:lista\n1,1\n", 2, 3, "no tiene opciones"},
        {"Registro;A\n1;\"a\"b\n", 2, 6, "punto y coma"},
        {"Registro,Un nombre de campo demasiado largo\n", 1, 10, "tiene 34 caracteres y caben 30"},
        {"Registro,\xC3\xB1"
         "123456789012345678901234567890\n",
         1, 10, "tiene 31 caracteres"},
        {"Registro,A:numero\n", 1, 10, "tipo de campo"},
        {"Registro,A:40000\n", 1, 10, "tipo de campo"},
        {"Registro,A:texto:si\n", 1, 10, "indicador de b\xC3\xBAsqueda"},
        {"Registro,A\\b\n", 1, 10, "\\ solo puede ir"},
        {"Registro,A,B,A:fecha\n", 1, 14, "ya est\xC3\xA1 en la columna 2"},
        {"Registro,A,B\n1,x\n", 2, 1, "la fila tiene 2 columnas y la cabecera 3"},
        {"Registro,A\n1,x,y\n", 2, 5, "la fila tiene 3 columnas"},
        {"Registro,A\n0,x\n", 2, 1, "entero positivo"},
        {"Registro,A\n+1,x\n", 2, 1, "entero positivo"},
        {"Registro,A\n 1,x\n", 2, 1, "entero positivo"},
        {"Registro,A\n99999999999999999999,x\n", 2, 1, "entero positivo"},
        {"Registro,A\n2,x\n2,y\n", 3, 1, "2 no es mayor que 2"},
        {"Registro,A\r\n1,\"abc\r\n", 2, 3, "faltan las comillas"},
        {"Registro,A\n1,\"ab\"c\n", 2, 7, "tras las comillas"},
        {"Registro,A\n1,ab\"c\n", 2, 5, "comillas dentro de un campo"},
        {"Registro,A\n1,\"a\nb\",\xC5\x93\xE2\x80\x94\xE2\x82\xAC\xF0\x9F\x98\x80\n", 3, 7, "U+1F600"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        CsvProblem problem = ProblemOf(cases[i].csv);
        EXPECT_EQ(problem.line, cases[i].line) << i << ": " << problem.reason;
        EXPECT_EQ(problem.column, cases[i].column) << i << ": " << problem.reason;
        EXPECT_NE(problem.reason.find(cases[i].reason), std::string::npos) << i << ": " << problem.reason;
    }
}

// Damaged CSV text either reads as a database that fits the file layout or is
// refused at a place inside the text; it never reads past its end.
TEST(CsvExchange, DamagedCsvIsReadOrRefusedAtAPlaceInsideIt) {
    std::mt19937 rng(1252);
    const std::string good =
        "Registro,Nombre:texto,Alta:fecha:0,Tipo:lista:1:A|B\r\n1,\"Jos\xC3\xA9, \"\"P\"\"\",01/02/2003,2\r\n"
        "2,,,\r\n3,\"dos\r\nl\xC3\xADneas\",03/04/2005,1\r\n";
    const std::string pieces[] = {",", "\"", "\r", "\n", ":", "\\", "\xC3", "\xE2\x98\x83", "", "x", "0", "-"};
    for (int round = 0; round < 3000; ++round) {
        std::string csv = good;
        for (int edits = 1 + static_cast<int>(rng() % 3); edits > 0; --edits) {
            std::size_t at = rng() % (csv.size() + 1);
            std::size_t cut = rng() % 3;
            csv = csv.substr(0, at) + pieces[rng() % std::size(pieces)] + csv.substr(std::min(csv.size(), at + cut));
        }
        auto parsed = ParseDatabaseCsv(csv);
        if (auto* problem = std::get_if<CsvProblem>(&parsed)) {
            // CR LF, LF and a lone CR each end a line.
            int64_t lines = 1;
            for (std::size_t i = 0; i < csv.size(); ++i)
                lines += csv[i] == '\n' || (csv[i] == '\r' && (i + 1 == csv.size() || csv[i + 1] != '\n'));
            EXPECT_GE(problem->line, 1) << csv;
            EXPECT_LE(problem->line, lines) << csv;
            EXPECT_GE(problem->column, 1) << csv;
            EXPECT_FALSE(problem->reason.empty()) << csv;
        } else {
            EXPECT_EQ(CheckContent(std::get<DatabaseContent>(parsed)), "") << csv;
        }
    }
}

TEST(CsvExchange, OptionListsAndNamesMustFitTheirSlots) {
    std::string options(12000, 'a');
    EXPECT_EQ(ContentOf("Registro,L:lista:1:" + options + "\n").fields[0].options.size(), 12000u);
    CsvProblem problem = ProblemOf("Registro,L:lista:1:" + options + "b\n");
    EXPECT_NE(problem.reason.find("12001 caracteres y caben 12000"), std::string::npos) << problem.reason;
    // Thirty characters of two bytes each in UTF-8 still fit: the slot counts code-page bytes.
    std::string name;
    for (int i = 0; i < 30; ++i) name += "\xC3\xB1";
    EXPECT_EQ(ContentOf("Registro," + name + "\n").fields[0].name, std::string(30, '\xF1'));
}

TEST(DatabaseWriter, RefusesToOverwriteAndLeavesNothingBehindOnBadContent) {
    test::DatabaseFixture fx;
    DatabaseContent content = ContentOf("Registro,A\n1,x\n");
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content).Ok());
    auto before = test::ReadBytes(fx.ValuePath());
    content.records[0].values[0] = "changed";
    WriteResult again = WriteDatabase(fx.Folder(), content);
    EXPECT_FALSE(again.Ok());
    EXPECT_NE(again.error.find("ya existe"), std::string::npos) << again.error;
    EXPECT_EQ(test::ReadBytes(fx.ValuePath()), before);

    test::DatabaseFixture other;
    content.fields.push_back({"A", 0, 1, ""});
    for (auto& record : content.records) record.values.emplace_back();
    EXPECT_FALSE(WriteDatabase(other.Folder(), content).Ok());
    EXPECT_FALSE(std::filesystem::exists(other.ValuePath()));
    EXPECT_FALSE(std::filesystem::exists(other.DefinitionPath()));
}

}  // namespace
}  // namespace velmar
