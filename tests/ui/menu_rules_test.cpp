// The context menu's enabling rules and the database items' state, without windows.
#include <gtest/gtest.h>

#include "tests/ui/scripted_modal_services.h"
#include "ui/main_menu.h"
#include "ui/main_window_ids.h"

namespace velmar::test {
namespace {

namespace ids = ui::main_ids;

bool Enabled(const std::vector<ui::MenuEntry>& entries, int id) {
    for (const ui::MenuEntry& e : entries)
        if (e.id == id) return e.enabled;
    ADD_FAILURE() << "no entry " << id;
    return false;
}

TEST(ContextMenuRules, EachEntryFollowsItsOwnFact) {
    struct Case {
        ui::ContextMenuFacts facts;
        bool undo, cut, copy, paste, del, selectAll;
    };
    const Case cases[] = {
        {{false, true, false, false}, false, false, false, false, false, false},
        {{true, true, false, false}, true, false, false, false, false, false},
        {{false, false, false, true}, false, true, true, false, true, true},
        {{false, true, true, false}, false, false, false, true, false, false},
        {{false, true, false, true}, false, false, false, false, false, true},
        {{true, false, true, true}, true, true, true, true, true, true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(::testing::Message() << "case " << i);
        auto entries = ui::ContextMenuEntries(cases[i].facts);
        EXPECT_EQ(Enabled(entries, ids::kUndo), cases[i].undo);
        EXPECT_EQ(Enabled(entries, ids::kCut), cases[i].cut);
        EXPECT_EQ(Enabled(entries, ids::kCopy), cases[i].copy);
        EXPECT_EQ(Enabled(entries, ids::kPaste), cases[i].paste);
        EXPECT_EQ(Enabled(entries, ids::kDelete), cases[i].del);
        EXPECT_EQ(Enabled(entries, ids::kSelectAll), cases[i].selectAll);
    }
}

TEST(ContextMenuRules, SeparatorsStandAfterUndoAndBeforeSelectAll) {
    auto entries = ui::ContextMenuEntries({});
    std::vector<int> order;
    for (const ui::MenuEntry& e : entries) order.push_back(e.id);
    EXPECT_EQ(order, (std::vector<int>{1244, 0, 1246, 1247, 1248, 1249, 0, 1250}));
}

TEST(ContextMenuRules, PopupMenuGreysDisabledEntriesAndKeepsSeparators) {
    ui::ContextMenuFacts facts;
    facts.canPaste = true;
    platform::UniqueMenu menu = ui::BuildPopupMenu(ui::ContextMenuEntries(facts));
    std::vector<MenuItemSeen> items = ReadMenu(menu.Get());
    ASSERT_EQ(items.size(), 8u);
    EXPECT_TRUE(items[0].state & MF_GRAYED);
    EXPECT_TRUE(items[1].state & MF_SEPARATOR);
    EXPECT_FALSE(items[4].state & MF_GRAYED) << "paste";
    EXPECT_EQ(items[4].text, L"&paste\tctrl + v");
    EXPECT_TRUE(items[7].state & MF_GRAYED) << "select all on an empty document";
}

TEST(DatabaseMenuRules, LinkedEnablesAndUnlinkedDisablesWithStateTwo) {
    EXPECT_EQ(ui::DatabaseMenuState(true), 0u);
    EXPECT_EQ(ui::DatabaseMenuState(false), 2u);

    platform::UniqueMenu bar = ui::BuildMenuBar();
    ui::ApplyDatabaseMenuState(bar.Get(), false);
    EXPECT_EQ(GetMenuState(bar.Get(), ids::kNavigator, MF_BYCOMMAND), 2u);
    EXPECT_EQ(GetMenuState(bar.Get(), ids::kSearch, MF_BYCOMMAND), 2u);
    EXPECT_EQ(GetMenuState(bar.Get(), ids::kLink, MF_BYCOMMAND), 0u) << "Vincular is never disabled";
    ui::ApplyDatabaseMenuState(bar.Get(), true);
    EXPECT_EQ(GetMenuState(bar.Get(), ids::kNavigator, MF_BYCOMMAND), 0u);
    EXPECT_EQ(GetMenuState(bar.Get(), ids::kSearch, MF_BYCOMMAND), 0u);
}

}  // namespace
}  // namespace velmar::test
