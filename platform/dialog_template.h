// Dialogs built at run time: every window of the program is a dialog made from
// a template assembled in memory, so no dialog or menu resources exist.
// Positions and sizes are dialog units of the template font.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace velmar::platform {

// The font every template names: 8-point "MS Sans Serif", regular weight,
// not italic, ANSI character set. The extended template carries weight,
// italic and character set, so the dialog manager does not pick them (a
// plain template leaves the character set to the system's default, which
// could change the font and with it every dialog unit).
inline constexpr wchar_t kDialogFontFace[] = L"MS Sans Serif";
inline constexpr WORD kDialogFontPoints = 8;
inline constexpr WORD kDialogFontWeight = FW_NORMAL;  // 400

struct DialogControl {
    WORD id = 0;
    std::wstring className;  // "BUTTON", "EDIT", "STATIC", "COMBOBOX", "RichEdit20A", ...
    std::wstring text;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;  // WS_CHILD | WS_VISIBLE are not added: give them
    DWORD exStyle = 0;
};

// A DLGTEMPLATEEX followed by its DLGITEMTEMPLATEEXs, as one DWORD-aligned block.
//
// DLGTEMPLATEEX:
//   WORD dlgVer (1); WORD signature (0xFFFF); DWORD helpID; DWORD exStyle;
//   DWORD style; WORD cDlgItems; short x, y, cx, cy;                      (26 bytes)
//   then three variable-length fields, each WORD-aligned:
//     menu:   0x0000 (none) | 0xFFFF + ordinal | NUL-terminated UTF-16 name
//     class:  0x0000 (the dialog class) | 0xFFFF + atom | NUL-terminated name
//     title:  NUL-terminated UTF-16 text (a single 0x0000 for none)
//   and, with DS_SETFONT:
//     WORD point size; WORD weight; BYTE italic; BYTE character set;
//     NUL-terminated UTF-16 face name
// Each DLGITEMTEMPLATEEX starts on a DWORD boundary:
//   DWORD helpID; DWORD exStyle; DWORD style; short x, y, cx, cy; DWORD id;  (24 bytes)
//   class:  0xFFFF + atom (0x80 BUTTON, 0x81 EDIT, 0x82 STATIC, 0x83 LISTBOX,
//           0x84 SCROLLBAR, 0x85 COMBOBOX) | NUL-terminated UTF-16 name
//   title:  0xFFFF + resource ordinal | NUL-terminated UTF-16 text
//   creation data: WORD byte count, then that many bytes (we pass none: 0)
// cDlgItems in the header counts the items that follow.
class DialogTemplate {
public:
    // DS_SETFONT is added to the style: the template always names its font.
    DialogTemplate(std::wstring_view title, DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                   std::wstring_view fontFace = kDialogFontFace, WORD fontPoints = kDialogFontPoints);

    DialogTemplate& Add(const DialogControl& control);

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // The controls as added, for reading a layout back without creating it.
    const std::vector<DialogControl>& Controls() const { return controls_; }
    DWORD Style() const { return style_; }
    // Valid until the next Add. An extended template, which the platform's
    // dialog functions take in place of the plain one.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    static constexpr std::size_t kItemCountWord = 8;  // cDlgItems, after two WORDs and three DWORDs

    void PutWord(WORD w) { words_.push_back(w); }
    void PutDword(DWORD d);
    void PutText(std::wstring_view text);
    void AlignToDword();

    std::vector<WORD> words_;
    std::vector<DialogControl> controls_;
    DWORD style_;
};

// The rectangle of a dialog-unit box in the pixels of `dialog` (MapDialogRect).
RECT DialogUnitsToPixels(HWND dialog, RECT units);
// The other way round, for sizes read back from a window: rounds to the nearest unit.
SIZE PixelsToDialogUnits(HWND dialog, SIZE pixels);
// A child's rectangle in its parent's client coordinates, in the parent's dialog units.
RECT ChildRectInDialogUnits(HWND dialog, HWND child);

}  // namespace velmar::platform
