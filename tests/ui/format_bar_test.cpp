// The formatting bar on the real main window: every control's request read
// back from the editor, the bar brought into line with each selection, and
// the swatches' colour chooser with scripted answers.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "platform/editor.h"
#include "platform/text.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/format_bar.h"
#include "ui/format_bar_actions.h"
#include "ui/main_window_ids.h"

namespace velmar::test {
namespace {

namespace ids = ui::main_ids;
namespace ed = platform::editor;

constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class FormatBarTest : public MainWindowFixture {
protected:
    void SetText(const char* text) {
        ed::SetTextAnsi(Editor(), text);
        PumpPending();
    }
    // Selecting in the editor notifies the window (EN_SELCHANGE), which
    // refreshes the bar. The editor only notifies a change, so the selection
    // first moves elsewhere.
    void Select(LONG start, LONG end) {
        CHARRANGE now = ed::Selection(Editor());
        if (now.cpMin == start && now.cpMax == end) ed::SetSelection(Editor(), start == 0 ? 1 : 0, 0);
        PumpPending();
        ed::SetSelection(Editor(), start, end);
        PumpPending();
    }
    CHARFORMAT2A FormatOf(LONG start, LONG end) {
        ed::SetSelection(Editor(), start, end);
        PumpPending();
        return ed::SelectionCharFormat(Editor(), 0);
    }
    // Formats part of the text directly, not through the bar.
    void Format(LONG start, LONG end, CHARFORMAT2A format) {
        format.cbSize = sizeof(format);
        ed::SetSelection(Editor(), start, end);
        ed::SetCharFormat(Editor(), SCF_SELECTION, format);
        PumpPending();
    }
    void SetHeightTwips(LONG start, LONG end, LONG twips) {
        CHARFORMAT2A format{};
        format.dwMask = CFM_SIZE;
        format.yHeight = twips;
        Format(start, end, format);
    }
    std::wstring ListText(int id) {
        HWND list = Control(id);
        LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return L"(none)";
        wchar_t text[256] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Chooses a list item as the user does: selection, then CBN_SELENDOK.
    void ChooseListItem(int id, const std::wstring& item) {
        LRESULT index = SendMessageW(Control(id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(item.c_str()));
        ASSERT_NE(index, CB_ERR) << "no item '" << platform::AnsiFromWide(item) << "'";
        SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Command(id, CBN_SELENDOK);
    }
    std::vector<std::wstring> ListItems(int id) {
        std::vector<std::wstring> items;
        LRESULT count = SendMessageW(Control(id), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            SendMessageW(Control(id), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        return items;
    }
    // A TrueType family of the font list other than Times New Roman.
    std::wstring OtherFamily() {
        std::wstring other;
        for (const std::wstring& item : ListItems(ids::kFontList))
            if (item.find(L"Times") != 0 && (other.empty() || item == L"Liberation Mono")) other = item;
        return other;
    }
    COLORREF PaintedColour(int swatchId) {
        HWND swatch = Control(swatchId);
        InvalidateRect(swatch, nullptr, TRUE);
        UpdateWindow(swatch);
        RECT r{};
        GetClientRect(swatch, &r);
        HDC dc = GetDC(swatch);
        COLORREF centre = GetPixel(dc, r.right / 2, r.bottom / 2);
        ReleaseDC(swatch, dc);
        return centre;
    }
    void ClickSwatch(int swatchId) { Command(swatchId, STN_CLICKED); }
};

// ---- Effects ---------------------------------------------------------------

struct EffectCase {
    int toggle;
    DWORD bit;
};

TEST_F(FormatBarTest, EachEffectToggleSetsAndClearsItsEffectOnTheSelectionOnly) {
    const EffectCase cases[] = {{ids::kBoldToggle, CFE_BOLD},
                                {ids::kItalicToggle, CFE_ITALIC},
                                {ids::kUnderlineToggle, CFE_UNDERLINE},
                                {ids::kStrikeOutToggle, CFE_STRIKEOUT}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        SetText("uno dos tres");
        Select(4, 7);
        EXPECT_FALSE(Checked(cases[i].toggle));
        Click(cases[i].toggle);
        EXPECT_TRUE(Checked(cases[i].toggle));

        CHARFORMAT2A on = FormatOf(4, 7);
        EXPECT_TRUE(on.dwMask & cases[i].bit) << "uniform over the selection";
        EXPECT_EQ(on.dwEffects & ui::kAllEffects, cases[i].bit) << "only this effect";
        EXPECT_EQ(FormatOf(0, 3).dwEffects & ui::kAllEffects, 0u) << "text before the selection untouched";
        EXPECT_EQ(FormatOf(8, 12).dwEffects & ui::kAllEffects, 0u) << "text after the selection untouched";

        Select(4, 7);
        EXPECT_TRUE(Checked(cases[i].toggle)) << "the bar shows the effect of the selection";
        Click(cases[i].toggle);
        EXPECT_FALSE(Checked(cases[i].toggle));
        EXPECT_EQ(FormatOf(4, 7).dwEffects & ui::kAllEffects, 0u);
    }
}

TEST_F(FormatBarTest, EffectsAddUpAndOneClickMakesTheOthersUniformAsTheEditorReportsThem) {
    SetText("abcdef");
    CHARFORMAT2A italic{};
    italic.dwMask = CFM_ITALIC | CFM_UNDERLINE;
    italic.dwEffects = CFE_ITALIC | CFE_UNDERLINE;
    Format(0, 3, italic);  // "abc" italic and underlined, "def" neither

    Select(0, 6);
    DWORD reported = ui::SelectionEffects(Editor());
    Click(ids::kBoldToggle);

    CHARFORMAT2A whole = FormatOf(0, 6);
    EXPECT_EQ(whole.dwMask & ui::kAllEffects, ui::kAllEffects) << "all four effects uniform after one click";
    EXPECT_EQ(whole.dwEffects & ui::kAllEffects, reported | CFE_BOLD);
    EXPECT_EQ(FormatOf(3, 6).dwEffects & ui::kAllEffects, reported | CFE_BOLD);

    // Further effects add to those already there.
    Select(0, 6);
    Click(ids::kStrikeOutToggle);
    EXPECT_EQ(FormatOf(0, 6).dwEffects & ui::kAllEffects, reported | CFE_BOLD | CFE_STRIKEOUT);
}

TEST_F(FormatBarTest, WithAnEmptySelectionTheEffectGoesToTheWordAtTheCaret) {
    SetText("uno dos tres");
    Select(5, 5);  // inside "dos"
    Click(ids::kItalicToggle);
    EXPECT_TRUE(FormatOf(4, 7).dwEffects & CFE_ITALIC);
    EXPECT_FALSE(FormatOf(0, 3).dwEffects & CFE_ITALIC);
    EXPECT_FALSE(FormatOf(8, 12).dwEffects & CFE_ITALIC);
}

// ---- Colours ---------------------------------------------------------------

TEST_F(FormatBarTest, TextColourBoxAppliesTheChosenColourAndBlackWhenTurnedOff) {
    SetText("rojo negro");
    Select(0, 4);
    EXPECT_FALSE(Checked(ids::kTextColourBox));
    Click(ids::kTextColourBox);
    CHARFORMAT2A red = FormatOf(0, 4);
    EXPECT_EQ(red.crTextColor, RGB(255, 0, 0));
    EXPECT_FALSE(red.dwEffects & CFE_AUTOCOLOR);
    Select(0, 4);
    EXPECT_TRUE(Checked(ids::kTextColourBox));
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), RGB(255, 0, 0));
    EXPECT_TRUE(FormatOf(5, 10).dwEffects & CFE_AUTOCOLOR) << "the rest keeps the automatic colour";

    Select(0, 4);
    Click(ids::kTextColourBox);
    CHARFORMAT2A black = FormatOf(0, 4);
    EXPECT_EQ(black.crTextColor, RGB(0, 0, 0));
    EXPECT_FALSE(black.dwEffects & CFE_AUTOCOLOR) << "an explicit black, not the automatic colour";
    Select(0, 4);
    EXPECT_FALSE(Checked(ids::kTextColourBox));
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), RGB(0, 0, 0));
}

TEST_F(FormatBarTest, HighlightBoxAppliesTheChosenColourAndAnExplicitWhiteWhenTurnedOff) {
    SetText("resaltado normal");
    Select(0, 9);
    EXPECT_FALSE(Checked(ids::kHighlightBox)) << "the default background is not the chosen yellow";
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), RGB(255, 255, 255)) << "default background shows white";

