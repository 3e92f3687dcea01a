// Fonts made from a face name and a size in points for a window's display
// scale.
#pragma once

#include <windows.h>

#include <string>

#include "platform/dialog_template.h"
#include "platform/handles.h"

namespace velmar::platform {

struct FontSpec {
    std::wstring face;
    int points = 8;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    BYTE charset = ANSI_CHARSET;
};

// "MS Sans Serif" in bold, the database windows' own font at `points`.
inline FontSpec BoldDialogFont(int points) {
    FontSpec request{kDialogFontFace, points};
    request.weight = FW_BOLD;
    return request;
}

// A font of `request.points` at `dpi` pixels per inch: the DPI of the window
// that shows it (WindowDpi), not the 96 of an unscaled screen.
UniqueFont CreateFontForDpi(const FontSpec& request, UINT dpi);

// Character height in pixels for a size in points at `dpi` (negative: the em
// height, not the cell height).
int FontHeightForDpi(int points, UINT dpi);

}  // namespace velmar::platform
