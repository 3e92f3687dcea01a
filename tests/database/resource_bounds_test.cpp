// Memory and work stay bounded on huge or endless value files: a sparse file
// of a gigabyte or more (its holes read as zero cells: record 0, name "", no
// last-cell flag), and values whose text is longer than a scan holds in memory.
// The size of the sparse file is VELMAR_SPARSE_FILE_MB (default 1024).
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "database/collected_text.h"
#include "database/display_cache.h"
#include "database/file_layout.h"
#include "database/linked_database.h"
#include "database/value_index.h"
#include "search/read_search_value.h"
#include "search/searches.h"
#include "tests/support/fixture.h"
#include "tests/support/literal_model.h"
#include "tests/support/memory.h"

namespace velmar {
namespace {

using test::DatabaseFixture;
constexpr int64_t kMiB = 1 << 20;

int64_t SparseFileBytes() {
    const char* mb = std::getenv("VELMAR_SPARSE_FILE_MB");
    int64_t megabytes = mb ? std::atoll(mb) : 1024;
    return std::max<int64_t>(megabytes, 1) * kMiB;
}

// A value file of `bytes` bytes (a partial cell at its end included) that is a
// hole but for its last whole cells: A and B of record 10.
void WriteSparseValueFile(const DatabaseFixture& fx, int64_t bytes) {
    const std::vector<unsigned char> tail = test::EncodeCells({{"A", 10, 'x', 1}, {"B", 10, 'y', 1}});
    const int64_t cells = bytes / static_cast<int64_t>(layout::kCellSize);
    {
        std::ofstream out(fx.ValuePath(), std::ios::binary | std::ios::trunc);
    }
    std::filesystem::resize_file(fx.ValuePath(), static_cast<uintmax_t>(bytes));
    std::fstream file(fx.ValuePath(), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp((cells - 2) * static_cast<int64_t>(layout::kCellSize));
    file.write(reinterpret_cast<const char*>(tail.data()), static_cast<std::streamsize>(tail.size()));
    ASSERT_TRUE(file.good());
}

// Runs `work` while a thread samples the resident memory, and checks that it
// grew by less than `limit` bytes.
template <typename Work>
void ExpectBoundedMemory(int64_t limit, const char* what, Work&& work) {
    test::MemoryWatch memory;
    work();
    memory.Stop();
    if (!memory.Measurable()) return;  // no way to read it on this system
    EXPECT_GT(memory.Samples(), 0) << what;
    EXPECT_LT(memory.PeakGrowth(), limit) << what << ": grew by " << memory.PeakGrowth() / kMiB << " MiB";
}

TEST(HugeSparseValueFile, LookupsAndSearchesKeepTheirMemoryBounded) {
    DatabaseFixture fx;
    fx.Field("A").Field("B").Write();
    const int64_t bytes = SparseFileBytes() + 20;  // and a partial cell
    ASSERT_NO_FATAL_FAILURE(WriteSparseValueFile(fx, bytes));
    LinkedDatabase db = fx.Database();
    ASSERT_EQ(LastRecordNumber(db), 10);

    ExpectBoundedMemory(8 * kMiB, "value of a real field", [&] { EXPECT_EQ(ReadFieldValue(db, "A", 10), "x"); });
    // The holes are cells of record 0 whose name is empty: a value that never ends.
    ExpectBoundedMemory(8 * kMiB, "value of the holes",
                        [&] { EXPECT_EQ(ReadFieldValue(db, "", 0), "No datos"); });
    ExpectBoundedMemory(8 * kMiB, "lookup of the holes", [&] {
        SearchState st;
        EXPECT_EQ(ReadSearchValue(db, st, "", 0, "", "$"), "");
        EXPECT_EQ(st.scanPosition, 1);
    });

    // Record display: the value index of the file, and the merge through it.
    ExpectBoundedMemory(8 * kMiB, "value index", [&] {
        std::optional<ValueIndex> index = ValueIndex::Build(db.ValueFilePath());
        ASSERT_TRUE(index.has_value());
        EXPECT_EQ(index->SegmentCount(), 2u) << "the holes (record 0), then record 10";
        EXPECT_EQ(index->ValuesOf(0).Size(), 0u);
        const RecordValues values = index->ValuesOf(10);
        const std::string* a = values.Find("A");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(*a, "x");
    });
    ExpectBoundedMemory(8 * kMiB, "record display", [&] {
        DisplayCache cache;
        const DisplayTemplate letter{"#A and ##B", true};
        EXPECT_EQ(cache.FormatRecord(db, letter, 10, CalendarDate{2026, 3, 27}), "x and Y");
        EXPECT_EQ(cache.FormatRecord(db, letter, 0, CalendarDate{2026, 3, 27}), "No datos and NO DATOS");
    });

    ExpectBoundedMemory(8 * kMiB, "one-criterion search", [&] {
        SearchState st;
        std::string last;
        SearchOneField(db, st, SearchCriteria{{"A", "", ""}, {"x", "", ""}, {"=", "", ""}},
                       [&](int64_t r, int64_t n) { last = std::to_string(r) + " " + ProgressText(r, n); });
        std::vector<int64_t> found;
        st.results.list.ForEach([&](int64_t r) { found.push_back(r); });
        EXPECT_EQ(found, (std::vector<int64_t>{10}));
        EXPECT_EQ(last, "10 100 %");
    });
    ExpectBoundedMemory(8 * kMiB, "three-criteria search", [&] {
        SearchState st;
        SearchThreeFields(db, st, SearchCriteria{{"A", "B", "C"}, {"q", "q", "q"}, {"<>", "<>", "<>"}});
        EXPECT_EQ(st.results.count, 10) << "records 1 to 9 have only empty values";
    });
}

// A value of `length` characters of field A for record 1, with a cell of A for
// record 0 after every 1000th character (it neither ends nor empties the text,
// nor stops a lookup, which stops only at a later record), then A of record 2.
DatabaseFixture LongValue(int64_t length, bool flagged) {
    DatabaseFixture fx;
    fx.Field("A");
    for (int64_t i = 0; i < length; ++i) {
        const bool last = i + 1 == length;
        fx.RawCell({"A", 1, static_cast<unsigned char>('a' + i % 26), last && flagged ? 1 : 0});
        if (i % 1000 == 999 && !last) fx.RawCell({"A", 0, '#', 0});
    }
    fx.Value("A", 2, "z");
    fx.Write();
    return fx;
}

std::string Expected(int64_t length) {
    std::string text;
    for (int64_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + i % 26));
    return text;
}

TEST(LongValues, AValueLongerThanAScanHoldsIsReadAgainWhole) {
    const int64_t length = static_cast<int64_t>(CollectedText::kHeldBytes) + 5000;
    DatabaseFixture fx = LongValue(length, true);
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(ReadFieldValue(db, "A", 1), Expected(length));
    EXPECT_EQ(ReadFieldValue(db, "A", 2), "z");

    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, "A", 1, "a", "$"), Expected(length));
    model::State literal;
    model::ReadSearchValue(db, literal, "A", 1, "a", "$");
    EXPECT_EQ(st.scanPosition, literal.scanPosition);
    EXPECT_EQ(st.scanRecord, 1);