    Click(ids::kHighlightBox);
    CHARFORMAT2A yellow = FormatOf(0, 9);
    EXPECT_EQ(yellow.crBackColor, RGB(255, 255, 0));
    EXPECT_FALSE(yellow.dwEffects & CFE_AUTOBACKCOLOR);
    Select(0, 9);
    EXPECT_TRUE(Checked(ids::kHighlightBox));
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), RGB(255, 255, 0));

    Click(ids::kHighlightBox);
    CHARFORMAT2A white = FormatOf(0, 9);
    EXPECT_EQ(white.crBackColor, RGB(255, 255, 255));
    EXPECT_FALSE(white.dwEffects & CFE_AUTOBACKCOLOR) << "an explicit white, not the default background";
    EXPECT_TRUE(FormatOf(10, 16).dwEffects & CFE_AUTOBACKCOLOR) << "the rest keeps the default background";
}

TEST_F(FormatBarTest, ColourChooserStartsGreyFullOpenOwnedByTheWindow) {
    ClickSwatch(ids::kTextColourSwatch);
    ASSERT_EQ(modal_.asked.size(), 1u);
    const Asked& asked = modal_.asked[0];
    EXPECT_EQ(asked.kind, Asked::Kind::Colour);
    EXPECT_EQ(asked.owner, Window());
    EXPECT_EQ(asked.initialColour, RGB(128, 128, 128));
    EXPECT_EQ(asked.type, static_cast<UINT>(CC_RGBINIT | CC_FULLOPEN));
}

