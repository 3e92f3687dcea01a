#include "tests/ui/scripted_modal_services.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace velmar::test {

namespace {

Asked Request(Asked::Kind kind, HWND owner, std::wstring text, std::wstring title, UINT type) {
    Asked asked;
    asked.kind = kind;
    asked.owner = owner;
    asked.text = std::move(text);
    asked.title = std::move(title);
    asked.type = type;
    return asked;
}

// Whether a message box of `type` has the button that answers `answer`.
bool BoxHasButton(UINT type, int answer) {
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            return answer == IDOK;
        case MB_OKCANCEL:
            return answer == IDOK || answer == IDCANCEL;
        case MB_YESNO:
            return answer == IDYES || answer == IDNO;
        case MB_YESNOCANCEL:
            return answer == IDYES || answer == IDNO || answer == IDCANCEL;
        case MB_RETRYCANCEL:
            return answer == IDRETRY || answer == IDCANCEL;
        case MB_ABORTRETRYIGNORE:
            return answer == IDABORT || answer == IDRETRY || answer == IDIGNORE;
        default:
            return true;
    }
}

}  // namespace

ScriptedModalServices::~ScriptedModalServices() {
    EXPECT_TRUE(messageBoxAnswers.empty()) << messageBoxAnswers.size() << " message box answers left unused";
    EXPECT_TRUE(fileAnswers.empty()) << fileAnswers.size() << " file dialog answers left unused";
    EXPECT_TRUE(colourAnswers.empty()) << colourAnswers.size() << " colour answers left unused";
    EXPECT_TRUE(folderAnswers.empty()) << folderAnswers.size() << " folder answers left unused";
    EXPECT_TRUE(customColourEdits.empty()) << customColourEdits.size() << " custom colour edits left unused";
    EXPECT_TRUE(popupChoices.empty()) << popupChoices.size() << " popup menu choices left unused";
    EXPECT_FALSE(whileShown) << "the whileShown step never ran: no request was shown";
}

void ScriptedModalServices::RunWhileShown() {
    if (!whileShown) return;
    auto run = std::move(whileShown);  // once, and not again from inside itself
    whileShown = nullptr;
    run();
}

int ScriptedModalServices::ShowMessageBox(const platform::MessageBoxRequest& request) {
    asked.push_back(Request(Asked::Kind::MessageBox, request.owner, request.text, request.title, request.type));
    RunWhileShown();
    if (messageBoxAnswers.empty()) {
        if ((request.type & MB_TYPEMASK) == MB_OK) return IDOK;
        ADD_FAILURE() << "a question that the test gave no answer for: \"" << platform::AnsiFromWide(request.text)
                      << "\"";
        return IDCANCEL;
    }
    int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    EXPECT_TRUE(BoxHasButton(request.type, answer))
        << "answer " << answer << " scripted for a box without that button: \"" << platform::AnsiFromWide(request.text)
        << "\"";
    return answer;
}

std::optional<std::string> ScriptedModalServices::ChooseFile(const platform::FileDialogRequest& request) {
    Asked seen = Request(Asked::Kind::File, request.owner, platform::WideFromAnsi(request.filter), L"", request.flags);
    seen.save = request.save;
    seen.defaultExtension = request.defaultExtension;
    seen.capacity = request.capacity;
    asked.push_back(std::move(seen));
    RunWhileShown();
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    // The platform's dialog fails, as if cancelled, when the path does not fit
    // the buffer it was given.
    if (answer && answer->size() + 1 > request.capacity) return std::nullopt;
    return answer;
}

std::optional<COLORREF> ScriptedModalServices::ChooseColour(const platform::ColourRequest& request,
                                                            std::array<COLORREF, 16>& custom) {
    Asked seen = Request(Asked::Kind::Colour, request.owner, L"", L"", request.flags);
    seen.initialColour = request.initial;
    seen.customColours = custom;
    asked.push_back(std::move(seen));
    RunWhileShown();
    if (!customColourEdits.empty()) {
        custom = customColourEdits.front();
        customColourEdits.pop_front();
    }
    if (colourAnswers.empty()) return std::nullopt;
    auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
}

std::string ScriptedModalServices::BrowseForFolder(const platform::FolderRequest& request) {
    asked.push_back(
        Request(Asked::Kind::Folder, request.owner, platform::WideFromAnsi(request.caption), L"", request.flags));
    RunWhileShown();
    if (folderAnswers.empty()) return {};
    std::string answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

void ScriptedModalServices::TrackPopupMenu(const platform::PopupMenuRequest& request) {
    Asked seen = Request(Asked::Kind::PopupMenu, request.owner, L"", L"", request.flags);
    seen.screen = request.screen;
    seen.menu = ReadMenu(request.menu);
    asked.push_back(std::move(seen));
    RunWhileShown();
    if (popupChoices.empty()) return;
    UINT choice = popupChoices.front();
    popupChoices.pop_front();
    if (choice != 0) PostMessageW(request.owner, WM_COMMAND, MAKEWPARAM(choice, 0), 0);
}

std::vector<Asked> ScriptedModalServices::MessageBoxes() const {
    std::vector<Asked> boxes;
    for (const Asked& a : asked)
        if (a.kind == Asked::Kind::MessageBox) boxes.push_back(a);
    return boxes;
}

std::vector<MenuItemSeen> ReadMenu(HMENU menu) {
    std::vector<MenuItemSeen> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MenuItemSeen item;
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        item.text = text;
        item.state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        UINT id = GetMenuItemID(menu, i);
        item.id = id == static_cast<UINT>(-1) ? 0 : id;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace velmar::test
