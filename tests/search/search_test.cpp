#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "search/compare_value.h"
#include "database/file_layout.h"
#include "database/numeric_value.h"
#include "search/read_search_value.h"
#include "search/searches.h"
#include "tests/support/fixture.h"
#include "tests/support/literal_model.h"

namespace velmar {
namespace {

using test::DatabaseFixture;
using test::Found;

TEST(NumericValue, ReadsTheNumberATextBeginsWith) {
    const std::pair<const char*, double> cases[] = {
        {"12,5", 12},   {"  7", 7},       {"12abc", 12},   {"abc", 0},       {"-3.5", -3.5},  {"1.5E3", 1500},
        {"&H1F", 31},   {"", 0},          {"\t\r\n 4", 4}, {"+8", 8},        {".5", 0.5},     {"5.", 5},
        {"1.2.3", 1.2}, {"2D2", 200},     {"2e-1", 0.2},   {"3E", 3},        {"3E+", 3},      {"&hff", 255},
        {"&B101", 5},   {"&o17", 15},     {"&Q17", 15},    {"&17", 15},      {"&8", 0},       {"&", 0},
        {"-", 0},       {"- 5", 0},       {"&HG", 0},      {"1E-99999", 0},  {"00012", 12},   {"-&H1", 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_DOUBLE_EQ(NumericValue(cases[i].first), cases[i].second) << "case " << i << " '" << cases[i].first << "'";
}

TEST(NumericValue, HugeNumbersHaveDefinedValues) {
    EXPECT_TRUE(std::isinf(NumericValue("1E99999")));
    EXPECT_TRUE(std::isinf(NumericValue(std::string(400, '9'))));
    EXPECT_TRUE(std::isinf(NumericValue("-" + std::string(400, '9'))));
    double hex = NumericValue("&HFFFFFFFFFFFFFFFFFFFF");
    EXPECT_TRUE(std::isfinite(hex));
    EXPECT_GT(hex, 1e24);
    EXPECT_TRUE(std::isinf(NumericValue("&H" + std::string(300, 'F'))));
    EXPECT_DOUBLE_EQ(NumericValue("0." + std::string(500, '0') + "1"), 0);
}

TEST(RoundHalfEvenToInt64, RoundsHalvesToEvenAndClampsWhatDoesNotFit) {
    EXPECT_EQ(RoundHalfEvenToInt64(2.5), 2);
    EXPECT_EQ(RoundHalfEvenToInt64(1.5), 2);
    EXPECT_EQ(RoundHalfEvenToInt64(-1.5), -2);
    EXPECT_EQ(RoundHalfEvenToInt64(2.6), 3);
    EXPECT_EQ(RoundHalfEvenToInt64(1e300), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(RoundHalfEvenToInt64(-INFINITY), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(RoundHalfEvenToInt64(NAN), 0);
}

TEST(CompareValue, TheNineOperators) {
    struct Case {
        const char* field;
        const char* code;
        const char* search;
        bool holds;
    } cases[] = {
        {"Juan", "=", "Juan", true},    {"juan", "=", "Juan", false},  {"Juan ", "=", "Juan", false},
        {"Juana", "=", "Juan", false},  {"Juan", "*-", "Ju", true},    {"Ju", "*-", "Ju", true},
        {"J", "*-", "Ju", false},       {"Juan", "-*", "an", true},    {"Ana", "-*", "an", false},
        {"n", "-*", "an", false},       {"Juan", "$", "ua", true},     {"JUAN", "$", "ua", false},
        {"", "$", "ua", false},         {"", "$", "", false},          {"x", "$", "", true},
        {"12abc", ">", "10", true},     {"1.5E3", ">", "10", true},    {"9", ">", "10", false},
        {"abc", ">", "10", false},      {"", ">", "10", false},        {"3", ">", "abc", true},
        {"Pedro", "<>", "Juan", true},  {"Juana", "<>", "Juan", true}, {"", "<>", "Juan", true},
        {"Juan", "<>", "Juan", false},  {"5", "<", "6", true},         {"6", "<=", "6", true},
        {"6", ">=", "6.1", false},      {"Juan", "", "Juan", false},   {"Juan", "==", "Juan", false},
        {"Juan", "= ", "Juan", false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(CompareValue(cases[i].field, cases[i].code, cases[i].search), cases[i].holds) << "case " << i;
}

TEST(OperatorEntries, EntrySevenIsTheLeftWildcardWithCodeMinusStar) {
    EXPECT_EQ(kOperatorEntries[6].code, "-*");
    EXPECT_EQ(kOperatorEntries[7].code, "*-");
    EXPECT_EQ(kOperatorEntries[0].text, "01 - = Igual a ...");
    EXPECT_EQ(kOperatorEntries[8].text, "09 - = Igual en alguna parte del texto ...");
}

// Records 1..3 with fields Nombre, Edad.
DatabaseFixture ThreePeople() {
    DatabaseFixture fx;
    fx.Field("Nombre").Field("Edad");
    fx.Value("Nombre", 1, "Ana").Value("Edad", 1, "30");
    fx.Value("Nombre", 2, "Luis").Value("Edad", 2, "7");
    fx.Value("Nombre", 3, "Eva").Value("Edad", 3, "55");
    fx.Write();
    return fx;
}

TEST(ReadSearchValue, MovesTheScanPositionToTheValuesLastCell) {
    DatabaseFixture fx = ThreePeople();
    LinkedDatabase db = fx.Database();
    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, "Edad", 1, "x", "$"), "30");
    EXPECT_EQ(st.scanPosition, 5);
    EXPECT_EQ(st.scanRecord, 1);
    EXPECT_EQ(ReadSearchValue(db, st, "Nombre", 2, "x", "$"), "Luis");
    EXPECT_EQ(st.scanPosition, 9);
    // Looked up again, the value's earlier cells lie before the scan position.
    EXPECT_EQ(ReadSearchValue(db, st, "Nombre", 2, "x", "$"), "s");
    EXPECT_EQ(ReadSearchValue(db, st, "Nombre", 1, "x", "$"), "") << "cells before the position are not seen";
}

TEST(ReadSearchValue, ASecondLookupOfTheSameRecordDoesNotMoveThePosition) {
    DatabaseFixture fx = ThreePeople();
    LinkedDatabase db = fx.Database();
    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, "Nombre", 1, "x", "$"), "Ana");
    EXPECT_EQ(st.scanPosition, 3);
    EXPECT_EQ(ReadSearchValue(db, st, "Edad", 1, "x", "$"), "30");
    EXPECT_EQ(st.scanPosition, 3) << "the scan record is already 1";
    // The same field again returns only its last character.
    EXPECT_EQ(ReadSearchValue(db, st, "Nombre", 1, "x", "$"), "a");
}

TEST(ReadSearchValue, EarlyStopLeavesTheScanPositionAtTheFirstCell) {
    DatabaseFixture fx = ThreePeople();
    LinkedDatabase db = fx.Database();
    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, "Edad", 1, "5", "="), "");
    EXPECT_EQ(st.scanPosition, 4) << "the cell holding '3'";
    EXPECT_EQ(st.scanRecord, 0);
    st.scanPosition = 1;
    // Both first characters read as 0: the whole value is read.
    EXPECT_EQ(ReadSearchValue(db, st, "Nombre", 1, "B", "="), "Ana");
    st.scanPosition = 1;
    EXPECT_EQ(ReadSearchValue(db, st, "Edad", 1, "30", "*-"), "30");
    st.scanPosition = 1;
    EXPECT_EQ(ReadSearchValue(db, st, "Edad", 1, "", "<>"), "") << "an empty search value counts as 0";
    st.scanPosition = 1;
    EXPECT_EQ(ReadSearchValue(db, st, "Edad", 1, "4", "$"), "30") << "no early stop for $";
}

TEST(ReadSearchValue, ARecordWithoutCellsStopsAtTheNextRecordAndKeepsThePosition) {
    DatabaseFixture fx;
    fx.Value("A", 1, "x").Value("A", 3, "y").Write();
    LinkedDatabase db = fx.Database();
    SearchState st;
    EXPECT_EQ(ReadSearchValue(db, st, "A", 1, "q", "$"), "x");
    EXPECT_EQ(ReadSearchValue(db, st, "A", 2, "q", "$"), "");
    EXPECT_EQ(st.scanPosition, 1);
    EXPECT_EQ(ReadSearchValue(db, st, "A", 3, "q", "$"), "y");
    EXPECT_EQ(st.scanPosition, 2);
    st.scanPosition = 99;
    EXPECT_EQ(ReadSearchValue(db, st, "A", 3, "q", "$"), "");
}

SearchCriteria One(const std::string& field, const std::string& code, const std::string& value) {
    return {{field, "", ""}, {value, "", ""}, {code, "", ""}};
}

TEST(SearchOneField, FindsRecordsAndReportsProgressBeforeEachRecord) {
    DatabaseFixture fx = ThreePeople();
    LinkedDatabase db = fx.Database();
    SearchState st;
    std::vector<std::string> captions;
    SearchOneField(db, st, One("Edad", ">", "10"), [&](int64_t r, int64_t n) { captions.push_back(ProgressText(r, n)); });
    EXPECT_EQ(Found(st), (std::vector<int64_t>{1, 3}));
    EXPECT_EQ(st.results.count, 2);
    EXPECT_EQ(st.results.flag, 1);
    EXPECT_EQ(ClosingMessage(st.results), "2 Resultados ...");
    EXPECT_EQ(captions, (std::vector<std::string>{"33 %", "66 %", "100 %"}));

    SearchOneField(db, st, One("Edad", "=", "99"));
    EXPECT_EQ(st.results.count, 0);
    EXPECT_EQ(st.results.flag, 0);
    EXPECT_EQ(st.results.list.At(1), 0) << "the previous results are gone";
    EXPECT_EQ(ClosingMessage(st.results), "No hay Resultados ...");
}

TEST(SearchOneField, AnEmptyOrUnknownOperatorFindsNothing) {
    DatabaseFixture fx = ThreePeople();
    SearchState st;
    SearchOneField(fx.Database(), st, One("Edad", "", "1"));
    EXPECT_EQ(st.results.count, 0);
    SearchOneField(fx.Database(), st, One("Edad", "=>", "1"));
    EXPECT_EQ(st.results.count, 0);
}

TEST(SearchOneField, RecordsWithoutCellsAreTestedWithEmptyValues) {
    DatabaseFixture fx;
    fx.Value("A", 1, "x").Value("A", 10, "y").Write();
    SearchState st;
    std::vector<int64_t> progressed;
    SearchOneField(fx.Database(), st, One("A", "<>", "x"), [&](int64_t r, int64_t) { progressed.push_back(r); });
    EXPECT_EQ(Found(st), (std::vector<int64_t>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(progressed, (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(SearchOneField, AHugeRecordCountStaysBoundedWithRunsOfResults) {
    DatabaseFixture fx;
    const int64_t huge = 1000000000000000;  // 10^15
    fx.Value("A", 1, "x").Value("A", 2, "y").Value("A", huge, "z").Write();
    SearchState st;
    int64_t calls = 0;
    SearchOneField(fx.Database(), st, One("A", "<>", "y"), [&](int64_t, int64_t) { ++calls; });
    EXPECT_EQ(st.results.count, huge - 1);
    EXPECT_EQ(st.results.list.At(1), 1);
    EXPECT_EQ(st.results.list.At(2), 3);
    EXPECT_EQ(st.results.list.At(huge - 1), huge);
    EXPECT_EQ(ClosingMessage(st.results), std::to_string(huge - 1) + " Resultados ...");
    EXPECT_LT(calls, 400) << "progress is told only where the percentage changes";

    SearchOneField(fx.Database(), st, One("A", "=", "y"));
    EXPECT_EQ(Found(st), (std::vector<int64_t>{2}));
}

TEST(SearchOneField, NegativeOrZeroRecordCountsRunNoIteration) {
    DatabaseFixture fx;
    fx.Value("A", 1, "x").Value("A", -5, "y").Write();
    SearchState st;
    bool told = false;
    SearchOneField(fx.Database(), st, One("A", "<>", "q"), [&](int64_t, int64_t) { told = true; });
    EXPECT_EQ(st.results.count, 0);
    EXPECT_FALSE(told);
}

TEST(ProgressText, IsTheWholePercentage) {
    EXPECT_EQ(ProgressText(4, 7), "57 %");
    EXPECT_EQ(ProgressText(1, 1), "100 %");
    EXPECT_EQ(ProgressText(1, 3), "33 %");
    const int64_t max = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(ProgressText(max / 2, max), "49 %");
    EXPECT_EQ(ProgressText(max - 1, max), "99 %");
}

// Nombre, Edad, Ciudad for five records.
DatabaseFixture FivePeople() {
    DatabaseFixture fx;
    fx.Field("Nombre").Field("Edad").Field("Ciudad");
    const char* rows[][3] = {{"Ana", "30", "Lugo"}, {"Luis", "7", "Vigo"}, {"Eva", "55", "Lugo"},
                             {"Ana", "41", "Soria"}, {"Ana", "abc", "def"}};
    for (int r = 0; r < 5; ++r)
        fx.Value("Nombre", r + 1, rows[r][0]).Value("Edad", r + 1, rows[r][1]).Value("Ciudad", r + 1, rows[r][2]);
    fx.Write();
    return fx;
}

TEST(SearchTwoFields, EveryCriterionMustHold) {
    DatabaseFixture fx = FivePeople();
    SearchState st;
    SearchCriteria c{{"Nombre", "Edad", ""}, {"Ana", "35", ""}, {"=", ">", ""}};
    SearchTwoFields(fx.Database(), st, c);
    EXPECT_EQ(Found(st), (std::vector<int64_t>{4}));
}

TEST(SearchTwoFields, ACombinationWithAnEmptyCodeFindsNothing) {
    DatabaseFixture fx = FivePeople();
    LinkedDatabase db = fx.Database();
    SearchState st;
    SearchCriteria c{{"Nombre", "Falta", ""}, {"Ana", "1", ""}, {"=", "<>", ""}};
    OrderCriteriaByFields(db, c, 2);
    EXPECT_EQ(c.codes[1], "");
    SearchTwoFields(db, st, c);
    EXPECT_EQ(st.results.count, 0);
}

TEST(SearchThreeFields, TheEntryEqualGreaterDifferentTestsItsThirdCriterionAsNumbers) {
    DatabaseFixture fx = FivePeople();
    SearchState st;
    // Record 5: Ana, "abc" (reads 0), "def" (reads 0).
    SearchCriteria irregular{{"Nombre", "Edad", "Ciudad"}, {"Ana", "-1", "xyz"}, {"=", ">", "<>"}};
    SearchThreeFields(fx.Database(), st, irregular);
    EXPECT_EQ(st.results.count, 0) << "0 and 0 do not differ as numbers";

    SearchCriteria ordinary{{"Nombre", "Edad", "Ciudad"}, {"Ana", "99", "xyz"}, {"=", "<", "<>"}};
    SearchThreeFields(fx.Database(), st, ordinary);
    EXPECT_EQ(Found(st), (std::vector<int64_t>{1, 4, 5}));
}

TEST(SearchTwoFields, AFailingFirstCriterionSkipsTheSecondLookup) {
    DatabaseFixture fx = FivePeople();
    LinkedDatabase db = fx.Database();
    int64_t lookups = 0;
    db.yield = [&] { ++lookups; };
    SearchState st;
    // Nobody is called Zoe: the early stop never fires ('Z' and 'A' both read 0),
    // and the Ciudad cells are never visited past the Nombre values.
    SearchCriteria c{{"Nombre", "Ciudad", ""}, {"Zoe", "Lugo", ""}, {"=", "=", ""}};
    SearchTwoFields(db, st, c);
    EXPECT_EQ(st.results.count, 0);
    model::State ms;
    auto literal = model::Search(db, ms, c, 2);
    ASSERT_TRUE(literal);
    EXPECT_TRUE(literal->found.empty());
    EXPECT_EQ(st.scanPosition, ms.scanPosition);
}

// Random databases, valid and damaged, checked against the literal model.
struct Generated {
    DatabaseFixture fx;
    std::vector<std::string> fields;
};

void Generate(std::mt19937& rng, Generated& g) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* names[] = {"Nombre", "Edad", "Ciudad", "Nota"};
    int fieldCount = 1 + pick(4);
    for (int i = 0; i < fieldCount; ++i) {
        g.fields.push_back(names[i]);
        g.fx.Field(names[i]);
    }
    const char* pieces[] = {"", "1", "2", "12", "Ana", "an", "A", "7x", "0", "-3", "Lugo", "9.5"};
    int records = 1 + pick(25);
    for (int r = 1; r <= records; ++r) {
        if (pick(8) == 0) continue;  // a record without cells
        for (const std::string& f : g.fields) {
            if (pick(6) == 0) continue;  // a missing value
            std::string v = std::string(pieces[pick(12)]) + pieces[pick(12)];
            if (v.empty()) v = "z";
            g.fx.Value(f, r, v);
        }
    }
    // Damage: lose flags, swap cells, odd record numbers, unknown names.
    int damage = pick(4);
    for (int d = 0; d < damage && !g.fx.cells.empty(); ++d) {
        auto& cell = g.fx.cells[static_cast<std::size_t>(pick(static_cast<int>(g.fx.cells.size())))];
        switch (pick(5)) {
            case 0: cell.lastFlag = 1 - cell.lastFlag; break;
            case 1: cell.record = pick(30) - 2; break;
            case 2: cell.name = "Otro"; break;
            case 3: std::swap(cell, g.fx.cells[static_cast<std::size_t>(pick(static_cast<int>(g.fx.cells.size())))]); break;
            default: cell.character = static_cast<unsigned char>('0' + pick(10)); break;
        }
    }
    g.fx.Write();
}

TEST(Searches, AgreeWithTheLiteralModelOnGeneratedDatabases) {
    std::mt19937 rng(20261208);
    const char* codes[] = {"=", ">", "<", ">=", "<=", "<>", "-*", "*-", "$", "", "x"};
    const char* values[] = {"1", "2", "A", "Ana", "an", "0", "12", "-3", "Lugo", "7"};
    // Under Wine every file open costs far more, and the model opens the value
    // file for each lookup: fewer rounds there, the same generator.
#if defined(_WIN32)
    const int rounds = 60;
#else
    const int rounds = 300;
#endif
    for (int round = 0; round < rounds; ++round) {
        Generated g;
        Generate(rng, g);
        LinkedDatabase db = g.fx.Database();
        SearchState fast;
        fast.scanRecord = static_cast<int64_t>(rng() % 4);  // left over from an earlier search
        model::State literal{1, fast.scanRecord};
        for (int search = 0; search < 4; ++search) {
            int count = 1 + static_cast<int>(rng() % 3);
            SearchCriteria c;
            for (int k = 0; k < count; ++k) {
                c.names[k] = rng() % 8 == 0 ? "Falta" : g.fields[rng() % g.fields.size()];
                c.values[k] = values[rng() % 10];
                c.codes[k] = rng() % 6 == 0 ? "=" : codes[rng() % 11];
            }
            if (count == 3 && rng() % 3 == 0) {
                c.codes[0] = "=";
                c.codes[1] = ">";
                c.codes[2] = "<>";
            }
            if (count > 1) OrderCriteriaByFields(db, c, count);
            std::vector<std::string> captions;
            auto progress = [&](int64_t r, int64_t n) { captions.push_back(ProgressText(r, n)); };
            if (count == 1) SearchOneField(db, fast, c, progress);
            if (count == 2) SearchTwoFields(db, fast, c, progress);
            if (count == 3) SearchThreeFields(db, fast, c, progress);
            auto expected = model::Search(db, literal, c, count);
            ASSERT_TRUE(expected);
            ASSERT_EQ(Found(fast), expected->found) << "round " << round << " search " << search;
            ASSERT_EQ(fast.scanPosition, literal.scanPosition) << "round " << round << " search " << search;
            ASSERT_EQ(fast.scanRecord, literal.scanRecord) << "round " << round << " search " << search;
            ASSERT_EQ(captions, expected->progress) << "round " << round;
        }
        for (const std::string& f : g.fields)
            for (int64_t r = -1; r <= 27; r += 2)
                ASSERT_EQ(ReadFieldValue(db, f, r), model::ReadFieldValue(db, f, r)) << "round " << round;
    }
}

// The scanner works through its buffer a run of cells at a time. With buffers
// of one to five cells, values and records cross a buffer's edge everywhere.
TEST(Searches, LookupsAgreeWithTheLiteralModelWhereverTheBufferEnds) {
    std::mt19937 rng(8122026);
    const char* codes[] = {"=", "<>", "*-", "$", ">"};
    const char* values[] = {"1", "A", "Ana", "7", ""};
#if defined(_WIN32)
    const int rounds = 20;  // the model opens the value file for each lookup
#else
    const int rounds = 150;
#endif
    for (int round = 0; round < rounds; ++round) {
        Generated g;
        Generate(rng, g);
        LinkedDatabase db = g.fx.Database();
        for (std::size_t bufferCells = 1; bufferCells <= 5; ++bufferCells) {
            std::mt19937 same(static_cast<unsigned>(round));  // the same lookups for every buffer
            ValueScanner scanner(db, bufferCells * layout::kCellSize);
            SearchState fast;
            model::State literal;
            for (int i = 0; i < 30; ++i) {
                const std::string field = same() % 8 == 0 ? "Falta" : g.fields[same() % g.fields.size()];
                const int64_t record = static_cast<int64_t>(same() % 28) - 1;
                const std::string value = values[same() % 5];
                const std::string code = codes[same() % 5];
                const std::string where = "round " + std::to_string(round) + ", buffer of " +
                                          std::to_string(bufferCells) + " cells, lookup " + std::to_string(i);
                ASSERT_EQ(scanner.Lookup(fast, field, record, value, code),
                          model::ReadSearchValue(db, literal, field, record, value, code))
                    << where;
                ASSERT_EQ(fast.scanPosition, literal.scanPosition) << where;
                ASSERT_EQ(fast.scanRecord, literal.scanRecord) << where;
            }
        }
    }
}

}  // namespace
}  // namespace velmar
