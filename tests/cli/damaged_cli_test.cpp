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
    EXPECT_EQ(search.out, "2\n");
    EXPECT_EQ(RunVelmarDb("search --count " + folder + " A " + QuoteArgument("<>") + " y").out, "999999999999999\n");
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

TEST(VelmarDbOnDamagedFolders, APathThatIsAFileIsRefusedByEveryCommandAndStaysAsItIs) {
    test::TempFolder temp;
    const std::filesystem::path file = temp.Path() / "Clientes";
    test::WriteBytes(file.string(), {'n', 'o'});
    const std::string folder = QuoteArgument(file.string());

    auto check = RunVelmarDb("check " + folder);
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "NoDefinitionFile\n");
    for (const std::string command : {"count ", "fields ", "value ", "search ", "export-csv ", "show "}) {
        const std::string rest = command == "value "    ? " A 1"
                                 : command == "search " ? " A = y"
                                 : command == "show "   ? " 1"
                                                        : "";
        auto run = RunVelmarDb(command + folder + rest);
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_NE(run.err.find("Clientes.z04"), std::string::npos) << command << run.err;
    }
    EXPECT_EQ(test::ReadBytes(file.string()), (std::vector<unsigned char>{'n', 'o'}));
}

// A definition file of a bad length (here a folder in its place) is read as
// the program reads it, after one warning.
TEST(VelmarDbOnDamagedFolders, FoldersInPlaceOfTheFilesReadAsEmptyAfterAWarning) {
    DatabaseFixture fx;
    std::filesystem::create_directory(fx.ValuePath());
    std::filesystem::create_directory(fx.DefinitionPath());
    const std::string folder = QuoteArgument(fx.Folder());
    EXPECT_EQ(RunVelmarDb("check " + folder).out, "BadFormat\n");
    auto count = RunVelmarDb("count " + folder);
    EXPECT_EQ(count.out, "0\n");
    EXPECT_EQ(count.status, 0);
    EXPECT_NE(count.err.find("BadFormat"), std::string::npos) << count.err;
    EXPECT_EQ(count.err.find("BadFormat"), count.err.rfind("BadFormat")) << count.err;
    EXPECT_EQ(RunVelmarDb("fields " + folder).out, "");
    auto search = RunVelmarDb("search " + folder + " A " + QuoteArgument("<>") + " y");
    EXPECT_EQ(search.status, 1) << "no field is called A";
    EXPECT_NE(search.err.find("no tiene campos"), std::string::npos) << search.err;
    EXPECT_TRUE(std::filesystem::is_directory(fx.ValuePath()));
}

}  // namespace
}  // namespace velmar
