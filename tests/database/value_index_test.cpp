#include "database/value_index.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "database/database_writer.h"
#include "database/display_cache.h"
#include "database/file_layout.h"
#include "database/file_stamp.h"
#include "database/linked_database.h"
#include "tests/database/generated.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

std::string Shown(const RecordValues& values, const std::string& field) {
    const std::string* value = values.Find(field);
    return value ? *value : std::string(kNoData);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    ValueFileWriter writer(path);
    writer.Bytes(bytes);
    ASSERT_TRUE(writer.Close());
}

// Every (field, record) that the index answers must be what the full scan finds.
void ExpectIndexAgreesWithFullScan(const LinkedDatabase& db, const std::set<std::string>& names, int64_t lastRecord,
                                   const std::string& context) {
    std::optional<ValueIndex> index = ValueIndex::Build(db.ValueFilePath());
    ASSERT_TRUE(index.has_value()) << context;
    EXPECT_EQ(index->LastRecordNumber(), LastRecordNumber(db)) << context;
    ValueIndex::Reader reader(*index);
    for (int64_t record = -1; record <= lastRecord + 1; ++record) {
        RecordValues values = reader.ValuesOf(record);
        for (const std::string& name : names) {
            ASSERT_EQ(Shown(values, name), ReadFieldValue(db, name, record))
                << context << " field '" << name << "' record " << record;
        }
    }
}

TEST(ValueIndex, AgreesWithTheFullScanOnGeneratedDatabases) {
    std::mt19937 rng(20260327);
    for (int round = 0; round < 60; ++round) {
        test::DatabaseFixture fx;
        DatabaseContent content = test::RandomContent(rng);
        ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
        std::set<std::string> names = {"nombre", "Nombre2x", ""};
        for (const FieldDefinition& field : content.fields) names.insert(field.name);
        int64_t last = content.records.empty() ? 0 : content.records.back().number;
        ExpectIndexAgreesWithFullScan(fx.Database(), names, last, "round " + std::to_string(round));
    }
}

TEST(ValueIndex, AgreesWithTheFullScanOnDamagedValueFiles) {
    std::mt19937 rng(54);
    std::set<std::string> names(test::DamagedNames().begin(), test::DamagedNames().end());
    names.insert(std::string(34, 'L'));
    names.insert("C");
    for (int round = 0; round < 150; ++round) {
        test::DatabaseFixture fx;
        WriteFile(fx.ValuePath(), test::RandomDamagedValueFile(rng));
        ExpectIndexAgreesWithFullScan(fx.Database(), names, 9, "round " + std::to_string(round));
    }
}

TEST(ValueIndex, PendingTextSurvivesAGapOfTheSameFieldOnly) {
    test::DatabaseFixture fx;
    std::string bytes;
    AppendCellBytes(bytes, "A", 1, 'x', 0);
    AppendCellBytes(bytes, "A", 2, 'q', 1);  // same field, other record: x is kept
    AppendCellBytes(bytes, "A", 1, 'y', 1);
    AppendCellBytes(bytes, "B", 1, 'x', 0);
    AppendCellBytes(bytes, "A", 2, 'q', 1);  // other field: the pending B is emptied
    AppendCellBytes(bytes, "B", 1, 'z', 1);
    WriteFile(fx.ValuePath(), bytes);
    std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index);
    RecordValues values = index->ValuesOf(1);
    EXPECT_EQ(Shown(values, "A"), "xy");
    EXPECT_EQ(Shown(values, "B"), "z");
    EXPECT_EQ(index->SegmentCount(), 5);
}