    SearchOneField(db, st, SearchCriteria{{"A", "", ""}, {"abcdefghij", "", ""}, {"*-", "", ""}});
    EXPECT_EQ(st.results.count, 1);
    EXPECT_EQ(st.results.list.At(1), 1);

    std::optional<ValueIndex> index = ValueIndex::Build(db.ValueFilePath());
    ASSERT_TRUE(index.has_value());
    const RecordValues values = index->ValuesOf(1);
    const std::string* indexed = values.Find("A");
    ASSERT_NE(indexed, nullptr);
    EXPECT_EQ(*indexed, Expected(length));
}

TEST(LongValues, AValueThatNeverEndsHasNoValue) {
    const int64_t length = static_cast<int64_t>(CollectedText::kHeldBytes) + 5000;
    DatabaseFixture fx = LongValue(length, false);
    LinkedDatabase db = fx.Database();
    EXPECT_EQ(ReadFieldValue(db, "A", 1), "No datos");
    EXPECT_EQ(ReadFieldValue(db, "A", 2), "z");
    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, "A", 1, "a", "$"), "");
    EXPECT_EQ(ReadSearchValue(db, st, "A", 2, "z", "="), "z");
    std::optional<ValueIndex> index = ValueIndex::Build(db.ValueFilePath());
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(index->ValuesOf(1).Find("A"), nullptr);
}

TEST(LongValues, AnotherFieldInTheMiddleEmptiesALongText) {
    const int64_t length = static_cast<int64_t>(CollectedText::kHeldBytes) + 10;
    DatabaseFixture fx;
    for (int64_t i = 0; i < length; ++i) fx.RawCell({"A", 1, 'a', 0});
    fx.RawCell({"B", 1, 'b', 1}).RawCell({"A", 1, 'e', 0}).RawCell({"A", 1, 'n', 1}).Write();
    EXPECT_EQ(ReadFieldValue(fx.Database(), "A", 1), "en");
    SearchState st;
    EXPECT_EQ(ReadSearchValue(fx.Database(), st, "A", 1, "e", "="), "en");
    std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index.has_value());
    const RecordValues values = index->ValuesOf(1);
    ASSERT_NE(values.Find("A"), nullptr);
    EXPECT_EQ(*values.Find("A"), "en");
}

}  // namespace
}  // namespace velmar
