// The search dialog, "Buscar": the user applies up to three criteria (a field,
// an operator entry, then a value) and starts the search, whose progress shows
// in the dialog's caption and whose results the record navigator pages
// through. Modeless and without an owner; it clears the database dialog flag
// when it closes.
#pragma once

#include <windows.h>

#include "app/program_state.h"
#include "platform/dialog_template.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"

namespace velmar::ui {

class SearchDialog {
public:
    // Builds the dialog, its font and menu, and shows it. The object belongs to
    // its window from then on and is deleted with it. Nothing when the window
    // could not be created.
    static HWND Open(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HWND owner);

    static const wchar_t* const kCaption;
    // The window and its controls in creation order, as dialog units.
    static platform::DialogTemplate Template();

private:
    SearchDialog(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs);
    ~SearchDialog() = default;
    SearchDialog(const SearchDialog&) = delete;
    SearchDialog& operator=(const SearchDialog&) = delete;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    void OnInitDialog();
    void SetFont();
    void OnCommand(int id, int code);
    void OnNcActivate(bool active);
    bool OnClose();

    void FillFieldBox();
    void Apply();
    void Search();
    void Reset();
    void Exit();
    void SetButtonsEnabled(bool enabled);
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    ProgramState* state_;
    platform::ModalServices* modal_;
    platform::DialogRouter* dialogs_;
    HWND window_ = nullptr;
    HWND savedFocus_ = nullptr;
    UINT dpi_ = 96;              // the scale the font is made for
    platform::UniqueFont font_;  // on all fourteen controls; lives as long as the window
    platform::UniqueMenu menu_;  // until the window takes it over

    // A handler may let messages through (the search does, for every cell it
    // reads), and one of them may close the window: the object outlives the
    // window until the outermost handler has returned.
    int handlerDepth_ = 0;
    bool windowGone_ = false;
    bool searching_ = false;
    bool closeRequested_ = false;  // a close asked for during the search, carried out after it
};

}  // namespace velmar::ui
