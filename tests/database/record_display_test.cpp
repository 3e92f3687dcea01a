#include "database/record_display.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace velmar {
namespace {

// Field types and values held in memory; counts the values read.
class MapSource : public FieldValueSource {
public:
    int16_t TypeOf(std::string_view field) override {
        auto it = types.find(std::string(field));
        return it == types.end() ? 0 : it->second;
    }
    std::string Value(std::string_view field, int64_t record) override {
        ++reads;
        auto it = values.find({std::string(field), record});
        return it == values.end() ? std::string(kNoData) : it->second;
    }
    std::map<std::string, int16_t> types;
    std::map<std::pair<std::string, int64_t>, std::string> values;
    int reads = 0;
};

FieldList Fields(std::initializer_list<std::pair<std::string, std::string>> namesAndOptions) {
    FieldList list;
    for (const auto& [name, options] : namesAndOptions) {
        list.names.push_back(name);
        list.types.push_back(0);
        list.options.push_back(options);
        list.searchFlags.push_back(1);
    }
    return list;
}

constexpr CalendarDate kToday{2026, 3, 27};

std::string Merge(const std::string& text, const FieldList& fields, MapSource& source, int64_t record = 3,
                  CalendarDate today = kToday) {
    return FormatRecordText({text, true}, fields, record, source, today);
}

TEST(FormatRecordText, FillsPlainAndCapitalPlaceholders) {
    MapSource source;
    source.values[{"Nombre", 3}] = "Ana";
    FieldList fields = Fields({{"Nombre", ""}});
    EXPECT_EQ(Merge("Sr. #Nombre", fields, source), "Sr. Ana");
    EXPECT_EQ(Merge("Sr. ##Nombre", fields, source), "Sr. ANA");
    EXPECT_EQ(Merge("#Nombre, #Nombre y #Nombre", fields, source), "Ana, Ana y Ana");
    EXPECT_EQ(Merge("Sr. #Nombre", fields, source, 4), "Sr. No datos");
    EXPECT_EQ(Merge("Sr. ##Nombre", fields, source, 4), "Sr. NO DATOS");
    EXPECT_EQ(Merge("#nombre", fields, source), "#nombre");  // names match byte for byte
}

TEST(FormatRecordText, TheFirstPlaceholderInTheTextDecidesWhichFormIsFilledFirst) {
    MapSource source;
    source.values[{"Nombre", 3}] = "Ana";
    FieldList fields = Fields({{"Nombre", ""}});
    // "#Nombre" first: its replacement also takes the "#Nombre" inside "##Nombre".
    EXPECT_EQ(Merge("#Nombre y ##Nombre", fields, source), "Ana y #Ana");
    // "##Nombre" first: both forms are filled as written.
    EXPECT_EQ(Merge("##Nombre y #Nombre", fields, source), "ANA y Ana");
    // Non-overlapping occurrences from the left: "###Nombre" holds one "##Nombre".
    EXPECT_EQ(Merge("###Nombre", fields, source), "#ANA");
}

TEST(FormatRecordText, PositionsStopAtTheLengthTheTextHadOnEntry) {
    MapSource source;
    source.values[{"a", 3}] = "Anabel";
    FieldList fields = Fields({{"a", ""}});
    // Filling "##a" pushes "#a" past the sixth position, so it is never visited.
    EXPECT_EQ(Merge("##a #a", fields, source), "ANABEL #a");
    source.values[{"a", 3}] = "Ana";
    EXPECT_EQ(Merge("##a #a", fields, source), "ANA Ana");
}

TEST(FormatRecordText, AFieldEarlierInTheListFillsTheLongerNamesItBegins) {
    MapSource source;
    source.values[{"Nombre", 3}] = "Ana";
    source.values[{"Nombre2", 3}] = "Eva";
    EXPECT_EQ(Merge("#Nombre2 / #Nombre", Fields({{"Nombre", ""}, {"Nombre2", ""}}), source), "Ana2 / Ana");
    EXPECT_EQ(Merge("#Nombre2 / #Nombre", Fields({{"Nombre2", ""}, {"Nombre", ""}}), source), "Eva / Ana");
}

TEST(FormatRecordText, OnlyOneToThreeMarksPerFieldAreFilled) {
    MapSource source;
    source.values[{"a", 3}] = "X";
    source.values[{"b", 3}] = "Y";
    FieldList two = Fields({{"a", ""}, {"b", ""}});
    EXPECT_EQ(Merge("#a#b####", two, source), "XY####");      // 6 marks: filled
    EXPECT_EQ(Merge("#a#b#####", two, source), "#a#b#####");  // 7 marks: unchanged
    EXPECT_EQ(Merge("a b", two, source), "a b");              // none: unchanged
    EXPECT_EQ(Merge("#a", FieldList{}, source), "#a");        // no fields
    EXPECT_EQ(FormatRecordText({"#a", false}, two, 3, source, kToday), "");
    EXPECT_EQ(FormatRecordText({"", true}, two, 3, source, kToday), "");
}

TEST(FormatRecordText, TypesWithoutDisplayKeepTheirPlaceholders) {
    MapSource source;
    FieldList fields = Fields({{"f", ""}});
    source.values[{"f", 3}] = "v";
    for (int16_t type : {5, 6, 7, 10, 32767}) {
        source.types["f"] = type;
        EXPECT_EQ(Merge("##f #f", fields, source), "##f #f") << type;
    }
    for (int16_t type : {0, 1, 4, -1, -32768}) {
        source.types["f"] = type;
        EXPECT_EQ(Merge("##f #f", fields, source), "V v") << type;
    }
}

TEST(FormatRecordText, ReadsAValueOnlyWhenItsPlaceholderIsFound) {
    MapSource source;
    source.values[{"a", 3}] = "X";
    FieldList fields = Fields({{"a", ""}, {"b", ""}, {"c", ""}});
    EXPECT_EQ(Merge("##a #a #a", fields, source), "X X X");
    EXPECT_EQ(source.reads, 1);
}

TEST(FormatRecordText, EscapesRtfControlCharactersOfTheInsertedTextOnly) {
    MapSource source;
    source.values[{"Ruta", 3}] = "C:\\temp\\{x}";
    FieldList fields = Fields({{"Ruta", ""}});
    EXPECT_EQ(Merge("{\\b #Ruta}\\par", fields, source), "{\\b C:\\\\temp\\\\\\{x\\}}\\par");
    EXPECT_EQ(Merge("{\\b ##Ruta}\\par", fields, source), "{\\b C:\\\\TEMP\\\\\\{X\\}}\\par");
    // List items and date values are escaped the same way.
    source.types["Ruta"] = 9;
    source.values[{"Ruta", 3}] = "1";
    EXPECT_EQ(Merge("#Ruta", Fields({{"Ruta", "a{b}|c"}}), source), "a\\{b\\}");
    source.types["Ruta"] = 8;
    source.values[{"Ruta", 3}] = "27{03}2026";
    EXPECT_EQ(Merge("#Ruta", fields, source), " (27\\{03\\}2026)");
}

TEST(FormatRecordText, CapitalsFollowTheAnsiCodePage) {
    MapSource source;
    source.values[{"n", 3}] = "se\xF1or \xE1ngel \xFF\x9A\x9C\x9E \xB5\xDF";
    EXPECT_EQ(Merge("##n", Fields({{"n", ""}}), source), "SE\xD1OR \xC1NGEL \x9F\x8A\x8C\x8E \xB5\xDF");
}

TEST(FormatRecordText, AValueHoldingItsOwnPlaceholderTwiceCannotGrowWithoutBound) {
    MapSource source;
    source.values[{"a", 3}] = "#a#a";
    std::string text = Merge("#a" + std::string(200, '.'), Fields({{"a", ""}}), source);
    EXPECT_LE(text.size(), kMaxMergedText);
    EXPECT_GT(text.size(), std::size_t{1} << 20);
    EXPECT_EQ(text.substr(text.size() - 200), std::string(200, '.'));
}

TEST(FormatRecordText, TypesByNameAndOptionsByFieldIndex) {
    MapSource source;
    source.types["L"] = 9;
    source.values[{"L", 3}] = "2";
    // Two definitions of one name: the first in the list fills the placeholders with its own options.
    EXPECT_EQ(Merge("#L", Fields({{"L", "a|b"}, {"L", "x|y"}}), source), "b");
    EXPECT_EQ(FillPlaceholders("L", "#L", 3, 2, Fields({{"L", "a|b"}, {"L", "x|y"}}), source, kToday), "y");
    EXPECT_EQ(FillPlaceholders("L", "#L", 3, 7, Fields({{"L", "a|b"}}), source, kToday), "");
}

TEST(AgeText, TheExamples) {
    EXPECT_EQ(AgeText(2021, 2026, 2, 3, 15, 27), "5 a\xF1os 1 mes 12 dias ");
    EXPECT_EQ(AgeText(2025, 2026, 1, 1, 20, 10), "11 meses 21 dias ");
    EXPECT_EQ(AgeText(2000, 2026, 1, 3, 20, 10), "26 a\xF1os 1 mes 18 dias ");
    EXPECT_EQ(AgeText(2026, 2026, 3, 3, 27, 27), "");
    EXPECT_EQ(AgeText(2027, 2026, 1, 3, 1, 27), "");  // the future
    EXPECT_EQ(AgeText(2026, 2026, 4, 3, 1, 27), "");
    EXPECT_EQ(AgeText(2026, 2026, 3, 3, 28, 27), "");
    EXPECT_EQ(AgeText(2025, 2026, 3, 4, 26, 28), "1 a\xF1o 1 mes 2 dias ");
    EXPECT_EQ(AgeText(2024, 2026, 5, 3, 28, 27), "1 a\xF1o 9 meses 27 dias ");  // 28/02 to 27/03
    EXPECT_EQ(AgeText(2024, 2026, 2, 3, 27, 27), "2 a\xF1os 1 mes ");
    EXPECT_EQ(AgeText(2026, 2026, 3, 3, 26, 27), "1 dia ");
}

TEST(AgeText, ADayThePreviousMonthLacksCountsFromItsLastDay) {
    // February 2026 has 28 days: from 28/02 to 15/03.
    EXPECT_EQ(AgeText(2026, 2026, 1, 3, 31, 15), "1 mes 15 dias ");
    // February 2024 has 29.
    EXPECT_EQ(AgeText(2023, 2024, 1, 3, 31, 1), "1 a\xF1o 1 mes 1 dia ");
    // April has 30: from 30/04 to 05/05.
    EXPECT_EQ(AgeText(2020, 2026, 1, 5, 31, 5), "6 a\xF1os 3 meses 5 dias ");
    // Across the new year: December of the year before.
    EXPECT_EQ(AgeText(2025, 2026, 12, 1, 31, 2), "2 dias ");
}

TEST(DaysBetween, CountsWholeDaysEitherWay) {
    EXPECT_EQ(DaysBetween({2026, 2, 20}, {2026, 3, 10}), 18);
    EXPECT_EQ(DaysBetween({2026, 3, 10}, {2026, 2, 20}), 18);
    EXPECT_EQ(DaysBetween({2024, 2, 28}, {2024, 3, 1}), 2);
    EXPECT_EQ(DaysBetween({1900, 2, 28}, {1900, 3, 1}), 1);
    EXPECT_EQ(DaysBetween({2000, 2, 28}, {2000, 3, 1}), 2);
    EXPECT_EQ(DaysBetween({1601, 1, 1}, {2001, 1, 1}), 146097);
    // A date that does not exist counts as day 0, the first of January 1601.
    EXPECT_EQ(DaysBetween({2020, 2, 30}, {1601, 1, 11}), 10);
    EXPECT_EQ(DaysBetween({1600, 12, 31}, {1601, 1, 3}), 2);
}

TEST(DateDisplayText, ElapsedTimeThenTheStoredDate) {
    EXPECT_EQ(DateDisplayText("15/02/2021", kToday), "5 a\xF1os 1 mes 12 dias  (15/02/2021)");
    EXPECT_EQ(DateDisplayText("27/03/2026", kToday), " (27/03/2026)");
    EXPECT_EQ(DateDisplayText("01/01/2030", kToday), " (01/01/2030)");
    EXPECT_EQ(DateDisplayText("20-01-2025", {2026, 1, 10}), "11 meses 21 dias  (20-01-2025)");
}

TEST(DateDisplayText, WithoutAValidDateOnlyTheStoredTextIsShown) {
    // Without leading zeros the month reads as 0; no calendar date.
    EXPECT_EQ(DateDisplayText("7/3/1985", kToday), " (7/3/1985)");
    EXPECT_EQ(DateDisplayText("31/02/2020", kToday), " (31/02/2020)");
    EXPECT_EQ(DateDisplayText("00/01/2020", kToday), " (00/01/2020)");
    EXPECT_EQ(DateDisplayText("01/13/2020", kToday), " (01/13/2020)");
    EXPECT_EQ(DateDisplayText("01/01/0000", kToday), " (01/01/0000)");
    EXPECT_EQ(DateDisplayText("1./01/2020", kToday), "6 a\xF1os 2 meses 26 dias  (1./01/2020)");
    EXPECT_EQ(DateDisplayText("-1/01/2020", kToday), " (-1/01/2020)");
    EXPECT_EQ(DateDisplayText("abc", kToday), " (abc)");
    EXPECT_EQ(DateDisplayText("", kToday), " ()");
    EXPECT_EQ(DateDisplayText("99/99/99999999", kToday), " (99/99/99999999)");
    // A record without a date shows what a text field without a value shows.
    EXPECT_EQ(DateDisplayText("No datos", kToday), "No datos");
}

TEST(ListDisplayText, SelectsAnItemRoundedHalfToEven) {
    struct Case {
        const char* value;
        const char* shown;
    } cases[] = {{"2", "B"},
                 {"-1", "C"},
                 {"-3", "A"},
                 {"0", ""},
                 {"4", ""},
                 {"-4", ""},
                 {"2.5", "B"},
                 {"1.5", "B"},
                 {"3.5", ""},
                 {"0.5", ""},
                 {"2.51", "C"},
                 {" 1", "A"},
                 {"&H2", "B"},
                 {"3abc", "C"},
                 {"abc", ""},
                 {"No datos", ""},
                 {"1E400", ""},
                 {"-1E400", ""},
                 {"9223372036854775807", ""},
                 {"-9223372036854775808", ""}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ListDisplayText(cases[i].value, "A|B|C"), cases[i].shown) << i << ": " << cases[i].value;
    }
}

TEST(ListDisplayText, TrimsBlanksAtTheEndsOfTheWholeListOnly) {
    EXPECT_EQ(ListDisplayText("1", "  A |B|C  "), "A ");
    EXPECT_EQ(ListDisplayText("3", "  A |B| C  "), " C");
    EXPECT_EQ(ListDisplayText("1", "\tA|B"), "\tA");
    EXPECT_EQ(ListDisplayText("2", "A||C"), "");
    EXPECT_EQ(ListDisplayText("3", "A||C"), "C");
    EXPECT_EQ(ListDisplayText("1", ""), "");
    EXPECT_EQ(ListDisplayText("1", "   "), "");
    EXPECT_EQ(ListDisplayText("-1", "A|"), "");
    EXPECT_EQ(ListDisplayText("1", "solo"), "solo");
}

TEST(ReplaceAll, ReplacesNonOverlappingOccurrencesFromTheLeft) {
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("#a#a", "#a", "#a#a"), "#a#a#a#a");
    EXPECT_EQ(ReplaceAll("xyz", "", "b"), "xyz");
    EXPECT_EQ(ReplaceAll("", "a", "b"), "");
}

}  // namespace
}  // namespace velmar
