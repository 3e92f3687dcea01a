// Damaged and hostile database folders, built by the tests themselves: cut
// files, lost flags, records out of order, absurd record numbers, names that
// fill their slots, files that cannot be opened, and folders that are not
// databases at all. Every case must end normally, quickly and in bounded
// memory, with the result the readers define for it (a file that cannot be
// read reads as a file without records; nothing is reported).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "database/file_layout.h"
#include "database/linked_database.h"
#include "search/read_search_value.h"
#include "search/searches.h"
#include "tests/support/fixture.h"
#include "tests/support/literal_model.h"
#include "tests/support/memory.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmar {
namespace {

using test::DatabaseFixture;
using test::Found;
namespace fs = std::filesystem;

constexpr int64_t kMaxRecord = std::numeric_limits<int64_t>::max();
constexpr int64_t kMinRecord = std::numeric_limits<int64_t>::min();
constexpr int64_t kMiB = 1 << 20;

SearchCriteria One(const std::string& field, const std::string& code, const std::string& value) {
    SearchCriteria c;
    c.names[0] = field;
    c.codes[0] = code;
    c.values[0] = value;
    return c;
}

// What every operation gives on a folder whose files read as empty.
void ExpectReadsAsEmpty(LinkedDatabase db, const std::string& label) {
    SCOPED_TRACE(label);
    EXPECT_EQ(LastRecordNumber(db), 0);
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 1), "No datos");
    EXPECT_EQ(FieldTypeOf(db, "Nombre"), 0);
    EXPECT_EQ(LoadFieldList(db), 0);
    SearchCriteria c{{"Nombre", "Edad", ""}, {"Ana", "3", ""}, {"=", ">", ""}};
    EXPECT_EQ(OrderCriteriaByFields(db, c, 2), 0);
    EXPECT_EQ(c.names[0] + c.names[1] + c.codes[0] + c.codes[1], "");
    SearchState st;
    bool told = false;
    SearchOneField(db, st, One("Nombre", "<>", "Ana"), [&](int64_t, int64_t) { told = true; });
    EXPECT_EQ(st.results.count, 0);
    EXPECT_EQ(st.results.flag, 0);
    EXPECT_EQ(ClosingMessage(st.results), "No hay Resultados ...");
    EXPECT_FALSE(told) << "no record, no progress";
}

// The fast searches and lookups against the literal model on one folder.
void ExpectAgreesWithModel(const LinkedDatabase& db, const std::vector<std::string>& fields, const std::string& label) {
    SCOPED_TRACE(label);
    const char* codes[] = {"=", ">", "<>", "*-"};
    const char* values[] = {"Ana", "5", "A"};
    for (const std::string& field : fields)
        for (const char* code : codes)
            for (const char* value : values) {
                SearchState fast;
                model::State literal;
                SearchOneField(db, fast, One(field, code, value));
                auto expected = model::Search(db, literal, One(field, code, value), 1);
                ASSERT_TRUE(expected);
                ASSERT_EQ(Found(fast), expected->found) << field << " " << code << " " << value;
                ASSERT_EQ(fast.scanPosition, literal.scanPosition) << field << " " << code << " " << value;
            }
    for (const std::string& field : fields)
        for (int64_t r = -1; r <= 6; ++r) ASSERT_EQ(ReadFieldValue(db, field, r), model::ReadFieldValue(db, field, r));
}

// --- Cut files -------------------------------------------------------------

TEST(TruncatedValueFile, EveryCutReadsTheWholeCellsBeforeIt) {
    DatabaseFixture fx;
    fx.Field("Nombre").Field("Edad");
    fx.Value("Nombre", 1, "Ana").Value("Edad", 1, "31").Value("Nombre", 2, "Luis").Value("Edad", 3, "5").Write();
    const std::vector<unsigned char> whole = test::ReadBytes(fx.ValuePath());
    const LinkedDatabase db = fx.Database();
    std::vector<std::size_t> lengths;
    // Each whole number of cells, and cuts inside the name, the record number and the flag.
    for (std::size_t k = 0; k * layout::kCellSize < whole.size(); ++k)
        for (std::size_t inside : {std::size_t{0}, std::size_t{1}, std::size_t{20}, std::size_t{45}, std::size_t{53}})
            lengths.push_back(k * layout::kCellSize + inside);
    lengths.push_back(whole.size());
    for (std::size_t length : lengths) {
        fx.WriteValueBytes({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)});
        const std::size_t cells = length / layout::kCellSize;
        const int64_t last = cells == 0 ? 0 : fx.cells[cells - 1].record;
        ASSERT_EQ(LastRecordNumber(db), last) << "length " << length;
        // A value whose last cell was cut off has no value.
        const bool anaWhole = cells >= 3;
        ASSERT_EQ(ReadFieldValue(db, "Nombre", 1), anaWhole ? "Ana" : "No datos") << "length " << length;
        ASSERT_NO_FATAL_FAILURE(ExpectAgreesWithModel(db, {"Nombre", "Edad"}, "length " + std::to_string(length)));
    }
}