TEST(ValueIndex, AHealthyFileHasOneSegmentPerRecord) {
    test::DatabaseFixture fx;
    DatabaseContent content;
    content.fields = {{"A", 0, 1, ""}, {"B", 0, 1, ""}};
    for (int64_t r = 1; r <= 100; ++r) content.records.push_back({r, {"a" + std::to_string(r), std::nullopt}});
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
    std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index);
    EXPECT_EQ(index->SegmentCount(), 100);
    EXPECT_EQ(index->LastRecordNumber(), 100);
    EXPECT_EQ(Shown(index->ValuesOf(57), "A"), "a57");
    EXPECT_EQ(Shown(index->ValuesOf(57), "B"), "No datos");
}

// Thousands of ascending segments, negative and far-apart record numbers
// included, so that lookups cross the blocks of the compact segment list.
TEST(ValueIndex, FindsEveryRecordOfALargeHealthyFile) {
    std::mt19937 rng(99);
    test::DatabaseFixture fx;
    std::string bytes;
    std::map<int64_t, std::string> stored;
    std::map<int64_t, std::pair<int64_t, int64_t>> cells;
    int64_t record = -300;
    for (int i = 0; i < 5000; ++i) {
        record += 1 + static_cast<int64_t>(rng() % 3) + (i % 997 == 0 ? int64_t{1} << 40 : 0);
        std::string value(1 + rng() % 200, static_cast<char>('a' + rng() % 26));
        int64_t first = static_cast<int64_t>(bytes.size() / 54) + 1;
        AppendValueCells(bytes, "A", record, value);
        stored[record] = value;
        cells[record] = {first, first + static_cast<int64_t>(value.size()) - 1};
    }
    WriteFile(fx.ValuePath(), bytes);
    std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index);
    EXPECT_EQ(index->SegmentCount(), 5000);
    EXPECT_EQ(index->LastRecordNumber(), record);
    EXPECT_LT(index->MemoryBytes(), std::size_t{5000} * 6);  // well below two 64-bit numbers a segment
    ValueIndex::Reader reader(*index);
    int64_t previous = INT64_MIN;
    for (const auto& [number, value] : stored) {
        ASSERT_EQ(Shown(reader.ValuesOf(number), "A"), value) << number;
        ASSERT_EQ(index->CellRangesOf(number), (std::vector<std::pair<int64_t, int64_t>>{cells[number]})) << number;
        if (number - 1 != previous) {
            ASSERT_EQ(reader.ValuesOf(number - 1).Size(), 0u) << number - 1;
        }
        previous = number;
    }
    EXPECT_EQ(reader.ValuesOf(INT64_MIN).Size(), 0u);
    EXPECT_EQ(reader.ValuesOf(INT64_MAX).Size(), 0u);
    EXPECT_EQ(reader.ValuesOf(record + 1).Size(), 0u);
}

TEST(ValueIndex, AgreesWithTheFullScanOnALargeDamagedFile) {
    std::mt19937 rng(3);
    test::DatabaseFixture fx;
    std::string bytes;
    for (int part = 0; part < 60; ++part) bytes += test::RandomDamagedValueFile(rng, 40).substr(0, 54 * 60);
    WriteFile(fx.ValuePath(), bytes);
    std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index);
    EXPECT_GT(index->SegmentCount(), 200);
    LinkedDatabase db = fx.Database();
    ValueIndex::Reader reader(*index);
    for (int64_t record = -1; record <= 41; record += 1 + static_cast<int64_t>(rng() % 4)) {
        RecordValues values = reader.ValuesOf(record);
        // Every cell of the record, and only those, lies in its ranges.
        int64_t covered = 0;
        for (auto [first, last] : index->CellRangesOf(record)) {
            for (int64_t cell = first; cell <= last; ++cell)
                ASSERT_EQ(layout::LoadI64(reinterpret_cast<const unsigned char*>(bytes.data()) + (cell - 1) * 54 + 40),
                          record);
            covered += last - first + 1;
        }
        int64_t expected = 0;
        for (std::size_t at = 0; at + 54 <= bytes.size(); at += 54)
            expected += layout::LoadI64(reinterpret_cast<const unsigned char*>(bytes.data()) + at + 40) == record;
        ASSERT_EQ(covered, expected) << record;
        for (const std::string& name : test::DamagedNames())
            ASSERT_EQ(Shown(values, name), ReadFieldValue(db, name, record)) << name << " " << record;
    }
}

