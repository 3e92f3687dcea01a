// The driver's steps for the database windows: the search dialog's combo
// boxes, and finding a window whose caption changes as it works.
#pragma once

#include <windows.h>

#include <string>

namespace velmar::driver {

// The program window that TITLE names: the top-level window with that
// caption, or, for "#ID", the visible top-level window that has a control
// with that id (the search dialog's caption shows its progress and times).
HWND FindProgramWindow(const wchar_t* title);

// The whole text of a window or control of another process, however long (an
// editor holding many letters), asked for with WM_GETTEXT.
std::wstring TextOf(HWND window);

// Asks `done` every 50 ms until it holds (true) or `milliseconds` have passed (false).
template <typename Done>
bool PollFor(DWORD milliseconds, Done done) {
    ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
}

// Runs `verb` with its arguments (those after the verb) when it is one of
// these steps: returns its exit status, or -1 for another verb.
int RunDatabaseStep(const std::wstring& verb, int argc, wchar_t** argv);

// The lines of usage of these steps.
const char* DatabaseStepsUsage();

}  // namespace velmar::driver
