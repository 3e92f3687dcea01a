// The formatting bar's state derived from a selection's format, without windows.
#include "ui/format_bar_state.h"

#include <gtest/gtest.h>

#include <utility>

namespace velmar::test {
namespace {

using ui::BarState;
using ui::SelectionFormat;

TEST(PointsFromTwips, RoundsToTheNearestWithHalvesToEven) {
    const std::pair<int32_t, int> cases[] = {{0, 0},  {9, 0},    {10, 0},   {11, 1},   {30, 2},   {50, 2},
                                             {70, 4}, {240, 12}, {249, 12}, {250, 12}, {251, 13}, {270, 14}};
    for (auto [twips, points] : cases) EXPECT_EQ(ui::PointsFromTwips(twips), points) << twips << " twips";
}

constexpr uint32_t kRed = 0x000000FF, kYellow = 0x0000FFFF, kWhite = 0x00FFFFFF;

TEST(DeriveBarState, EveryControlFollowsTheSelectionsFormat) {
    struct Case {
        const char* what;
        SelectionFormat format;
        BarState expected;
    };
    const Case cases[] = {
        {"plain, left, default colours",
         {"Times New Roman", 240, 0, 1, 0, 0, 0},
         {"Times New Roman", "12", false, false, false, false, false, false, false, 0, false, kWhite, false}},
        {"all effects, centred, bulleted, chosen colours",
         {"Arial", 290, 0xF, 3, 1, kRed, kYellow},
         {"Arial", "14", true, true, true, true, true, false, true, kRed, true, kYellow, true}},
        {"italic and strike-out only, right",
         {"", 10, 0xA, 2, 0, kYellow, kRed},
         {"", "0", false, true, false, true, false, true, false, kYellow, false, kRed, false}},
        {"other alignment and numbering codes turn nothing on",
         {"Courier", 250, 0x5, 4, 2, 0x123456, 0x654321},
         {"Courier", "12", true, false, true, false, false, false, false, 0x123456, false, 0x654321, false}},
        // An explicit white highlight and the default background look alike.
        {"white highlight chosen",
         {"A", 260, 0, 0, 0, kRed, 0},
         {"A", "13", false, false, false, false, false, false, false, kRed, true, kWhite, true}},
    };
    for (const Case& c : cases) {
        uint32_t highlight = std::string(c.what) == "white highlight chosen" ? kWhite : kYellow;
        BarState got = ui::DeriveBarState(c.format, kRed, highlight);
        const BarState& e = c.expected;
        SCOPED_TRACE(c.what);
        EXPECT_EQ(got.fontPrefix, e.fontPrefix);
        EXPECT_EQ(got.sizePrefix, e.sizePrefix);
        EXPECT_EQ(got.bold, e.bold);
        EXPECT_EQ(got.italic, e.italic);
        EXPECT_EQ(got.underline, e.underline);
        EXPECT_EQ(got.strikeOut, e.strikeOut);
        EXPECT_EQ(got.centre, e.centre);
        EXPECT_EQ(got.right, e.right);
        EXPECT_EQ(got.bullets, e.bullets);
        EXPECT_EQ(got.textSwatch, e.textSwatch);
        EXPECT_EQ(got.textBox, e.textBox);
        EXPECT_EQ(got.highlightSwatch, e.highlightSwatch);
        EXPECT_EQ(got.highlightBox, e.highlightBox);
    }
}

}  // namespace
}  // namespace velmar::test