// Gives a file back a last write time (nanoseconds since 1970), as a restored
// backup or a copy that keeps times does.
bool SetModifiedTime(const std::string& path, int64_t time) {
#if defined(_WIN32)
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const uint64_t ticks = static_cast<uint64_t>(time / 100) + 116444736000000000u;
    FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return set;
#else
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time / 1000000000, time % 1000000000}};
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
#endif
}

constexpr int64_t kHour = int64_t{3600} * 1000000000;

// A list field beside a text field: record 1 shows "Ana Sur".
struct ZoneDatabase {
    test::DatabaseFixture fx;
    const DisplayTemplate displayTemplate{"#Nombre #Zona", true};

    ZoneDatabase() {
        fx.Field("Nombre").Field("Zona", 9, 1, "Norte|Sur|Este");
        fx.Value("Nombre", 1, "Ana").Value("Zona", 1, "2").Value("Nombre", 2, "Luis").Value("Zona", 2, "1");
        fx.Write();
    }
    int64_t NewestTime() const {
        int64_t newest = 0;
        for (const std::string& path : {fx.ValuePath(), fx.DefinitionPath()}) {
            const FileStamp stamp = StampOf(path);
            newest = std::max({newest, stamp.modified, stamp.changed});
        }
        return newest;
    }
};

// Another program rewrites a file in place with the same size and gives it
// back its modification time; the next display shows what the file holds now,
// with the clock of the program (the file was just written, so its stamp is
// not trusted) and with a clock an hour later (the stamp is trusted, and only
// the change time tells the files apart).
TEST(DisplayCache, ShowsAFileRewrittenInPlaceWithItsOldModificationTime) {
    struct Case {
        const char* what;
        bool clockAnHourLater;
        bool rewriteValues;  // else the definitions
        const char* shown;
    } const cases[] = {
        {"a list option renamed", false, false, "Ana Sud"},
        {"a list option renamed, stamp trusted", true, false, "Ana Sud"},
        {"the cells moved", false, true, "Luis Sur"},
        {"the cells moved, stamp trusted", true, true, "Luis Sur"},
    };
    for (const Case& c : cases) {
        ZoneDatabase db;
        const std::string path = c.rewriteValues ? db.fx.ValuePath() : db.fx.DefinitionPath();
        const int64_t restored = SystemFileTime() - kHour;
        ASSERT_TRUE(SetModifiedTime(path, restored)) << c.what;
        const FileStamp before = StampOf(path);
        const int64_t late = SystemFileTime() + kHour;
        DisplayCache cache = c.clockAnHourLater ? DisplayCache([late] { return late; }) : DisplayCache();
        LinkedDatabase linked = db.fx.Database();
        ASSERT_EQ(cache.FormatRecord(linked, db.displayTemplate, 1, {2026, 1, 1}), "Ana Sur") << c.what;

        // The same size again: one option of the same length, or the two
        // records' values swapped.
        test::DatabaseFixture& fx = db.fx;
        if (c.rewriteValues) {
            fx.cells.clear();
            fx.Value("Nombre", 1, "Luis").Value("Zona", 1, "2").Value("Nombre", 2, "Ana").Value("Zona", 2, "1");
        } else {
            fx.definitions[1].options = "Norte|Sud|Este";
        }
        // A write within the clock tick of the first can leave the very same
        // stamp: the untrusted clock must not depend on that, the trusted one
        // does, so it writes again (a few times at most) until the stamp moves.
        FileStamp after;
        for (int write = 0; write < 1000 && (write == 0 || (c.clockAnHourLater && after == before)); ++write) {
            c.rewriteValues ? fx.WriteValueBytes(test::EncodeCells(fx.cells))
                            : fx.WriteDefinitionBytes(test::EncodeDefinitions(fx.definitions));
            ASSERT_TRUE(SetModifiedTime(path, restored)) << c.what;
            after = StampOf(path);
        }
        ASSERT_EQ(after.size, before.size) << c.what;
        ASSERT_EQ(after.modified, before.modified) << c.what;
        EXPECT_EQ(cache.FormatRecord(linked, db.displayTemplate, 1, {2026, 1, 1}), c.shown) << c.what;
    }
}

