// The formatting bar of the main window: the requests it makes of the editor
// for the selected text, and its handlers.
#pragma once

#include <windows.h>

#include <string>

namespace velmar::ui {

class MainWindow;

// Adds the face name of every TrueType family of the screen to `fontList`
// (a sorted combo box).
void FillFontList(HWND fontList);

// Looks the family up among the screen's fonts and applies its face, character
// set and pitch to the selection (or the word at the caret).
void SetFace(MainWindow& window, const std::string& face);
// Applies a size in points to the selection (or the word at the caret).
void SetSize(MainWindow& window, int points);

}  // namespace velmar::ui
