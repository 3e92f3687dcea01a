#include "database/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace velmar {
namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string utf8 = Cp1252ToUtf8(all);
    std::optional<std::string> back = Utf8ToCp1252(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252, ConvertsTheCharactersOfTheHighRange) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\x8A\x9F"), "\u0160\u0178");
    EXPECT_EQ(Cp1252ToUtf8("Espa\xF1"
                           "a"),
              "Espa\u00F1a");
    EXPECT_EQ(Utf8ToCp1252("\u2014\u2122 \u00E1\u00FF"), std::string("\x97\x99 \xE1\xFF"));
}

TEST(Cp1252, RefusesCharactersWithoutAByteAndTellsWhere) {
    Utf8Problem problem;
    EXPECT_FALSE(Utf8ToCp1252("ab\u0101c", &problem).has_value());
    EXPECT_EQ(problem.offset, 2u);
    EXPECT_FALSE(problem.malformed);
    EXPECT_EQ(problem.codePoint, U'\u0101');

    EXPECT_FALSE(Utf8ToCp1252("\u00E1\U0001F600", &problem).has_value());
    EXPECT_EQ(problem.offset, 2u);
    EXPECT_EQ(problem.codePoint, U'\U0001F600');
}

TEST(Cp1252, RefusesMalformedUtf8) {
    const char* cases[] = {"\xC3", "a\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "x\x80"};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        Utf8Problem problem;
        EXPECT_FALSE(Utf8ToCp1252(cases[i], &problem).has_value()) << i;
        EXPECT_TRUE(problem.malformed) << i;
    }
    Utf8Problem problem;
    EXPECT_FALSE(Utf8ToCp1252("ok\xE2\x82", &problem).has_value());
    EXPECT_EQ(problem.offset, 2u);
}

TEST(Cp1252, UpperCasesAsTheAnsiCodePageDoes) {
    EXPECT_EQ(Cp1252Upper("abc xyz 09"), "ABC XYZ 09");
    // á é í ó ú ñ ü ç à ÿ š œ ž -> capitals.
    EXPECT_EQ(Cp1252Upper("\xE1\xE9\xED\xF3\xFA\xF1\xFC\xE7\xE0\xFF\x9A\x9C\x9E"),
              "\xC1\xC9\xCD\xD3\xDA\xD1\xDC\xC7\xC0\x9F\x8A\x8C\x8E");
    // µ, ß, ƒ and ÷ have no capital in the code page; capitals and signs stay.
    EXPECT_EQ(Cp1252Upper("\xB5\xDF\x83\xF7\xC1\x8A{}#"), "\xB5\xDF\x83\xF7\xC1\x8A{}#");
    for (int b = 0; b < 256; ++b) {
        auto upper = Cp1252UpperChar(static_cast<unsigned char>(b));
        EXPECT_EQ(Cp1252UpperChar(upper), upper) << b;
    }
}

}  // namespace
}  // namespace velmar
