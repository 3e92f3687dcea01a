// velmar-db run as a user runs it: a separate process, its output and status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/cli/run_velmar_db.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

using test::DatabaseFixture;

using Outcome = test::VelmarDbOutcome;
std::string Quote(const std::string& s) {
    return test::QuoteArgument(s);
}
Outcome VelmarDb(const std::string& arguments) {
    return test::RunVelmarDb(arguments);
}

class VelmarDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fx.Field("Nombre", 1).Field("Edad", 2, 0).Field("Ciudad", 1, 1, "A|B");
        fx.Value("Nombre", 1, "Ana").Value("Edad", 1, "30").Value("Ciudad", 1, "Lugo");
        fx.Value("Nombre", 2, "Se\xF1or -1").Value("Edad", 2, "7").Value("Ciudad", 2, "Vigo");
        fx.Value("Nombre", 3, "Eva").Value("Edad", 3, "55").Value("Ciudad", 3, "Lugo");
        fx.Write();
        folder = Quote(fx.Folder());
    }
    DatabaseFixture fx;
    std::string folder;
};

TEST_F(VelmarDbTest, CheckCountValueAndFields) {
    Outcome check = VelmarDb("check " + folder);
    EXPECT_EQ(check.out, "FolderValid\n");
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(VelmarDb("count " + folder).out, "3\n");
    EXPECT_EQ(VelmarDb("value " + folder + " Nombre 2").out, "Se\xC3\xB1or -1\n");
    EXPECT_EQ(VelmarDb("value " + folder + " Nombre 9").out, "No datos\n");
    EXPECT_EQ(VelmarDb("fields " + folder).out, "1\tNombre\t1\t1\t\n2\tEdad\t2\t0\t\n3\tCiudad\t1\t1\tA|B\n");
}

TEST_F(VelmarDbTest, CheckReportsAFolderThatIsNoDatabase) {
    std::string folderWithoutSeparator = fx.Folder().substr(0, fx.Folder().size() - 1);
    EXPECT_EQ(VelmarDb("check " + Quote(folderWithoutSeparator)).out, "FolderValid\n")
        << "a missing trailing separator is appended";
    fx.WriteDefinitionBytes(std::vector<unsigned char>(12043, 0));
    Outcome bad = VelmarDb("check " + folder);
    EXPECT_EQ(bad.out, "BadFormat\n");
    EXPECT_EQ(bad.status, 1);
}

TEST_F(VelmarDbTest, SearchPrintsTheRecordsFoundAndTheirCount) {
    Outcome lugo = VelmarDb("search " + folder + " Ciudad = Lugo");
    EXPECT_EQ(lugo.out, "1\n3\n");
    EXPECT_EQ(lugo.err, "2 Resultados ...\n");
    EXPECT_EQ(VelmarDb("search " + folder + " Edad 02 10 Ciudad 01 Lugo").out, "1\n3\n");
    EXPECT_EQ(VelmarDb("search " + folder + " Nombre -* \"r -1\"").out, "2\n");
    Outcome none = VelmarDb("search " + folder + " Nombre = Zoe");
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "No hay Resultados ...\n");
    EXPECT_EQ(VelmarDb("search " + folder + " Nombre $ \xC3\xB1").out, "2\n");

    EXPECT_EQ(VelmarDb("search --count " + folder + " Ciudad = Lugo").out, "2\n");
    EXPECT_EQ(VelmarDb("search " + folder + " Ciudad = Lugo --count").out, "2\n");
    EXPECT_EQ(VelmarDb("search " + folder + " Ciudad = --count").out, "") << "a value, not the option";
    EXPECT_EQ(VelmarDb("search --count " + folder + " Ciudad =").status, 2);
}

TEST_F(VelmarDbTest, RefusesBadArguments) {
    Outcome badOp = VelmarDb("search " + folder + " Nombre 10 x");
    EXPECT_EQ(badOp.status, 2);
    EXPECT_NE(badOp.err.find("Uso:"), std::string::npos);
    Outcome empty = VelmarDb("search " + folder + " Nombre = \"\"");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("No ha escrito valores a buscar ..."), std::string::npos);
    Outcome noCodePage = VelmarDb("search " + folder + " Nombre = \xE2\x82\xAC\xE2\x98\x83");
    EXPECT_EQ(noCodePage.status, 1);
    EXPECT_NE(noCodePage.err.find("Windows-1252"), std::string::npos);
    EXPECT_EQ(VelmarDb("value " + folder + " Nombre uno").status, 2);
    EXPECT_EQ(VelmarDb("nada").status, 2);
    EXPECT_EQ(VelmarDb("value " + folder + " Nombre -1").out, "No datos\n") << "-1 is a record, not an option";
}

TEST(VelmarDbHelp, ListsTheCommands) {
    Outcome help = VelmarDb("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* name : {"check", "fields", "count", "value", "search"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    EXPECT_EQ(VelmarDb("search --help").status, 0);
}

}  // namespace
}  // namespace velmar