TEST(TruncatedDefinitionFile, ThePartialDefinitionIsNeverRead) {
    DatabaseFixture fx;
    fx.Field("Nombre", 1).Field("Edad", 8).Field("Sexo", 9, 1, "Hombre|Mujer").Write();
    const std::vector<unsigned char> whole = test::ReadBytes(fx.DefinitionPath());
    LinkedDatabase db = fx.Database();
    // Cut inside the third definition's search flag, name, type and options, and one byte short.
    const std::size_t third = 2 * layout::kDefinitionSize;
    for (std::size_t cut : {third + 2, third + layout::kDefNameOffset + 2, third + layout::kDefTypeOffset + 1,
                            third + layout::kDefOptionsOffset + 5, whole.size() - 1}) {
        SCOPED_TRACE("length " + std::to_string(cut));
        fx.WriteDefinitionBytes({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)});
        EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::BadFormat);
        ASSERT_EQ(LoadFieldList(db), 2);
        EXPECT_EQ(db.fields.Name(2), "Edad");
        EXPECT_EQ(FieldTypeOf(db, "Sexo"), 0);
        EXPECT_EQ(FieldTypeOf(db, "Edad"), 8);
        SearchCriteria c{{"Sexo", "Nombre", ""}, {"1", "Ana", ""}, {"=", "=", ""}};
        EXPECT_EQ(OrderCriteriaByFields(db, c, 2), 1);
        EXPECT_EQ(c.names[0], "Nombre");
        EXPECT_EQ(c.codes[1], "") << "the criterion on the cut field is dropped";
    }
}

TEST(DefinitionFileLength, AnyLengthThatIsNotWholeDefinitionsIsBadFormatAndReadsItsWholeOnes) {
    DatabaseFixture fx;
    fx.Field("A", 3).Field("B", 9).Write();
    const std::vector<unsigned char> whole = test::ReadBytes(fx.DefinitionPath());
    LinkedDatabase db = fx.Database();
    for (std::size_t extra : {std::size_t{1}, std::size_t{54}, layout::kDefinitionSize - 1}) {
        std::vector<unsigned char> bytes = whole;
        bytes.resize(whole.size() + extra, 'B');  // a third, partial definition named "BBB..."
        fx.WriteDefinitionBytes(bytes);
        SCOPED_TRACE("extra " + std::to_string(extra));
        EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::BadFormat);
        EXPECT_EQ(LoadFieldList(db), 2);
        EXPECT_EQ(FieldTypeOf(db, "B"), 9);
        EXPECT_EQ(FieldTypeOf(db, std::string(31, 'B')), 0);
    }
}

// --- Flags, order and record numbers -----------------------------------------

TEST(MissingLastCellFlags, AValueWithoutItsFlagHasNoValueAndTheSearchGoesOn) {
    DatabaseFixture fx;
    fx.Field("Nombre");
    // Only exactly 1 marks a last cell: 257, 2^24, -1 and 0 do not.
    fx.RawCell({"Nombre", 1, 'A', 0}).RawCell({"Nombre", 1, 'n', 257}).RawCell({"Nombre", 1, 'a', 0x01000000});
    fx.RawCell({"Nombre", 2, 'E', -1}).RawCell({"Nombre", 2, 'v', 0});
    fx.Value("Nombre", 3, "Ana").Write();
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 1), "No datos");
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 2), "No datos");
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 3), "Ana");

    SearchState st;
    SearchOneField(db, st, One("Nombre", "<>", "Ana"));
    EXPECT_EQ(Found(st), (std::vector<int64_t>{1, 2})) << "records without a whole value test as empty";
    SearchOneField(db, st, One("Nombre", "*-", "A"));
    EXPECT_EQ(Found(st), (std::vector<int64_t>{3}));
    ExpectAgreesWithModel(db, {"Nombre"}, "missing flags");
}

