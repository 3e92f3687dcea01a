#include <gtest/gtest.h>

#include "database/file_layout.h"
#include "database/linked_database.h"
#include "search/criteria.h"
#include "database/record_file.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

using test::DatabaseFixture;

TEST(DatabaseNameOf, TakesTheLastComponentAndDropsTheLastCharacter) {
    const std::string s(1, kPathSeparator);
    EXPECT_EQ(DatabaseNameOf("C:" + s + "Datos" + s + "Clientes" + s), "Clientes");
    EXPECT_EQ(DatabaseNameOf("C:" + s), "C:");
    EXPECT_EQ(DatabaseNameOf("C:" + s + "Datos" + s + "Clientes"), "Datos" + s + "Cliente");
    EXPECT_EQ(DatabaseNameOf(""), "");
    EXPECT_EQ(DatabaseNameOf(s), "");
    EXPECT_EQ(DatabaseNameOf("abc"), "ab");
}

TEST(LinkedDatabase, FilesAreNamedAfterTheFolder) {
    const std::string s(1, kPathSeparator);
    LinkedDatabase db;
    db.folder = "C:" + s + "Datos" + s + "Clientes" + s;
    EXPECT_EQ(db.ValueFilePath(), db.folder + "Clientes.zbd");
    EXPECT_EQ(db.DefinitionFilePath(), db.folder + "Clientes.z04");
}

TEST(CheckDatabaseFolder, JudgesTheDefinitionFileLength) {
    DatabaseFixture fx;
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::NoDefinitionFile);
    EXPECT_EQ(KindOfPath(fx.DefinitionPath()), PathKind::Missing) << "the check must not create the file";

    const std::pair<std::size_t, FolderCheck> cases[] = {
        {0, FolderCheck::BadFormat},
        {12043, FolderCheck::BadFormat},
        {12041, FolderCheck::BadFormat},
        {12042, FolderCheck::FolderValid},
        {36126, FolderCheck::FolderValid},
        {36127, FolderCheck::BadFormat},
    };
    for (const auto& [length, expected] : cases) {
        fx.WriteDefinitionBytes(std::vector<unsigned char>(length, 0));
        EXPECT_EQ(CheckDatabaseFolder(db), expected) << "length " << length;
    }
}

TEST(CheckDatabaseFolder, AFolderInPlaceOfTheDefinitionFileIsBadFormat) {
    DatabaseFixture fx;
    std::filesystem::create_directory(fx.DefinitionPath());
    EXPECT_EQ(CheckDatabaseFolder(fx.Database()), FolderCheck::BadFormat);
}

TEST(ReadFieldValue, CollectsTheCellsOfOneValue) {
    DatabaseFixture fx;
    fx.RawCell({"Nombre", 1, 'A', 0}).RawCell({"Nombre", 1, 'B', 1}).Write();
    EXPECT_EQ(ReadFieldValue(fx.Database(), "Nombre", 1), "AB");
    EXPECT_EQ(ReadFieldValue(fx.Database(), "nombre", 1), "No datos");
    EXPECT_EQ(ReadFieldValue(fx.Database(), "Nombre", 2), "No datos");
}

TEST(ReadFieldValue, ACellOfAnotherRecordKeepsTheTextAndAnotherFieldEmptiesIt) {
    DatabaseFixture sameField;
    sameField.RawCell({"Nombre", 1, 'A', 0}).RawCell({"Nombre", 2, 'X', 1}).RawCell({"Nombre", 1, 'B', 1}).Write();
    EXPECT_EQ(ReadFieldValue(sameField.Database(), "Nombre", 1), "AB");

    DatabaseFixture otherField;
    otherField.RawCell({"Nombre", 1, 'A', 0}).RawCell({"Edad", 1, '3', 1}).RawCell({"Nombre", 1, 'B', 1}).Write();
    EXPECT_EQ(ReadFieldValue(otherField.Database(), "Nombre", 1), "B");
}