// A stamp is trusted only when the file's times are a safe margin older than
// the read: until then every display reads both files again. The clock tells
// how many reads a display made (each read asks it once, when it begins).
TEST(DisplayCache, ReadsTheFilesAgainUntilTheirStampsAreSafelyOld) {
    ZoneDatabase db;
    // Modification times an hour back: only the change times are recent.
    for (const std::string& path : {db.fx.ValuePath(), db.fx.DefinitionPath()})
        ASSERT_TRUE(SetModifiedTime(path, SystemFileTime() - kHour));
    int64_t oldest = INT64_MAX;
    for (const std::string& path : {db.fx.ValuePath(), db.fx.DefinitionPath()})
        oldest = std::min(oldest, StampOf(path).changed);
    const int64_t newest = db.NewestTime();
    int64_t now = 0;
    int reads = 0;
    DisplayCache cache([&] {
        ++reads;
        return now;
    });
    LinkedDatabase linked = db.fx.Database();
    struct Step {
        int64_t now;
        int reads;
    } const steps[] = {
        {oldest - 1000000000, 2},          // a clock behind the files' times
        {oldest + kStampSafetyNs - 1, 2},  // just short of the margin for both
        {newest + kStampSafetyNs, 2},      // read again, and now safely old
        {newest + kStampSafetyNs + 1, 0},
        {newest + kHour, 0},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        now = steps[i].now;
        reads = 0;
        EXPECT_EQ(cache.FormatRecord(linked, db.displayTemplate, 1, {2026, 1, 1}), "Ana Sur") << i;
        EXPECT_EQ(reads, steps[i].reads) << i;
    }
    // A change is read once; its stamp is safely old at this clock.
    db.fx.Value("Nombre", 3, "Eva").Write();
    now = db.NewestTime() + kStampSafetyNs;
    for (int expected : {2, 0}) {
        reads = 0;
        EXPECT_EQ(cache.FormatRecord(linked, db.displayTemplate, 1, {2026, 1, 1}), "Ana Sur");
        EXPECT_EQ(reads, expected);
    }
}

TEST(ValueIndex, AMissingValueFileIsCreatedEmptyAsTheFullScanDoes) {
    test::DatabaseFixture fx;
    std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index);
    EXPECT_EQ(index->CellCount(), 0);
    EXPECT_EQ(index->ValuesOf(1).Size(), 0u);
    EXPECT_TRUE(std::filesystem::exists(fx.ValuePath()));
}

