// What the in-process window tests share: the editor library and common
// controls loaded once, queue pumping, and reading controls back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// The screen's DPI, and the character height that a font of `points` gets on
// the screen.
UINT ScreenDpi();
LONG HeightForPoints(int points);

// Case-insensitive comparison, as window class names are matched.
bool SameText(const std::wstring& a, const std::wstring& b);

// Visible top-level windows of this thread with exactly that caption.
std::vector<HWND> WindowsCaptioned(const std::wstring& caption);

// Destroys every top-level window this thread still has: the database windows
// have no owner, so a test that leaves one open would otherwise hand it,
// still pointing at its own program state, to the next test.
void DestroyThreadWindows();

// Clicks control `id` of the window captioned `caption` as soon as this
// thread's messages are processed again with that window shown: the way to
// reach a dialog that runs its own modal loop.
void ClickWhenShown(const std::wstring& caption, int id);

}  // namespace velmar::test
