// What the in-process window tests share: the editor library and common
// controls loaded once, queue pumping, and reading controls back.
#pragma once

#include <windows.h>

#include <string>

namespace velmar::test {

// Loads riched20.dll and the common controls, as the program does at start.
void LoadWindowLibraries();

// Processes every pending message of this thread (bounded, for safety).
void PumpPending();

struct FontSeen {
    std::wstring face;
    LONG height = 0;
    LONG weight = 0;
    bool italic = false, underline = false, strikeOut = false;
    BYTE charset = 0;
};
FontSeen FontOf(HWND control);

// The character height that a font of `points` gets on the screen.
LONG HeightForPoints(int points);

// Case-insensitive comparison, as window class names are matched.
bool SameText(const std::wstring& a, const std::wstring& b);

}  // namespace velmar::test
