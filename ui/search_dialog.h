// The search dialog, "Buscar": the user applies up to three criteria (a field,
// an operator entry, then a value) and starts the search, whose progress shows
// in the dialog's caption and whose results the record navigator pages
// through. Modeless and without an owner; it clears the database dialog flag
// when it closes.
#pragma once

#include <windows.h>

#include "ui/handler_guard.h"
#include "ui/program_state.h"
#include "platform/dialog_template.h"
#include "platform/dialog_window.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"

namespace velmar::ui {

class SearchDialog : public platform::DialogWindow {
public:
    // Builds the dialog, its font and menu, and shows it. The object belongs to
    // its window from then on, is deleted with it, and holds the database
    // dialog flag (`hold`) until it closes. Nothing when the window could not
    // be created (the flag is then clear again).
    static HWND Open(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HWND owner,
                     GuardHold hold);

    static const wchar_t* const kCaption;
    // The window and its controls in creation order, as dialog units.
    static platform::DialogTemplate Template();

private:
    SearchDialog(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, GuardHold hold);
    ~SearchDialog() override = default;

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnHandlerFailure() noexcept override { ReportHandlerFailure(modal_); }
    void OnScaleChanged() override { SetFont(); }
    void OnBusyChanged(bool busy) noexcept override;

    void OnInitDialog();
    void SetFont();
    void OnCommand(int id, int code);
    bool OnCloseRequest() override;

    void FillFieldBox();
    void Apply();
    void Search();
    void Reset();
    void Exit();
    void SetButtonsEnabled(bool enabled) noexcept;

    ProgramState* state_;
    platform::ModalServices* modal_;
    GuardHold hold_;             // the database dialog flag, held while the dialog is open
    platform::UniqueFont font_;  // on all fourteen controls; lives as long as the window
    platform::UniqueMenu menu_;  // until the window takes it over
};

class MainWindow;
// "Buscar": opens the window modelessly, without an owner, and returns at
// once. The main window takes the database dialog flag first and hands the
// hold over; the window clears the flag when it closes.
void OpenSearchDialog(MainWindow& window, GuardHold hold);

}  // namespace velmar::ui
