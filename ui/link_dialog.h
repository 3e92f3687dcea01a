// The link dialog, "Base de Datos Vinculada": shows the linked folder, lets
// the user pick another one with the folder browser, checks that it holds a
// database and switches "Navegador" and "Buscar" on or off accordingly. It
// runs its own modal loop; having no owner, it leaves the other windows usable.
#pragma once

#include <windows.h>

#include <string>

#include "ui/handler_guard.h"
#include "ui/program_state.h"
#include "platform/dialog_template.h"
#include "platform/dialog_window.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"

namespace velmar::ui {

class LinkDialog : public platform::DialogWindow {
public:
    // `menuBar` is the main window's, whose database items the dialog sets.
    LinkDialog(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HMENU menuBar);
    // The window and its controls in creation order, as dialog units.
    static platform::DialogTemplate Template();
    ~LinkDialog() override;

    // Builds and shows the dialog; it checks the linked folder as it opens.
    bool Create(HWND owner);
    // Runs the dialog's modal loop until "Salir" closes it.
    void RunUntilClosed();


    static const wchar_t* const kCaption;

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnHandlerFailure() noexcept override { ReportHandlerFailure(modal_); }
    void OnScaleChanged() override { SetFonts(); }
    void OnBusyChanged(bool busy) noexcept override;
    void OnInitDialog();
    void SetFonts();
    void OnCommand(int id, int code);
    void ValidateAndApply(bool afterPick);
    void Browse();

    ProgramState* state_;
    platform::ModalServices* modal_;
    HMENU menuBar_;
    // Created before the dialog is shown, again for each new scale, and
    // deleted after the dialog has closed.
    platform::UniqueFont boldFont_;
    platform::UniqueFont browseFont_;
};

// The folder browser with the dialog's caption, rooted at the desktop and
// limited to file-system folders: the chosen folder with a trailing
// backslash, or the empty text when cancelled or the item has no path.
std::string BrowseForFolder(platform::ModalServices& modal, HWND owner);

// Builds the dialog above and runs it until it closes; returns 0.
int ShowLinkDialog(HWND owner, ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                   HMENU menuBar);

class MainWindow;
// "Vincular": runs the link dialog modally, without an owner, and returns
// when it closes. The main window applies the guard first.
void RunLinkDialog(MainWindow& window);

}  // namespace velmar::ui
