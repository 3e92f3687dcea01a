// The formatting operations behind the bar's controls, the readers of the
// selection's format they and RefreshBar use, and the swatches' colour choice.
// Every operation ends by bringing the bar into line with the selection.
#pragma once

#include <windows.h>
// after windows.h
#include <richedit.h>

#include <string>

#include "ui/format_bar_state.h"

namespace velmar::ui {

class MainWindow;

// The effect bits (the bar's own numbers, which are the editor's), and the
// mask of all four.
inline constexpr DWORD kBold = kEffectBold;
inline constexpr DWORD kItalic = kEffectItalic;
inline constexpr DWORD kUnderline = kEffectUnderline;
inline constexpr DWORD kStrikeOut = kEffectStrikeOut;
inline constexpr DWORD kAllEffects = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;

enum class Alignment : WORD { Left = PFA_LEFT, Right = kAlignRight, Centre = kAlignCentre };

static_assert(kBold == CFE_BOLD && kItalic == CFE_ITALIC && kUnderline == CFE_UNDERLINE && kStrikeOut == CFE_STRIKEOUT);
static_assert(kAlignRight == PFA_RIGHT && kAlignCentre == PFA_CENTER && kNumberingBullet == PFN_BULLET);

// Sets all four effects of the selection at once to `effects`.
void SetEffects(MainWindow& window, DWORD effects);
// The text colour, clearing the automatic colour.
void SetTextColour(MainWindow& window, COLORREF colour);
// An explicit background colour (never the default one).
void SetBackColour(MainWindow& window, COLORREF colour);
void SetAlignment(MainWindow& window, Alignment alignment);
void SetBullets(MainWindow& window, bool on);

// The selection's format, as the editor reports it for the selection.
std::string SelectionFace(HWND editor);
DWORD SelectionEffects(HWND editor);  // only the four effect bits
COLORREF SelectionTextColour(HWND editor);
COLORREF SelectionBackColour(HWND editor);  // as reported: 0 for the default background
WORD SelectionAlignment(HWND editor);
WORD SelectionNumbering(HWND editor);

// Hooks filled in with the formatting commands: bringing every bar control
// into line with the selection, and the bar controls' handlers.
void RefreshBar(MainWindow& window);
void OnFontListChosen(MainWindow& window);
void OnSizeListChosen(MainWindow& window);
void OnEffectToggle(MainWindow& window, int toggleId);
void OnColourBox(MainWindow& window, int boxId);
void OnParagraphToggle(MainWindow& window, int toggleId);
void OnSwatchClicked(MainWindow& window, int swatchId);

// The colour chooser of a swatch, initially grey with the custom colours open.
// A chosen colour becomes the chosen text or highlight colour and fills the
// swatch; the text is only coloured when the matching box is next turned on.
void ChooseSwatchColour(MainWindow& window, int swatchId);

}  // namespace velmar::ui
