// The driver's steps that look at the running program from outside its
// windows: bringing a recorder DLL into it, and measuring how long its
// user-interface thread takes to answer a message while it works.
#pragma once

#include <windows.h>

#include <string>

namespace velmar::driver {

// Loads the DLL at `dllPath` into the process that owns `window` and waits
// (up to `waitMs`) until it says it is in place, by its file
// "<dll>.captions.txt". 0 when it is, 1 when not.
int Inject(HWND window, const wchar_t* dllPath, DWORD waitMs);

// Runs `verb` with its arguments (those after the verb) when it is one of
// these steps: returns its exit status, or -1 for another verb.
int RunOutsideStep(const std::wstring& verb, int argc, wchar_t** argv);

// The lines of usage of these steps.
const char* OutsideStepsUsage();

}  // namespace velmar::driver