TEST_F(FormatBarTest, ChosenColourFillsTheSwatchAndColoursTextOnlyWhenTheBoxIsTurnedOn) {
    SetText("verde");
    Select(0, 5);
    modal_.colourAnswers.push_back(kGreen);
    ClickSwatch(ids::kTextColourSwatch);
    EXPECT_EQ(state_.colours.text, kGreen);
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), kGreen);
    EXPECT_TRUE(FormatOf(0, 5).dwEffects & CFE_AUTOCOLOR) << "the text is not coloured yet";

    Select(0, 5);
    Click(ids::kTextColourBox);
    EXPECT_EQ(FormatOf(0, 5).crTextColor, kGreen);
    Select(0, 5);
    EXPECT_TRUE(Checked(ids::kTextColourBox)) << "the box is on for text in the chosen colour";

    modal_.colourAnswers.push_back(kBlue);
    ClickSwatch(ids::kHighlightSwatch);
    EXPECT_EQ(state_.colours.highlight, kBlue);
    EXPECT_EQ(state_.colours.text, kGreen) << "each swatch has its own colour";
    Select(0, 5);
    Click(ids::kHighlightBox);
    EXPECT_EQ(FormatOf(0, 5).crBackColor, kBlue);
}

TEST_F(FormatBarTest, CancelledChooserChangesNeitherTheColourNorTheSwatch) {
    SetText("texto");
    Select(0, 5);
    COLORREF swatchBefore = window_->SwatchColour(ids::kHighlightSwatch);
    modal_.colourAnswers.push_back(std::nullopt);
    ClickSwatch(ids::kHighlightSwatch);
    ASSERT_EQ(modal_.asked.size(), 1u);
    EXPECT_EQ(state_.colours.highlight, RGB(255, 255, 0));
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), swatchBefore);
    EXPECT_TRUE(FormatOf(0, 5).dwEffects & CFE_AUTOBACKCOLOR);
}

