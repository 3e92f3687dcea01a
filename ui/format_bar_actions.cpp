#include "ui/format_bar_actions.h"

#include <commdlg.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/program_state.h"
#include "platform/editor.h"
#include "ui/format_bar.h"
#include "ui/main_window.h"
#include "ui/main_window_ids.h"

namespace velmar::ui {

namespace ids = main_ids;
namespace ed = platform::editor;

namespace {

// Character requests apply to the selection, or with an empty selection to
// the word that holds the caret.
constexpr WPARAM kSelectionOrWord = SCF_SELECTION | SCF_WORD;
constexpr COLORREF kChooserStart = RGB(128, 128, 128);

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool on) {
    SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Selects the first list item that begins with `prefix` (case-insensitive);
// with no such item the list keeps its selection.
void SelectByPrefix(HWND list, const std::string& prefix) {
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix.c_str()));
}

std::string SelectedItemText(HWND list) {
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

}  // namespace

// ---- Requests --------------------------------------------------------------

void SetEffects(MainWindow& window, DWORD effects) {
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = kAllEffects;
    format.dwEffects = effects;
    ed::SetCharFormat(window.Editor(), kSelectionOrWord, format);
    RefreshBar(window);
}

void SetTextColour(MainWindow& window, COLORREF colour) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;  // dwEffects 0: not the automatic colour
    ed::SetCharFormat(window.Editor(), kSelectionOrWord, format);
    RefreshBar(window);
}

void SetBackColour(MainWindow& window, COLORREF colour) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_BACKCOLOR;
    format.crBackColor = colour;  // dwEffects 0: not the default background
    ed::SetCharFormat(window.Editor(), kSelectionOrWord, format);
    RefreshBar(window);
}

void SetAlignment(MainWindow& window, Alignment alignment) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = static_cast<WORD>(alignment);
    ed::SetParaFormat(window.Editor(), format);
    RefreshBar(window);
}

void SetBullets(MainWindow& window, bool on) {
    PARAFORMAT format{};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_NUMBERING;
    format.wNumbering = on ? PFN_BULLET : 0;
    ed::SetParaFormat(window.Editor(), format);
    RefreshBar(window);
}

// ---- Readers ---------------------------------------------------------------

std::string SelectionFace(HWND editor) {
    return ed::SelectionCharFormat(editor, CFM_FACE).szFaceName;
}

DWORD SelectionEffects(HWND editor) {
    return ed::SelectionCharFormat(editor, kAllEffects).dwEffects & kAllEffects;
}

COLORREF SelectionTextColour(HWND editor) {
    return ed::SelectionCharFormat(editor, CFM_COLOR).crTextColor;
}

COLORREF SelectionBackColour(HWND editor) {
    return ed::SelectionCharFormat(editor, CFM_BACKCOLOR).crBackColor;
}

WORD SelectionAlignment(HWND editor) {
    return ed::SelectionParaFormat(editor, PFM_ALIGNMENT).wAlignment;
}

WORD SelectionNumbering(HWND editor) {
    return ed::SelectionParaFormatShort(editor, PFM_NUMBERING).wNumbering;
}

// ---- The bar ---------------------------------------------------------------

namespace {

SelectionFormat ReadSelectionFormat(HWND editor) {
    SelectionFormat format;
    format.face = SelectionFace(editor);
    format.heightTwips = ed::SelectionCharFormat(editor, CFM_SIZE).yHeight;
    format.effects = SelectionEffects(editor);
    format.alignment = SelectionAlignment(editor);
    format.numbering = SelectionNumbering(editor);
    format.textColour = SelectionTextColour(editor);
    format.backColour = SelectionBackColour(editor);
    return format;
}

void ApplyBarState(MainWindow& window, const BarState& bar) {
    SelectByPrefix(window.Control(ids::kFontList), bar.fontPrefix);
    SelectByPrefix(window.Control(ids::kSizeList), bar.sizePrefix);
    SetChecked(window.Control(ids::kBoldToggle), bar.bold);
    SetChecked(window.Control(ids::kItalicToggle), bar.italic);
    SetChecked(window.Control(ids::kUnderlineToggle), bar.underline);
    SetChecked(window.Control(ids::kStrikeOutToggle), bar.strikeOut);
    SetChecked(window.Control(ids::kCentreToggle), bar.centre);
    SetChecked(window.Control(ids::kRightToggle), bar.right);
    SetChecked(window.Control(ids::kBulletToggle), bar.bullets);
    window.FillSwatch(ids::kTextColourSwatch, bar.textSwatch);
    SetChecked(window.Control(ids::kTextColourBox), bar.textBox);
    window.FillSwatch(ids::kHighlightSwatch, bar.highlightSwatch);
    SetChecked(window.Control(ids::kHighlightBox), bar.highlightBox);
}

}  // namespace