TEST(UnorderedRecords, LookupsFollowTheForwardScanAndFieldValuesAreStillFound) {
    DatabaseFixture fx;
    fx.Field("Nombre").Field("Edad");
    fx.Value("Nombre", 3, "Ana").Value("Edad", 1, "7").Value("Nombre", 1, "Eva").Value("Edad", 2, "9");
    fx.Value("Nombre", 2, "Luis").Write();
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(LastRecordNumber(db), 2) << "the record count is the last cell's, not the highest";
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 3), "Ana");
    EXPECT_EQ(ReadFieldValue(db, "Nombre", 1), "Eva");

    // The scan stops at the first cell of a later record: record 1's name lies behind record 3's.
    SearchState st;
    SearchOneField(db, st, One("Nombre", "=", "Eva"));
    EXPECT_EQ(st.results.count, 0);
    ExpectAgreesWithModel(db, {"Nombre", "Edad"}, "unordered");
}

TEST(RecordNumbers, ANegativeOrZeroLastRecordRunsNoSearch) {
    for (int64_t last : {int64_t{0}, int64_t{-1}, int64_t{-1000000000000000}, kMinRecord}) {
        DatabaseFixture fx;
        fx.Value("A", 1, "x").Value("A", 2, "y").Value("A", last, "z").Write();
        LinkedDatabase db = fx.Database();
        SCOPED_TRACE(std::to_string(last));
        EXPECT_EQ(LastRecordNumber(db), last);
        EXPECT_EQ(ReadFieldValue(db, "A", last), "z");
        EXPECT_EQ(ReadFieldValue(db, "A", 2), "y");
        SearchState st;
        bool told = false;
        SearchOneField(db, st, One("A", "<>", "q"), [&](int64_t, int64_t) { told = true; });
        EXPECT_EQ(ClosingMessage(st.results), "No hay Resultados ...");
        EXPECT_FALSE(told);
    }
}

TEST(RecordNumbers, HugeRecordCountsSearchInBoundedTimeAndMemory) {
    for (int64_t last : {int64_t{1000000000000000}, kMaxRecord - 1, kMaxRecord}) {
        SCOPED_TRACE(std::to_string(last));
        DatabaseFixture fx;
        fx.Field("A").Field("B");
        fx.Value("A", 1, "x").Value("B", 1, "1").Value("A", 2, "y").Value("A", last, "z").Write();
        LinkedDatabase db = fx.Database();
        test::MemoryGrowth memory(1);
        db.yield = [&] { memory.Sample(); };
        SearchState st;
        int64_t calls = 0, lastTold = 0;
        std::string lastText;
        auto progress = [&](int64_t r, int64_t n) {
            ++calls;
            lastTold = r;
            lastText = ProgressText(r, n);
            memory.Sample();
        };

        // Every record but 2 differs from "y": all but one of `last` records are found.
        SearchOneField(db, st, One("A", "<>", "y"), progress);
        EXPECT_EQ(st.results.count, last - 1);
        EXPECT_EQ(st.results.list.At(1), 1);
        EXPECT_EQ(st.results.list.At(2), 3);
        EXPECT_EQ(st.results.list.At(last - 1), last);
        EXPECT_EQ(ClosingMessage(st.results), std::to_string(last - 1) + " Resultados ...");
        EXPECT_EQ(lastTold, last);
        EXPECT_EQ(lastText, "100 %");
        EXPECT_LT(calls, 500);

        // Two criteria: records without cells fail the first ("=" against the empty text).
        SearchCriteria two{{"A", "B", ""}, {"x", "1", ""}, {"=", "=", ""}};
        SearchTwoFields(db, st, two, progress);
        EXPECT_EQ(Found(st), (std::vector<int64_t>{1}));

        // Three criteria of which the third holds on empty values: runs again.
        SearchCriteria three{{"A", "B", "C"}, {"q", "0", "x"}, {"<>", "<=", "<>"}};
        SearchThreeFields(db, st, three, progress);
        EXPECT_EQ(st.results.count, last - 1) << "all but record 1, whose B is 1";
        EXPECT_EQ(st.results.list.At(1), 2);
        if (memory.Measurable()) {
            EXPECT_GT(memory.Samples(), 0);
            EXPECT_LT(memory.PeakGrowth(), 16 * kMiB);
        }
    }
}