TEST_F(FormatBarTest, CustomColoursAreKeptForTheRunAndSharedByBothSwatches) {
    std::array<COLORREF, 16> defined{};
    defined[0] = RGB(10, 20, 30);
    defined[15] = RGB(200, 100, 50);
    modal_.customColourEdits.push_back(defined);
    modal_.colourAnswers.push_back(std::nullopt);  // defined, then cancelled
    ClickSwatch(ids::kTextColourSwatch);
    modal_.colourAnswers.push_back(kGreen);
    ClickSwatch(ids::kHighlightSwatch);

    ASSERT_EQ(modal_.asked.size(), 2u);
    EXPECT_EQ(modal_.asked[0].customColours, (std::array<COLORREF, 16>{})) << "all black at start";
    EXPECT_EQ(modal_.asked[1].customColours, defined) << "the other swatch's chooser gets them";
    EXPECT_EQ(state_.colours.custom[0], RGB(10, 20, 30));
    EXPECT_EQ(state_.colours.custom[15], RGB(200, 100, 50));
}

TEST_F(FormatBarTest, SwatchesArePaintedInTheirColoursAndKeepThemWhenRepainted) {
    Show();
    SetText("texto");
    Select(0, 5);
    Click(ids::kHighlightBox);
    EXPECT_EQ(PaintedColour(ids::kHighlightSwatch), RGB(255, 255, 0)) << "the selection's highlight";
    modal_.colourAnswers.push_back(kBlue);
    ClickSwatch(ids::kTextColourSwatch);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PaintedColour(ids::kTextColourSwatch), kBlue) << "repaint " << i;
    modal_.colourAnswers.push_back(std::nullopt);
    ClickSwatch(ids::kTextColourSwatch);
    EXPECT_EQ(PaintedColour(ids::kTextColourSwatch), kBlue) << "a cancelled choice leaves it";
    EXPECT_EQ(PaintedColour(ids::kHighlightSwatch), RGB(255, 255, 0));
}

TEST_F(FormatBarTest, EveryBarControlGivesTheFocusBackToTheEditor) {
    Show();
    SetText("foco");
    for (int id :
         {ids::kBoldToggle, ids::kItalicToggle, ids::kUnderlineToggle, ids::kStrikeOutToggle, ids::kTextColourBox,
          ids::kHighlightBox, ids::kRightToggle, ids::kCentreToggle, ids::kBulletToggle}) {
        Select(0, 4);
        SetFocus(Control(id));
        Click(id);
        EXPECT_EQ(GetFocus(), Editor()) << "control " << id;
    }
    SetFocus(Control(ids::kSizeList));
    ChooseListItem(ids::kSizeList, L"20");
    EXPECT_EQ(GetFocus(), Editor()) << "size list";
    SetFocus(Control(ids::kSizeList));
    Select(1, 2);
    EXPECT_EQ(GetFocus(), Editor()) << "a selection change refreshes the bar, which ends with the editor";
}

// ---- Paragraphs ------------------------------------------------------------

