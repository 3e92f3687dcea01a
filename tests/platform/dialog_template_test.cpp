// Dialogs made from in-memory templates, read back control by control.
#include "platform/dialog_template.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/ui/ui_test_support.h"

namespace velmar::test {
namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct OwnedDialog {
    HWND window;
    ~OwnedDialog() {
        if (IsWindow(window)) DestroyWindow(window);
    }
};

TEST(DialogTemplate, ControlsComeBackWithTheirIdsClassesTextsStylesAndPlaces) {
    LoadWindowLibraries();
    // Texts of odd and even lengths, so every item has to be realigned.
    platform::DialogTemplate t(L"Prueba", WS_POPUP | WS_CAPTION | DS_MODALFRAME, WS_EX_TOOLWINDOW, 10, 20, 200, 100);
    t.Add({7001, L"STATIC", L"Elige", 5, 5, 60, 10, WS_CHILD | WS_VISIBLE | SS_LEFT, 0});
    t.Add({7002, L"EDIT", L"ab", 5, 20, 90, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE});
    t.Add({7003, L"BUTTON", L"Salir", 100, 80, 50, 15, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0});
    t.Add({7004, L"COMBOBOX", L"", 5, 40, 80, 60, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, 0});
    t.Add({7005, L"RichEdit20A", L"texto", 100, 20, 90, 50, WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0});
    EXPECT_EQ(t.ControlCount(), 5);

    OwnedDialog dialog{CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialog, 0)};
    ASSERT_NE(dialog.window, nullptr) << GetLastError();
    EXPECT_EQ(platform::WindowTextW(dialog.window), L"Prueba");
    EXPECT_NE(GetWindowLongPtrW(dialog.window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(FontOf(dialog.window).face, L"MS Sans Serif");
    EXPECT_EQ(FontOf(dialog.window).height, HeightForPoints(8));

    struct Row {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
        RECT units;
        DWORD style;
    };
    const Row rows[] = {
        {7001, L"Static", L"Elige", {5, 5, 65, 15}, SS_LEFT},
        {7002, L"Edit", L"ab", {5, 20, 95, 34}, WS_TABSTOP | ES_AUTOHSCROLL},
        {7003, L"Button", L"Salir", {100, 80, 150, 95}, WS_TABSTOP},
        {7004, L"ComboBox", L"", {5, 40, 85, 0}, CBS_DROPDOWNLIST | CBS_SORT},
        {7005, L"RichEdit20A", L"texto", {100, 20, 190, 70}, ES_MULTILINE},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i);
        HWND control = GetDlgItem(dialog.window, rows[i].id);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(SameText(platform::ClassNameOf(control), rows[i].cls));
        EXPECT_EQ(platform::WindowTextW(control), rows[i].text);
        RECT r = platform::ChildRectInDialogUnits(dialog.window, control);
        EXPECT_EQ(r.left, rows[i].units.left);
        EXPECT_EQ(r.top, rows[i].units.top);
        EXPECT_EQ(r.right, rows[i].units.right);
        if (rows[i].units.bottom) {
            EXPECT_EQ(r.bottom, rows[i].units.bottom);
        }
        auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        EXPECT_EQ(style & rows[i].style, rows[i].style);
        // The rich-edit control takes the font but does not report it back.
        if (rows[i].id != 7005) {
            EXPECT_EQ(FontOf(control).face, L"MS Sans Serif") << "the template font reaches every control";
        }
    }
    EXPECT_NE(GetWindowLongPtrW(GetDlgItem(dialog.window, 7002), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    RECT client{};
    GetClientRect(dialog.window, &client);
    SIZE units = platform::PixelsToDialogUnits(dialog.window, SIZE{client.right, client.bottom});
    EXPECT_EQ(units.cx, 200);
    EXPECT_EQ(units.cy, 100);
}

// The extended template carries the font's weight, italic and character set,
// which a plain one leaves to the dialog manager.
TEST(DialogTemplate, TheFontIsWrittenWithRegularWeightNotItalicAndTheAnsiCharacterSet) {
    platform::DialogTemplate t(L"", WS_POPUP, 0, 0, 0, 40, 20);
    const auto* words = reinterpret_cast<const WORD*>(t.Get());
    EXPECT_EQ(words[0], 1);       // dlgVer
    EXPECT_EQ(words[1], 0xFFFF);  // the extended template's signature
    // After the 26-byte header: no menu, the dialog class, an empty title.
    EXPECT_EQ(words[13], 0);
    EXPECT_EQ(words[14], 0);
    EXPECT_EQ(words[15], 0);
    EXPECT_EQ(words[16], 8);                              // points
    EXPECT_EQ(words[17], FW_NORMAL);                      // weight 400
    EXPECT_EQ(words[18], MAKEWORD(FALSE, ANSI_CHARSET));  // italic, character set
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(words + 19)), L"MS Sans Serif");

    LoadWindowLibraries();
    OwnedDialog dialog{CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialog, 0)};
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(FontOf(dialog.window).weight, FW_NORMAL);
    EXPECT_FALSE(FontOf(dialog.window).italic);
}

TEST(DialogTemplate, OtherFontsAndEmptyTemplatesAreAccepted) {
    LoadWindowLibraries();
    platform::DialogTemplate t(L"", WS_POPUP, 0, 0, 0, 40, 20, L"Tahoma", 10);
    OwnedDialog dialog{CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialog, 0)};
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(GetWindow(dialog.window, GW_CHILD), nullptr);
    EXPECT_EQ(FontOf(dialog.window).face, L"Tahoma");
    EXPECT_EQ(FontOf(dialog.window).height, HeightForPoints(10));
}

}  // namespace
}  // namespace velmar::test
