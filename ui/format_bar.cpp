#include "ui/format_bar.h"

#include <richedit.h>

#include <cstring>

#include "platform/editor.h"
#include "platform/handles.h"
#include "ui/format_bar_actions.h"
#include "ui/main_window.h"

namespace velmar::ui {

namespace {

// Character requests apply to the selection, or with an empty selection to
// the word that holds the caret.
constexpr WPARAM kSelectionOrWord = SCF_SELECTION | SCF_WORD;

// One callback serves both uses of the family enumeration: filling the font
// list (continue to the end) and looking one family up (stop at the first).
struct FontEnumeration {
    enum Mode : int { kLookUp = 0, kFill = 1 };
    Mode mode;
    HWND fontList = nullptr;
    LOGFONTA found{};
    bool matched = false;
};

int CALLBACK OnFontFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD fontType, LPARAM param) {
    auto* enumeration = reinterpret_cast<FontEnumeration*>(param);
    if (enumeration->mode == FontEnumeration::kLookUp) {
        enumeration->found = *font;
        enumeration->matched = true;
    } else if (fontType & TRUETYPE_FONTTYPE) {
        // Some systems report a family once for each character set it has:
        // the list names each family once.
        LPARAM face = reinterpret_cast<LPARAM>(font->lfFaceName);
        if (SendMessageA(enumeration->fontList, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), face) == CB_ERR)
            SendMessageA(enumeration->fontList, CB_ADDSTRING, 0, face);
    }
    return enumeration->mode;
}

}  // namespace

void FillFontList(HWND fontList) {
    FontEnumeration enumeration{FontEnumeration::kFill, fontList};
    platform::WindowDC screen(nullptr);
    EnumFontFamiliesA(screen.Get(), nullptr, OnFontFamily, reinterpret_cast<LPARAM>(&enumeration));
}

void SetFace(MainWindow& window, const std::string& face) {
    FontEnumeration enumeration{FontEnumeration::kLookUp};
    {
        platform::WindowDC screen(nullptr);
        EnumFontFamiliesA(screen.Get(), face.c_str(), OnFontFamily, reinterpret_cast<LPARAM>(&enumeration));
    }
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_CHARSET;
    if (enumeration.matched) {
        lstrcpynA(format.szFaceName, enumeration.found.lfFaceName, LF_FACESIZE);
        format.bCharSet = enumeration.found.lfCharSet;
        format.bPitchAndFamily = enumeration.found.lfPitchAndFamily;
    } else {
        // No installed family of that name: ask for the name itself and let
        // the font mapper choose, rather than applying an unrelated face.
        lstrcpynA(format.szFaceName, face.c_str(), LF_FACESIZE);
        format.bCharSet = DEFAULT_CHARSET;
    }
    platform::editor::SetCharFormat(window.Editor(), kSelectionOrWord, format);
    RefreshBar(window);
}

void SetSize(MainWindow& window, int points) {
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE;
    format.yHeight = 20 * points;  // twips
    platform::editor::SetCharFormat(window.Editor(), kSelectionOrWord, format);
    RefreshBar(window);
}

}  // namespace velmar::ui