TEST_F(FormatBarTest, AlignmentTogglesActAsOneGroupWithLeftWhenBothAreOff) {
    SetText("primero\rsegundo");
    Select(9, 9);  // in the second paragraph
    Click(ids::kRightToggle);
    EXPECT_EQ(ui::SelectionAlignment(Editor()), PFA_RIGHT);
    EXPECT_TRUE(Checked(ids::kRightToggle));
    EXPECT_FALSE(Checked(ids::kCentreToggle));

    Click(ids::kCentreToggle);
    EXPECT_EQ(ui::SelectionAlignment(Editor()), PFA_CENTER);
    EXPECT_TRUE(Checked(ids::kCentreToggle));
    EXPECT_FALSE(Checked(ids::kRightToggle)) << "the bar shows the one alignment";

    Select(0, 0);
    EXPECT_EQ(ui::SelectionAlignment(Editor()), PFA_LEFT) << "the first paragraph is untouched";
    EXPECT_FALSE(Checked(ids::kCentreToggle));
    EXPECT_FALSE(Checked(ids::kRightToggle));

    Select(9, 9);
    Click(ids::kCentreToggle);
    EXPECT_EQ(ui::SelectionAlignment(Editor()), PFA_LEFT) << "turning a toggle off aligns left";
    Click(ids::kRightToggle);
    Click(ids::kRightToggle);
    EXPECT_EQ(ui::SelectionAlignment(Editor()), PFA_LEFT);
}

TEST_F(FormatBarTest, BulletToggleNumbersTheParagraphWithBulletsAndRemovesThem) {
    SetText("uno\rdos");
    Select(0, 0);
    Click(ids::kBulletToggle);
    EXPECT_EQ(ed::SelectionParaFormatShort(Editor(), PFM_NUMBERING).wNumbering, PFN_BULLET);
    EXPECT_TRUE(Checked(ids::kBulletToggle));
    Select(5, 5);
    EXPECT_FALSE(Checked(ids::kBulletToggle)) << "the second paragraph has no bullet";
    Select(0, 0);
    EXPECT_TRUE(Checked(ids::kBulletToggle));
    Click(ids::kBulletToggle);
    EXPECT_EQ(ed::SelectionParaFormatShort(Editor(), PFM_NUMBERING).wNumbering, 0);
}

// ---- Face and size ---------------------------------------------------------

TEST_F(FormatBarTest, FontListAppliesTheLookedUpFamilyWithItsCharsetAndPitch) {
    std::wstring other = OtherFamily();
    ASSERT_FALSE(other.empty()) << "a TrueType family besides Times New Roman";

    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, other.c_str(), LF_FACESIZE);
    LOGFONTW found{};
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) -> int {
            *reinterpret_cast<LOGFONTW*>(out) = *font;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);

    SetText("uno dos");
    std::string before = FormatOf(4, 7).szFaceName;
    Select(0, 3);
    ChooseListItem(ids::kFontList, other);
    CHARFORMAT2A format = FormatOf(0, 3);
    EXPECT_EQ(platform::WideFromAnsi(format.szFaceName), other);
    EXPECT_EQ(format.bCharSet, found.lfCharSet);
    EXPECT_EQ(format.bPitchAndFamily & 0xF3, found.lfPitchAndFamily & 0xF3);
    EXPECT_EQ(FormatOf(4, 7).szFaceName, before) << "the rest keeps its face";
    Select(0, 3);
    EXPECT_EQ(ListText(ids::kFontList), other);
}

TEST_F(FormatBarTest, FontListNamesEachFamilyOnce) {
    std::vector<std::wstring> items = ListItems(ids::kFontList);
    ASSERT_FALSE(items.empty());
    for (std::size_t i = 1; i < items.size(); ++i)
        EXPECT_NE(lstrcmpiW(items[i - 1].c_str(), items[i].c_str()), 0) << platform::AnsiFromWide(items[i]);
}

TEST_F(FormatBarTest, SizeListAppliesPointsAsTwips) {
    SetText("grande normal");
    LONG before = FormatOf(7, 13).yHeight;
    Select(0, 6);
    ChooseListItem(ids::kSizeList, L"36");
    EXPECT_EQ(FormatOf(0, 6).yHeight, 720);
    EXPECT_EQ(FormatOf(7, 13).yHeight, before);
    Select(0, 6);
    EXPECT_EQ(ListText(ids::kSizeList), L"36");
}

