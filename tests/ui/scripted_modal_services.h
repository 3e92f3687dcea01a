// Modal services for tests: every request is recorded and answered at once
// from a script, so no test waits on a window that nobody closes.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/modal_services.h"

namespace velmar::test {

struct MenuItemSeen {
    UINT id = 0;  // 0 for a separator
    std::wstring text;
    UINT state = 0;  // GetMenuState: MF_GRAYED, MF_DISABLED, MF_SEPARATOR, ...
};

struct Asked {
    enum class Kind { MessageBox, File, Colour, Folder, PopupMenu };
    Kind kind = Kind::MessageBox;
    HWND owner = nullptr;
    std::wstring text;   // message text, or the folder browser's caption
    std::wstring title;  // message title
    UINT type = 0;       // message box type, file dialog flags, popup flags
    POINT screen{};      // popup menu position
    std::vector<MenuItemSeen> menu;
    // File dialogs: open or save, default extension and buffer size asked for.
    bool save = false;
    std::string defaultExtension;
    std::size_t capacity = 0;
    // Colour chooser: the initial colour and the custom colours it was given.
    COLORREF initialColour = 0;
    std::array<COLORREF, 16> customColours{};
};

class ScriptedModalServices final : public platform::ModalServices {
public:
    std::vector<Asked> asked;

    // Answers, taken in order. Without one, a message box with only an OK
    // button answers IDOK, a question (any other buttons) fails the test and
    // answers IDCANCEL, and the other requests are cancelled. An answer that
    // the box has no button for fails the test. The test fails
    // too when it ends with answers or a whileShown step left unused.
    std::deque<int> messageBoxAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<COLORREF>> colourAnswers;
    std::deque<std::string> folderAnswers;
    // Custom colours the user defines in the next colour choosers, one set
    // per chooser (kept whether the chooser is then cancelled or not).
    std::deque<std::array<COLORREF, 16>> customColourEdits;
    // A popup menu entry to choose: posted to the owner as WM_COMMAND, as the
    // platform's menu does. 0 closes the menu without a choice.
    std::deque<UINT> popupChoices;
    // Runs while a request is "on screen", e.g. to send the window another
    // command as a user could while a box without an owner is open.
    std::function<void()> whileShown;

    ScriptedModalServices() = default;
    ~ScriptedModalServices() override;
    ScriptedModalServices(const ScriptedModalServices&) = delete;
    ScriptedModalServices& operator=(const ScriptedModalServices&) = delete;

    int ShowMessageBox(const platform::MessageBoxRequest& request) override;
    std::optional<std::string> ChooseFile(const platform::FileDialogRequest& request) override;
    std::optional<COLORREF> ChooseColour(const platform::ColourRequest& request,
                                         std::array<COLORREF, 16>& custom) override;
    std::string BrowseForFolder(const platform::FolderRequest& request) override;
    void TrackPopupMenu(const platform::PopupMenuRequest& request) override;

    std::vector<Asked> MessageBoxes() const;

private:
    void RunWhileShown();
};

std::vector<MenuItemSeen> ReadMenu(HMENU menu);

}  // namespace velmar::test
