// The driver's steps for the editor: typing, selecting, clicking the bar's
// buttons, and answering the program's file dialogs and message boxes.
#pragma once

#include <string>

namespace velmar::driver {

// Runs `verb` with its arguments (those after the verb) when it is one of
// the editor's steps: returns its exit status, or -1 for another verb.
int RunEditorStep(const std::wstring& verb, int argc, wchar_t** argv);

// The lines of usage of these steps.
const char* EditorStepsUsage();

}  // namespace velmar::driver