// ---- The bar follows the selection -----------------------------------------

TEST_F(FormatBarTest, BarShowsEveryPropertyOfASelectionAndThenOfAnother) {
    SetText("formato\rnormal");
    std::wstring other = OtherFamily();
    ASSERT_FALSE(other.empty());
    ed::SetSelection(Editor(), 0, -1);
    ui::SetFace(*window_, "times new roman");
    ui::SetSize(*window_, 12);
    CHARFORMAT2A rich{};
    rich.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_UNDERLINE | CFM_COLOR | CFM_BACKCOLOR;
    lstrcpynA(rich.szFaceName, platform::AnsiFromWide(other).c_str(), LF_FACESIZE);
    rich.yHeight = 28 * 20;
    rich.dwEffects = CFE_BOLD | CFE_UNDERLINE;
    rich.crTextColor = RGB(255, 0, 0);
    rich.crBackColor = RGB(255, 255, 0);
    Format(0, 7, rich);
    PARAFORMAT2 centre{};
    centre.cbSize = sizeof(centre);
    centre.dwMask = PFM_ALIGNMENT;
    centre.wAlignment = PFA_CENTER;
    ed::SetParaFormat(Editor(), centre);
    PARAFORMAT bullet{};
    bullet.cbSize = sizeof(bullet);
    bullet.dwMask = PFM_NUMBERING;
    bullet.wNumbering = PFN_BULLET;
    ed::SetParaFormat(Editor(), bullet);

    Select(0, 7);
    EXPECT_EQ(ListText(ids::kFontList), other);
    EXPECT_EQ(ListText(ids::kSizeList), L"28");
    EXPECT_TRUE(Checked(ids::kBoldToggle));
    EXPECT_FALSE(Checked(ids::kItalicToggle));
    EXPECT_TRUE(Checked(ids::kUnderlineToggle));
    EXPECT_FALSE(Checked(ids::kStrikeOutToggle));
    EXPECT_TRUE(Checked(ids::kCentreToggle));
    EXPECT_FALSE(Checked(ids::kRightToggle));
    EXPECT_TRUE(Checked(ids::kBulletToggle));
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), RGB(255, 0, 0));
    EXPECT_TRUE(Checked(ids::kTextColourBox));
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), RGB(255, 255, 0));
    EXPECT_TRUE(Checked(ids::kHighlightBox));

    Select(8, 14);
    EXPECT_EQ(ListText(ids::kSizeList), L"12");
    // The list holds the TrueType families the screen reports; a face the
    // font mapper substitutes may not be among them, and then the list keeps
    // its selection.
    bool listed = SendMessageW(Control(ids::kFontList), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(L"Times New Roman")) != CB_ERR;
    EXPECT_EQ(ListText(ids::kFontList), listed ? L"Times New Roman" : other);
    for (int id : {ids::kBoldToggle, ids::kUnderlineToggle, ids::kCentreToggle, ids::kBulletToggle, ids::kTextColourBox,
                   ids::kHighlightBox})
        EXPECT_FALSE(Checked(id)) << "control " << id;
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), RGB(0, 0, 0));
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), RGB(255, 255, 255));
}

TEST_F(FormatBarTest, MixedSelectionShowsWhatTheEditorReportsForIt) {
    SetText("negrita normal");
    CHARFORMAT2A bold{};
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    Format(0, 7, bold);
    Select(0, 14);
    EXPECT_EQ(Checked(ids::kBoldToggle), (ui::SelectionEffects(Editor()) & CFE_BOLD) != 0);
    Select(2, 4);
    EXPECT_TRUE(Checked(ids::kBoldToggle));
    Select(9, 12);
    EXPECT_FALSE(Checked(ids::kBoldToggle));
}

struct SizeCase {
    LONG twips;
    const wchar_t* shown;  // the size list's selection afterwards
};