TEST(RecordNumbers, ValuesAreReadForAnyRecordNumber) {
    DatabaseFixture fx;
    for (int64_t r : {kMinRecord, int64_t{-5}, int64_t{0}, int64_t{7}, kMaxRecord}) fx.Value("A", r, std::to_string(r));
    fx.Write();
    for (int64_t r : {kMinRecord, int64_t{-5}, int64_t{0}, int64_t{7}, kMaxRecord})
        EXPECT_EQ(ReadFieldValue(fx.Database(), "A", r), std::to_string(r));
    EXPECT_EQ(LastRecordNumber(fx.Database()), kMaxRecord);
}

// --- Names ------------------------------------------------------------------

TEST(FullSlots, NamesAndOptionsWithoutTheirNulEndAtTheSlot) {
    const std::string cellName(layout::kCellNameSlot, 'N');
    const std::string fieldName(layout::kDefNameSlot, 'F');
    const std::string options(layout::kDefOptionsSlot, 'o');
    DatabaseFixture fx;
    fx.Field(fieldName, 9, 1, options + "beyond").Field(cellName, 2);
    fx.Value(cellName, 1, "v").Value(fieldName, 1, "2").Value(cellName, 2, "w").Write();
    LinkedDatabase db = fx.Database();
    ASSERT_EQ(LoadFieldList(db), 2);
    EXPECT_EQ(db.fields.Name(1), fieldName);
    EXPECT_EQ(db.fields.Type(1), 9) << "the type after a full name slot is its own";
    EXPECT_EQ(db.fields.Options(1), options);
    EXPECT_EQ(db.fields.Name(2), cellName.substr(0, layout::kDefNameSlot));
    EXPECT_EQ(FieldTypeOf(db, fieldName), 9);
    EXPECT_EQ(FieldTypeOf(db, fieldName + "F"), 0);

    EXPECT_EQ(ReadFieldValue(db, cellName, 1), "v");
    EXPECT_EQ(ReadFieldValue(db, fieldName, 1), "2");
    EXPECT_EQ(ReadFieldValue(db, cellName + "N", 1), "No datos");
    EXPECT_EQ(ReadFieldValue(db, cellName.substr(1), 1), "No datos");
    SearchState st;
    SearchOneField(db, st, One(cellName, "$", "w"));
    EXPECT_EQ(Found(st), (std::vector<int64_t>{2}));
}

TEST(FieldNames, ANameHoldingANulMatchesNoSlot) {
    // Found by fuzzing: a name asked for with a NUL inside matched a slot whose
    // text ends at that NUL. A slot's text never holds a NUL, so no name with one matches.
    DatabaseFixture fx;
    fx.Field("A", 8).Value("A", 1, "x").Write();
    LinkedDatabase db = fx.Database();
    const std::string withNul("A\0", 2);
    EXPECT_EQ(ReadFieldValue(db, withNul, 1), "No datos");
    EXPECT_EQ(FieldTypeOf(db, withNul), 0);
    SearchCriteria c{{withNul, "A", ""}, {"x", "x", ""}, {"=", "=", ""}};
    EXPECT_EQ(OrderCriteriaByFields(db, c, 2), 1);
    EXPECT_EQ(c.names[0], "A");
    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, withNul, 1, "x", "$"), "");
    EXPECT_EQ(ReadSearchValue(db, st, "A", 1, "x", "$"), "x");
}

// --- Files that cannot be read, folders that are not databases ---------------

TEST(UnreadableFiles, AFolderInPlaceOfEachFileReadsAsEmptyAndStays) {
    DatabaseFixture fx;
    fs::create_directory(fx.ValuePath());
    fs::create_directory(fx.DefinitionPath());
    EXPECT_EQ(CheckDatabaseFolder(fx.Database()), FolderCheck::BadFormat);
    ExpectReadsAsEmpty(fx.Database(), "folders in place of both files");
    EXPECT_TRUE(fs::is_directory(fx.ValuePath()));
    EXPECT_TRUE(fs::is_directory(fx.DefinitionPath()));
}

