// The formatting operations behind the bar's controls, the readers of the
// selection's format they and RefreshBar use, and the swatches' colour choice.
// Every operation ends by bringing the bar into line with the selection.
#pragma once

#include <windows.h>
// after windows.h
#include <richedit.h>

#include <string>

namespace velmar::ui {

class MainWindow;

// Effect bits as the editor defines them, and the mask of all four.
inline constexpr DWORD kBold = CFE_BOLD;
inline constexpr DWORD kItalic = CFE_ITALIC;
inline constexpr DWORD kUnderline = CFE_UNDERLINE;
inline constexpr DWORD kStrikeOut = CFE_STRIKEOUT;
inline constexpr DWORD kAllEffects = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;

enum class Alignment : WORD { Left = PFA_LEFT, Right = PFA_RIGHT, Centre = PFA_CENTER };

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
int SelectionPoints(HWND editor);
DWORD SelectionEffects(HWND editor);  // only the four effect bits
COLORREF SelectionTextColour(HWND editor);
COLORREF SelectionBackColour(HWND editor);  // as reported: 0 for the default background
WORD SelectionAlignment(HWND editor);
WORD SelectionNumbering(HWND editor);

// Twips to whole points: to the nearest integer, halves to the even neighbour.
int PointsFromTwips(LONG twips);

// The colour chooser of a swatch, initially grey with the custom colours open.
// A chosen colour becomes the chosen text or highlight colour and fills the
// swatch; the text is only coloured when the matching box is next turned on.
void ChooseSwatchColour(MainWindow& window, int swatchId);

}  // namespace velmar::ui