void RefreshBar(MainWindow& window) {
    HWND editor = window.Editor();
    const ChosenColours& chosen = window.State().colours;
    ApplyBarState(window, DeriveBarState(ReadSelectionFormat(editor), chosen.text, chosen.highlight));
    SetFocus(editor);
}

void OnFontListChosen(MainWindow& window) {
    std::string face = SelectedItemText(window.Control(ids::kFontList));
    if (face.empty()) return;  // no item selected: nothing to apply
    SetFace(window, face);
}

void OnSizeListChosen(MainWindow& window) {
    std::string size = SelectedItemText(window.Control(ids::kSizeList));
    if (size.empty()) return;
    SetSize(window, std::atoi(size.c_str()));
}

void OnEffectToggle(MainWindow& window, int toggleId) {
    DWORD bit = 0;
    switch (toggleId) {
        case ids::kBoldToggle:
            bit = kBold;
            break;
        case ids::kItalicToggle:
            bit = kItalic;
            break;
        case ids::kUnderlineToggle:
            bit = kUnderline;
            break;
        case ids::kStrikeOutToggle:
            bit = kStrikeOut;
            break;
        default:
            return;
    }
    // The other three effects take what the editor reports for the selection,
    // so one click also makes them uniform over it.
    DWORD current = SelectionEffects(window.Editor());
    bool on = IsChecked(window.Control(toggleId));
    SetEffects(window, on ? (current | bit) : (current & ~bit));
}

void OnColourBox(MainWindow& window, int boxId) {
    bool on = IsChecked(window.Control(boxId));
    const ChosenColours& chosen = window.State().colours;
    if (boxId == ids::kTextColourBox) SetTextColour(window, on ? chosen.text : kBlack);
    if (boxId == ids::kHighlightBox) SetBackColour(window, on ? chosen.highlight : kWhite);
}

void OnParagraphToggle(MainWindow& window, int toggleId) {
    bool on = IsChecked(window.Control(toggleId));
    if (toggleId == ids::kRightToggle) SetAlignment(window, on ? Alignment::Right : Alignment::Left);
    if (toggleId == ids::kCentreToggle) SetAlignment(window, on ? Alignment::Centre : Alignment::Left);
    if (toggleId == ids::kBulletToggle) SetBullets(window, on);
}

void OnSwatchClicked(MainWindow& window, int swatchId) {
    ChooseSwatchColour(window, swatchId);
}

void ChooseSwatchColour(MainWindow& window, int swatchId) {
    if (swatchId != ids::kTextColourSwatch && swatchId != ids::kHighlightSwatch) return;
    ChosenColours& chosen = window.State().colours;
    std::array<COLORREF, 16> custom{};
    for (std::size_t i = 0; i < custom.size(); ++i) custom[i] = chosen.custom[i];

    auto colour = window.Modal().ChooseColour({window.Window(), kChooserStart, CC_RGBINIT | CC_FULLOPEN}, custom);

    // The custom colours the user defined stay for the run, even on a cancel.
    for (std::size_t i = 0; i < custom.size(); ++i) chosen.custom[i] = custom[i];
    if (!colour) return;
    if (swatchId == ids::kTextColourSwatch) chosen.text = *colour;
    if (swatchId == ids::kHighlightSwatch) chosen.highlight = *colour;
    window.FillSwatch(swatchId, *colour);
}

}  // namespace velmar::ui