#if !defined(_WIN32)
// Root reads whatever the permissions say, so as root the reads run in a
// child process that has given up root for the unprivileged user nobody.
TEST(UnreadableFiles, FilesWithoutReadPermissionReadAsEmptyAndKeepTheirBytes) {
    DatabaseFixture fx;
    fx.Field("Nombre").Value("Nombre", 1, "Ana").Write();
    const std::vector<unsigned char> values = test::ReadBytes(fx.ValuePath());
    const std::vector<unsigned char> definitions = test::ReadBytes(fx.DefinitionPath());
    ASSERT_EQ(chmod(fx.ValuePath().c_str(), 0), 0);
    ASSERT_EQ(chmod(fx.DefinitionPath().c_str(), 0), 0);
    auto readUnprivileged = [&] {
        const uid_t nobody = 65534;
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) {
            std::fprintf(stderr, "could not give up root\n");
            std::_Exit(2);
        }
        EXPECT_EQ(CheckDatabaseFolder(fx.Database()), FolderCheck::BadFormat) << "it exists but reads as 0 bytes";
        ExpectReadsAsEmpty(fx.Database(), "no read permission");
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    };
    EXPECT_EXIT(readUnprivileged(), ::testing::ExitedWithCode(0), "");
    ASSERT_EQ(chmod(fx.ValuePath().c_str(), 0600), 0);
    ASSERT_EQ(chmod(fx.DefinitionPath().c_str(), 0600), 0);
    EXPECT_EQ(test::ReadBytes(fx.ValuePath()), values);
    EXPECT_EQ(test::ReadBytes(fx.DefinitionPath()), definitions);
}
#else
// Owner of a file opened without sharing, as another program holding it would.
class ExclusiveOpen {
public:
    explicit ExclusiveOpen(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ExclusiveOpen() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ExclusiveOpen(const ExclusiveOpen&) = delete;
    ExclusiveOpen& operator=(const ExclusiveOpen&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

TEST(UnreadableFiles, FilesLockedByAnotherProgramReadAsEmptyAndKeepTheirBytes) {
    DatabaseFixture fx;
    fx.Field("Nombre").Value("Nombre", 1, "Ana").Write();
    const std::vector<unsigned char> values = test::ReadBytes(fx.ValuePath());
    {
        ExclusiveOpen valueLock(fx.ValuePath());
        ExclusiveOpen definitionLock(fx.DefinitionPath());
        ASSERT_TRUE(valueLock.Held() && definitionLock.Held());
        ExpectReadsAsEmpty(fx.Database(), "locked files");
    }
    EXPECT_EQ(test::ReadBytes(fx.ValuePath()), values);
    EXPECT_EQ(ReadFieldValue(fx.Database(), "Nombre", 1), "Ana") << "readable again once released";
}
#endif

TEST(NotADatabase, AFolderWithoutFilesHasNoDefinitionFileAndReadsAsEmpty) {
    DatabaseFixture fx;
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::NoDefinitionFile);
    ExpectReadsAsEmpty(db, "empty folder");
    // Reading opened (and so created) both files empty; the folder is still no database.
    EXPECT_EQ(fs::file_size(fx.ValuePath()), 0u);
    EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::BadFormat);
}

TEST(NotADatabase, APathThatIsAFileReadsAsEmptyAndTheFileIsUntouched) {
    test::TempFolder temp;
    const fs::path file = temp.Path() / "Clientes";
    const std::vector<unsigned char> bytes = test::EncodeCells({{"Nombre", 1, 'A', 1}});
    test::WriteBytes(file.string(), bytes);
    LinkedDatabase db;
    db.folder = file.string() + kPathSeparator;
    EXPECT_EQ(CheckDatabaseFolder(db), FolderCheck::NoDefinitionFile);
    ExpectReadsAsEmpty(db, "a file named as the folder");
    EXPECT_EQ(test::ReadBytes(file.string()), bytes);
    EXPECT_TRUE(fs::is_regular_file(file));
}

}  // namespace
}  // namespace velmar