TEST(ReadFieldValue, AValueWithoutItsLastCellFlagIsNoData) {
    DatabaseFixture fx;
    fx.RawCell({"Nombre", 1, 'A', 0}).RawCell({"Nombre", 1, 'B', 2}).Write();
    EXPECT_EQ(ReadFieldValue(fx.Database(), "Nombre", 1), "No datos");
}

TEST(ReadFieldValue, NamesFillingTheWholeSlotCompareOverTheSlot) {
    const std::string full(35, 'N');
    DatabaseFixture fx;
    fx.Value(full, 1, "v").Write();
    EXPECT_EQ(ReadFieldValue(fx.Database(), full, 1), "v");
    EXPECT_EQ(ReadFieldValue(fx.Database(), full + "X", 1), "No datos");
    EXPECT_EQ(ReadFieldValue(fx.Database(), full.substr(1), 1), "No datos");
}

TEST(ValueFile, ATrailingPartialCellIsNeverRead) {
    DatabaseFixture fx;
    fx.Value("Nombre", 1, "Ana").Value("Nombre", 7, "Luis").Write();
    std::vector<unsigned char> bytes = test::EncodeCells(fx.cells);
    // A cell of record 99 cut 10 bytes short: 550 bytes hold 10 whole cells.
    std::vector<unsigned char> extra = test::EncodeCells({{"Nombre", 99, 'Z', 1}});
    ASSERT_EQ(bytes.size() + extra.size() - 10, 7 * 54 + 44);
    bytes.insert(bytes.end(), extra.begin(), extra.end() - 10);
    fx.WriteValueBytes(bytes);
    EXPECT_EQ(LastRecordNumber(fx.Database()), 7);
    RecordFile file(fx.ValuePath(), layout::kCellSize);
    EXPECT_EQ(file.Count(), 7);
}

TEST(ValueFile, MissingFilesAreCreatedEmptyAndReadAsNoRecords) {
    DatabaseFixture fx;
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(LastRecordNumber(db), 0);
    EXPECT_EQ(KindOfPath(fx.ValuePath()), PathKind::File);
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 1), "No datos");
    EXPECT_EQ(FieldTypeOf(db, "Nombre"), 0);
    EXPECT_EQ(LoadFieldList(db), 0);
    EXPECT_EQ(KindOfPath(fx.DefinitionPath()), PathKind::File);
}

TEST(ValueFile, AFolderThatDoesNotExistReadsAsEmptyWithoutCreatingIt) {
    LinkedDatabase db;
    db.folder = (std::filesystem::temp_directory_path() / "velmar-no-such-folder" / "Base").string() + kPathSeparator;
    EXPECT_EQ(LastRecordNumber(db), 0);
    EXPECT_EQ(ReadFieldValue(db, "x", 1), "No datos");
    EXPECT_EQ(KindOfPath(db.folder), PathKind::Missing);
}

TEST(LastRecordNumber, IsTheRecordOfTheLastCellWhateverItHolds) {
    DatabaseFixture fx;
    fx.Value("A", 5, "x").Value("A", 2, "y").Write();
    EXPECT_EQ(LastRecordNumber(fx.Database()), 2);
    fx.cells.clear();
    fx.Value("A", 1, "x").Value("A", -4, "y").Write();
    EXPECT_EQ(LastRecordNumber(fx.Database()), -4);
    fx.cells.clear();
    fx.Value("A", int64_t{1} << 50, "x").Write();
    EXPECT_EQ(LastRecordNumber(fx.Database()), int64_t{1} << 50);
}