// The cached display must show exactly what the literal merge shows.
TEST(DisplayCache, FormatRecordMatchesTheLiteralMergeOnGeneratedDatabases) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        test::DatabaseFixture fx;
        DatabaseContent content = test::RandomContent(rng, 6);
        if (round % 3 == 0) {
            WriteDatabase(fx.Folder(), content, true);
            WriteFile(fx.ValuePath(), test::RandomDamagedValueFile(rng, 6));
            // Fields named like the damaged cells, so that placeholders find values.
            for (std::size_t i = 0; i < content.fields.size() && i < 4; ++i)
                content.fields[i].name = test::DamagedNames()[i];
            test::WriteBytes(fx.DefinitionPath(), {});
            std::string definitions = EncodeDefinitionFile(content.fields);
            test::WriteBytes(fx.DefinitionPath(), std::vector<unsigned char>(definitions.begin(), definitions.end()));
        } else {
            ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
        }
        LinkedDatabase literalDb = fx.Database();
        LinkedDatabase cachedDb = fx.Database();
        DisplayCache cache;
        for (int t = 0; t < 4; ++t) {
            DisplayTemplate displayTemplate{test::RandomTemplate(rng, content.fields), true};
            for (int64_t record = 0; record <= 7; ++record) {
                CalendarDate today{2026, 1 + static_cast<int>(record), 1 + static_cast<int>(rng() % 28)};
                LoadFieldList(literalDb);
                LiteralFieldSource literal(literalDb);
                std::string expected = FormatRecordText(displayTemplate, literalDb.fields, record, literal, today);
                ASSERT_EQ(cache.FormatRecord(cachedDb, displayTemplate, record, today), expected)
                    << "round " << round << " template " << displayTemplate.text << " record " << record;
            }
        }
        EXPECT_EQ(cachedDb.fields.names, literalDb.fields.names);
        EXPECT_EQ(cachedDb.fields.types, literalDb.fields.types);
        EXPECT_EQ(cachedDb.fields.options, literalDb.fields.options);
        EXPECT_EQ(cachedDb.fields.searchFlags, literalDb.fields.searchFlags);
    }
}

// The index pass yields to the window now and then; a record shown from there
// (the user pressing "next" meanwhile) must leave both merges intact.
TEST(DisplayCache, ARecordShownFromTheYieldLeavesTheOuterMergeIntact) {
    test::DatabaseFixture fx;
    DatabaseContent content;
    content.fields = {{"Nombre", 0, 1, ""}, {"Tipo", 9, 1, "a|b|c"}, {"Notas", 0, 1, ""}};
    for (int64_t r = 1; r <= 3000; ++r)
        content.records.push_back({r, {"N" + std::to_string(r), std::to_string(r % 3 + 1), std::string(30, 'x')}});
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
    const DisplayTemplate displayTemplate{"##Nombre #Tipo #Nombre", true};
    LinkedDatabase db = fx.Database();
    DisplayCache cache;
    std::string inner;
    bool inside = false;
    int yields = 0;
    db.yield = [&] {
        ++yields;
        if (inside || !inner.empty()) return;
        inside = true;
        inner = cache.FormatRecord(db, displayTemplate, 2, {2026, 1, 1});
        inside = false;
    };
    EXPECT_EQ(cache.FormatRecord(db, displayTemplate, 2999, {2026, 1, 1}), "N2999 c N2999");
    EXPECT_GT(yields, 0);
    EXPECT_EQ(inner, "N2 c N2");
    EXPECT_EQ(db.fields.Count(), 3);
}

TEST(DisplayCache, ShowsTheNewContentAfterTheFilesChange) {
    test::DatabaseFixture fx;
    DatabaseContent content;
    content.fields = {{"Nombre", 0, 1, ""}};
    content.records = {{1, {"Ana"}}};
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
    LinkedDatabase db = fx.Database();
    DisplayCache cache;
    const DisplayTemplate displayTemplate{"Sr. #Nombre", true};
    EXPECT_EQ(cache.FormatRecord(db, displayTemplate, 1, {2026, 1, 1}), "Sr. Ana");

    content.records = {{1, {"Bernardo"}}};
    content.fields[0].type = 6;
    content.fields.push_back({"Otro", 0, 1, "|"});
    content.records[0].values.push_back("x");
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
    EXPECT_EQ(cache.FormatRecord(db, displayTemplate, 1, {2026, 1, 1}), "Sr. #Nombre");
    EXPECT_EQ(db.fields.Count(), 2);
    content.fields[0].type = 0;
    content.fields.pop_back();
    content.records[0].values.pop_back();
    ASSERT_TRUE(WriteDatabase(fx.Folder(), content, true).Ok());
    EXPECT_EQ(cache.FormatRecord(db, displayTemplate, 1, {2026, 1, 1}), "Sr. Bernardo");
}

}  // namespace
}  // namespace velmar
