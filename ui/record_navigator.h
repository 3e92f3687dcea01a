// The record navigator, "Registros Base Datos": a small tool window, always
// on top and without an owner, that steps through the records of the linked
// database, or through the records the last search found, and shows each one
// through the display template in the editor.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/handler_guard.h"
#include "ui/program_state.h"
#include "platform/dialog_template.h"
#include "platform/dialog_window.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"
#include "ui/navigator_moves.h"

namespace velmar::ui {

// FormatRecord: fills the display template with the fields of `record` and
// loads the result into `editor` as a rich-text document, replacing its
// content, nothing of it cut. With no template held, or an empty result, the
// editor is left alone. False when the record loaded is longer than the
// editor's text limit.
bool FormatRecord(ProgramState& state, HWND editor, int64_t record);

class RecordNavigator : public platform::DialogWindow {
public:
    // Builds the navigator and shows it; it shows record 1 (or the first
    // result) as it opens. The object belongs to its window from then on and
    // holds the database dialog flag (`hold`) until it closes. Nothing when
    // the window could not be created (the flag is then clear again).
    static HWND Open(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HWND editor,
                     HWND owner, GuardHold hold);

    static const wchar_t* const kCaption;
    // The window and its controls in creation order, as dialog units.
    static platform::DialogTemplate Template();

private:
    RecordNavigator(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HWND editor,
                    GuardHold hold);
    ~RecordNavigator() override = default;

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnHandlerFailure() noexcept override { ReportHandlerFailure(modal_); }
    void OnScaleChanged() override { SetFonts(); }
    void OnBusyChanged(bool busy) noexcept override;

    void OnInitDialog();
    void SetFonts();
    void OnCommand(int id, int code);
    bool OnCloseRequest() override;

    void MoveBy(int id);
    void SearchBoxChanged();
    void GoTo();
    void ShowPosition();
    void ShowRecord(int64_t record);
    void SetGoToEnabled(bool enabled);

    ProgramState* state_;
    platform::ModalServices* modal_;
    HWND editor_;
    GuardHold hold_;  // the database dialog flag, held while the navigator is open
    platform::UniqueFont smallFont_;
    platform::UniqueFont largeFont_;

    // Showing a record lets messages through while it reads the database (the
    // window is busy); a change of the check box that arrives meanwhile waits
    // until the record is shown.
    bool searchBoxChangePending_ = false;
};

class MainWindow;
// "Navegador": opens the window modelessly, without an owner, and returns at
// once. The main window takes the database dialog flag first and hands the
// hold over; the window clears the flag when it closes.
void OpenRecordNavigator(MainWindow& window, GuardHold hold);

}  // namespace velmar::ui
