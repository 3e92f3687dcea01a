#include "platform/dialog_template.h"

namespace velmar::platform {

DialogTemplate::DialogTemplate(std::wstring_view title, DWORD style, DWORD exStyle, short x, short y, short cx,
                               short cy, std::wstring_view fontFace, WORD fontPoints)
    : style_(style | DS_SETFONT) {
    PutWord(1);       // dlgVer
    PutWord(0xFFFF);  // signature: the extended template
    PutDword(0);      // helpID
    PutDword(exStyle);
    PutDword(style_);
    PutWord(0);  // cDlgItems, counted by Add
    PutWord(static_cast<WORD>(x));
    PutWord(static_cast<WORD>(y));
    PutWord(static_cast<WORD>(cx));
    PutWord(static_cast<WORD>(cy));
    PutWord(0);  // no menu: menus are built at run time and attached with SetMenu
    PutWord(0);  // the standard dialog class
    PutText(title);
    PutWord(fontPoints);
    PutWord(kDialogFontWeight);
    // italic (low byte) 0, character set (high byte) ANSI_CHARSET, 0
    PutWord(static_cast<WORD>(ANSI_CHARSET << 8));
    PutText(fontFace);
}

DialogTemplate& DialogTemplate::Add(const DialogControl& control) {
    AlignToDword();
    PutDword(0);  // helpID
    PutDword(control.exStyle);
    PutDword(control.style);
    PutWord(static_cast<WORD>(control.x));
    PutWord(static_cast<WORD>(control.y));
    PutWord(static_cast<WORD>(control.cx));
    PutWord(static_cast<WORD>(control.cy));
    PutDword(control.id);
    PutText(control.className);
    PutText(control.text);
    PutWord(0);  // no creation data
    controls_.push_back(control);
    words_[kItemCountWord] = static_cast<WORD>(controls_.size());
    return *this;
}

void DialogTemplate::PutDword(DWORD d) {
    PutWord(LOWORD(d));
    PutWord(HIWORD(d));
}

void DialogTemplate::PutText(std::wstring_view text) {
    for (wchar_t c : text) PutWord(static_cast<WORD>(c));
    PutWord(0);
}

void DialogTemplate::AlignToDword() {
    // The block starts DWORD-aligned (vector storage), so an odd word count is
    // the only misalignment there can be.
    if (words_.size() % 2 != 0) PutWord(0);
}

RECT DialogUnitsToPixels(HWND dialog, RECT units) {
    MapDialogRect(dialog, &units);
    return units;
}

SIZE PixelsToDialogUnits(HWND dialog, SIZE pixels) {
    // MapDialogRect of a 4 x 8 box gives the horizontal and vertical base units.
    RECT base{0, 0, 4, 8};
    MapDialogRect(dialog, &base);
    SIZE units{};
    if (base.right > 0) units.cx = MulDiv(pixels.cx, 4, base.right);
    if (base.bottom > 0) units.cy = MulDiv(pixels.cy, 8, base.bottom);
    return units;
}

RECT ChildRectInDialogUnits(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    // The dialog manager maps a control's position and its size separately,
    // each rounded, so the way back converts them separately too.
    RECT base{0, 0, 4, 8};
    MapDialogRect(dialog, &base);
    LONG x = MulDiv(r.left, 4, base.right);
    LONG y = MulDiv(r.top, 8, base.bottom);
    LONG cx = MulDiv(r.right - r.left, 4, base.right);
    LONG cy = MulDiv(r.bottom - r.top, 8, base.bottom);
    return RECT{x, y, x + cx, y + cy};
}

}  // namespace velmar::platform
