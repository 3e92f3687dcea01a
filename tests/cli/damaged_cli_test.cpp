// velmar-db on folders that are damaged or no database at all: every command
// ends at once with the core's answer or a clear message, and touches nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/cli/run_velmar_db.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

using test::DatabaseFixture;
using test::QuoteArgument;
using test::RunVelmarDb;

TEST(VelmarDbOnDamagedFolders, AHugeRecordCountIsCountedSearchedAndRefusedForExport) {
    DatabaseFixture fx("Huge");
    fx.Field("A").Field("B");
    fx.Value("A", 1, "x").Value("A", 2, "y").RawCell({"B", 2, 'n', 0}).Value("A", 1000000000000000, "z").Write();
    const std::string folder = QuoteArgument(fx.Folder());

    EXPECT_EQ(RunVelmarDb("count " + folder).out, "1000000000000000\n");
    auto search = RunVelmarDb("search " + folder + " A = y");
    EXPECT_EQ(search.status, 0);
    EXPECT_EQ(search.out, "2\n1 Resultados ...\n");
    EXPECT_EQ(RunVelmarDb("search --count " + folder + " A " + QuoteArgument("<>") + " y").out,
              "999999999999999 Resultados ...\n");
    auto exportedSearch = RunVelmarDb("export-csv " + folder + " --search A " + QuoteArgument("<>") + " y");
    EXPECT_EQ(exportedSearch.status, 1);
    EXPECT_TRUE(exportedSearch.out.empty());

    test::TempFolder temp;
    const std::string templatePath = (temp.Path() / "carta.rtf").string();
    test::WriteBytes(templatePath, {'#', 'A', ' ', '#', 'B'});
    auto merged = RunVelmarDb("merge " + folder + " " + QuoteArgument(templatePath) + " 2");
    EXPECT_EQ(merged.status, 0);
    EXPECT_EQ(merged.out, "y No datos") << "a value without its last cell has no value";

    auto exported = RunVelmarDb("export-csv " + folder);
    EXPECT_NE(exported.status, 0);
    EXPECT_TRUE(exported.out.empty());
    EXPECT_NE(exported.err.find("1000000000000000"), std::string::npos) << exported.err;
}

TEST(VelmarDbOnDamagedFolders, APathThatIsAFileIsNoDatabaseAndStaysAsItIs) {
    test::TempFolder temp;
    const std::filesystem::path file = temp.Path() / "Clientes";
    test::WriteBytes(file.string(), {'n', 'o'});
    const std::string folder = QuoteArgument(file.string());

    auto check = RunVelmarDb("check " + folder);
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "NoDefinitionFile\n");
    EXPECT_EQ(RunVelmarDb("count " + folder).out, "0\n");
    EXPECT_EQ(RunVelmarDb("value " + folder + " A 1").out, "No datos\n");
    auto search = RunVelmarDb("search " + folder + " A = y");
    EXPECT_EQ(search.status, 0);
    EXPECT_EQ(search.out, "No hay Resultados ...\n");
    auto exported = RunVelmarDb("export-csv " + folder);
    EXPECT_NE(exported.status, 0);
    EXPECT_FALSE(exported.err.empty());
    EXPECT_EQ(test::ReadBytes(file.string()), (std::vector<unsigned char>{'n', 'o'}));
}

TEST(VelmarDbOnDamagedFolders, FoldersInPlaceOfTheFilesReadAsEmpty) {
    DatabaseFixture fx;
    std::filesystem::create_directory(fx.ValuePath());
    std::filesystem::create_directory(fx.DefinitionPath());
    const std::string folder = QuoteArgument(fx.Folder());
    EXPECT_EQ(RunVelmarDb("check " + folder).out, "BadFormat\n");
    EXPECT_EQ(RunVelmarDb("count " + folder).out, "0\n");
    EXPECT_EQ(RunVelmarDb("fields " + folder).out, "");
    EXPECT_EQ(RunVelmarDb("search " + folder + " A " + QuoteArgument("<>") + " y").out, "No hay Resultados ...\n");
    EXPECT_TRUE(std::filesystem::is_directory(fx.ValuePath()));
}

}  // namespace
}  // namespace velmar