TEST_F(FormatBarTest, SizeListSelectsTheFirstItemBeginningWithTheRoundedPoints) {
    // Each case starts from "10" selected in the list.
    const SizeCase cases[] = {
        {7 * 20, L"72"},   // "7" begins "72"
        {13 * 20, L"10"},  // nothing begins with "13": the list keeps its selection
        {150, L"8"},       // 7.5 points: halves go to the even neighbour
        {170, L"8"},       // 8.5 points
        {190, L"10"},      // 9.5 points
        {230, L"12"},      // 11.5 points
        {245, L"12"},      // 12.25 points
        {1 * 20, L"10"},   // "1" begins "10", the first such item
        {2 * 20, L"20"},  {48 * 20, L"48"},
    };
    SetText("tamano");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        SetHeightTwips(0, 6, 200);
        Select(0, 6);
        ASSERT_EQ(ListText(ids::kSizeList), L"10");
        SetHeightTwips(0, 6, cases[i].twips);
        ASSERT_EQ(FormatOf(0, 6).yHeight, cases[i].twips) << "the editor keeps the height";
        Select(0, 6);
        EXPECT_EQ(ListText(ids::kSizeList), cases[i].shown);
    }
}

TEST_F(FormatBarTest, AtStartTheBarShowsTheTwelvePointsOfTheInitialText) {
    EXPECT_EQ(ListText(ids::kSizeList), L"12");
    EXPECT_FALSE(Checked(ids::kBoldToggle));
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), RGB(255, 255, 255));
}

// A format request the editor received: message, wParam, structure size and mask.
struct EditorRequest {
    UINT message;
    WPARAM wParam;
    UINT size;
    DWORD mask;
    bool operator==(const EditorRequest&) const = default;
};

LRESULT CALLBACK RecordRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* seen = reinterpret_cast<std::vector<EditorRequest>*>(data);
    if (message == EM_GETCHARFORMAT || message == EM_SETCHARFORMAT) {
        const auto* f = reinterpret_cast<const CHARFORMAT2A*>(lParam);
        seen->push_back({message, wParam, f->cbSize, f->dwMask});
    } else if (message == EM_GETPARAFORMAT || message == EM_SETPARAFORMAT) {
        const auto* f = reinterpret_cast<const PARAFORMAT*>(lParam);
        seen->push_back({message, wParam, f->cbSize, f->dwMask});
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(FormatBarTest, BarAsksTheEditorForTheSelectionsFormatOnceEachInItsOrder) {
    SetText("uno dos");
    Select(0, 3);
    std::vector<EditorRequest> seen;
    ASSERT_TRUE(SetWindowSubclass(Editor(), RecordRequests, 1, reinterpret_cast<DWORD_PTR>(&seen)));
    ui::RefreshBar(*window_);
    RemoveWindowSubclass(Editor(), RecordRequests, 1);
    const UINT chars = sizeof(CHARFORMAT2A), paraLong = sizeof(PARAFORMAT2), paraShort = sizeof(PARAFORMAT);
    const std::vector<EditorRequest> expected = {
        {EM_GETCHARFORMAT, SCF_SELECTION, chars, CFM_FACE},
        {EM_GETCHARFORMAT, SCF_SELECTION, chars, CFM_SIZE},
        {EM_GETCHARFORMAT, SCF_SELECTION, chars, CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT},
        {EM_GETPARAFORMAT, 0, paraLong, PFM_ALIGNMENT},
        {EM_GETPARAFORMAT, 0, paraShort, PFM_NUMBERING},
        {EM_GETCHARFORMAT, SCF_SELECTION, chars, CFM_COLOR},
        {EM_GETCHARFORMAT, SCF_SELECTION, chars, CFM_BACKCOLOR},
    };
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(seen[i] == expected[i]) << "request " << i << ": message " << seen[i].message << " mask "
                                            << seen[i].mask << " size " << seen[i].size;
}

}  // namespace
}  // namespace velmar::test
