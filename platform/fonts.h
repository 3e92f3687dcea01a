// Fonts made from a face name and a size in points for the screen.
#pragma once

#include <windows.h>

#include <string>

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

UniqueFont CreateScreenFont(const FontSpec& request);

// Character height in logical units of the screen for a size in points
// (negative: the em height, not the cell height).
int ScreenFontHeight(int points);

}  // namespace velmar::platform
