// A user who does anything at any moment: starts the program, then acts on
// whatever window is on screen and enabled (every menu command, the
// formatting bar, typing, the database windows' buttons, boxes and menu,
// close requests, answers to message boxes, file dialogs, the colour
// chooser and the folder browser, "Salir"), chosen at random from a seed or
// replayed from a list, and checks after every action what must always hold.
#pragma once

#include <string>

namespace velmar::driver {

// `random` and `replay`: returns the exit status, or -1 for another verb.
int RunRandomUserStep(const std::wstring& verb, int argc, wchar_t** argv);

const char* RandomUserUsage();

}  // namespace velmar::driver