TEST(FieldList, LoadsEveryDefinitionAndFieldTypeOfTakesTheLastMatch) {
    DatabaseFixture fx;
    fx.Field("Nombre", 1, 1).Field("Edad", 9, 0, "A|B|C").Field(std::string(31, 'L'), -3).Field("Edad", 8).Write();
    LinkedDatabase db = fx.Database();
    ASSERT_EQ(LoadFieldList(db), 4);
    EXPECT_EQ(db.fields.Name(1), "Nombre");
    EXPECT_EQ(db.fields.Options(2), "A|B|C");
    EXPECT_EQ(db.fields.Name(3), std::string(31, 'L'));
    EXPECT_EQ(db.fields.Type(3), -3);
    EXPECT_EQ(FieldTypeOf(db, "Edad"), 8);
    EXPECT_EQ(FieldTypeOf(db, "edad"), 0);
    EXPECT_EQ(FieldTypeOf(db, std::string(31, 'L')), -3);
}

TEST(FieldList, ADefinitionFileOfTheWrongLengthLoadsItsWholeDefinitions) {
    DatabaseFixture fx;
    fx.Field("A").Field("B").Write();
    std::vector<unsigned char> bytes = test::ReadBytes(fx.DefinitionPath());
    bytes.resize(bytes.size() - 1);
    fx.WriteDefinitionBytes(bytes);
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(LoadFieldList(db), 1);
    EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::BadFormat);
}

TEST(OrderCriteriaByFields, PutsCriteriaIntoDefinitionOrderAndDropsUnknownFields) {
    DatabaseFixture fx;
    fx.Field("A").Field("B").Field("C").Write();
    LinkedDatabase db = fx.Database();

    SearchCriteria two{{"C", "A", ""}, {"vc", "va", ""}, {"=", "$", ""}};
    EXPECT_EQ(OrderCriteriaByFields(db, two, 2), 2);
    EXPECT_EQ(two.names[0], "A");
    EXPECT_EQ(two.values[0], "va");
    EXPECT_EQ(two.codes[0], "$");
    EXPECT_EQ(two.names[1], "C");
    EXPECT_EQ(two.codes[1], "=");

    SearchCriteria dropped{{"Z", "B", "A"}, {"vz", "vb", "va"}, {">", "<", "<>"}};
    EXPECT_EQ(OrderCriteriaByFields(db, dropped, 3), 2);
    EXPECT_EQ(dropped.names[0], "A");
    EXPECT_EQ(dropped.names[1], "B");
    EXPECT_EQ(dropped.names[2], "");
    EXPECT_EQ(dropped.values[2], "");
    EXPECT_EQ(dropped.codes[2], "");
}

TEST(OrderCriteriaByFields, CriteriaOnOneFieldKeepTheirOrderAndAtMostCountAreTaken) {
    DatabaseFixture fx;
    fx.Field("A").Field("A").Field("B").Write();
    LinkedDatabase db = fx.Database();
    SearchCriteria c{{"B", "A", ""}, {"1", "2", ""}, {"=", ">", ""}};
    EXPECT_EQ(OrderCriteriaByFields(db, c, 2), 2);
    EXPECT_EQ(c.names[0], "A");
    EXPECT_EQ(c.names[1], "A") << "the duplicate definition takes the second slot";
    EXPECT_EQ(c.values[1], "2");
}

TEST(OrderCriteriaByFields, WithoutADefinitionFileEveryCriterionIsDropped) {
    DatabaseFixture fx;
    SearchCriteria c{{"B", "A", "C"}, {"1", "2", "3"}, {"=", ">", "$"}};
    EXPECT_EQ(OrderCriteriaByFields(fx.Database(), c, 3), 0);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(c.names[k] + c.values[k] + c.codes[k], "") << k;
}

TEST(Yield, IsCalledOncePerCellOrDefinitionRead) {
    DatabaseFixture fx;
    fx.Value("A", 1, "abc").Value("B", 1, "de").Field("A").Field("B").Write();
    LinkedDatabase db = fx.Database();
    int calls = 0;
    db.yield = [&] { ++calls; };
    ReadFieldValue(db, "B", 1);
    EXPECT_EQ(calls, 5);
    calls = 0;
    SearchCriteria c{{"B", "", ""}, {"x", "", ""}, {"=", "", ""}};
    OrderCriteriaByFields(db, c, 1);
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace velmar
