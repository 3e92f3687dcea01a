#include "ui/link_dialog.h"

#include <shlobj.h>

#include "platform/dialog_template.h"
#include "platform/fonts.h"
#include "platform/text.h"
#include "ui/handler_guard.h"
#include "ui/link_dialog_ids.h"
#include "ui/link_check.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"

namespace velmar::ui {

namespace ids = link_ids;

const wchar_t* const LinkDialog::kCaption = L"Base de Datos Vinculada";

namespace {

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;

}  // namespace

// No system menu, so no close box: the dialog closes through "Salir" alone.
platform::DialogTemplate LinkDialog::Template() {
    platform::DialogTemplate t(LinkDialog::kCaption,
                               WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_NOFAILCREATE | DS_3DLOOK, 0, 70, 70, 201, 67);
    t.Add({ids::kLabel, L"STATIC", L"Vinculaci\u00f3n de una base de datos", 5, 5, 150, 15, kVisibleChild, 0});
    t.Add({ids::kFolderBox, L"EDIT", L"", 5, 20, 190, 25, kVisibleChild | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE,
           WS_EX_CLIENTEDGE});
    t.Add({ids::kExit, L"BUTTON", L"Salir", 5, 46, 50, 16, kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON, 0});
    t.Add({ids::kBrowse, L"BUTTON", L"...", 145, 46, 50, 16, kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON, 0});
    return t;
}

LinkDialog::LinkDialog(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                       HMENU menuBar)
    : DialogWindow(dialogs, Lifetime::Owned, Focus::Kept), state_(&state), modal_(&modal), menuBar_(menuBar) {}

// The window goes before the fonts its controls use.
LinkDialog::~LinkDialog() { DestroyOpenWindow(); }

bool LinkDialog::Create(HWND owner) {
    HWND window = CreateFromTemplate(Template(), owner);
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    return true;
}

// Ends when the dialog is closed, or, after "Salir", as soon as control is
// back here.
void LinkDialog::RunUntilClosed() {
    if (Window()) platform::RunUntil([this] { return !Window() || state_->ending; }, Dialogs());
}

INT_PTR LinkDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            break;
        default:
            break;
    }
    // The default dialog handling always follows.
    return FALSE;
}

// The bold fonts at the dialog's scale: 8 points on the label and "Salir",
// 14 points on "...".
void LinkDialog::SetFonts() {
    constexpr int kBoldIds[] = {ids::kLabel, ids::kExit};
    constexpr int kBrowseIds[] = {ids::kBrowse};
    SetOwnFont(kBoldIds, platform::BoldDialogFont(8), boldFont_);
    SetOwnFont(kBrowseIds, platform::BoldDialogFont(14), browseFont_);
}

void LinkDialog::OnInitDialog() {
    SetFonts();
    ValidateAndApply(false);
}

// Escape (IDCANCEL), the label and the folder box are left to the default
// handling: what is typed into the folder box has no effect.
void LinkDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED && code != 1) return;
    if (Busy()) return;
    if (id == ids::kExit) {
        DestroyWindow(Window());
    } else if (id == ids::kBrowse) {
        Browse();
    }
}

// The dialog is busy from "..." until the folder picked is linked: the
// browser's answer can wait on a window opened meanwhile (a file dialog of
// the main window), and a second browser opened then would have its pick
// overridden by the first one's, which comes later.
void LinkDialog::Browse() {
    BusyHold busy = HoldBusy();
    std::string picked = BrowseForFolder(*modal_, Window());
    // A cancelled browse keeps the linked folder and the linked flag as they
    // were: emptying the folder would leave the database commands enabled
    // with no database behind them.
    if (picked.empty()) return;
    state_->link.db.folder = picked;
    ValidateAndApply(true);
}

// A folder that fails the check stays the linked folder (and is what the
// settings file keeps), while the folder box keeps its text.
void LinkDialog::ValidateAndApply(bool afterPick) {
    LinkOutcome outcome = ValidateLink(state_->link.db, state_->link.linked, state_->search.state.results, afterPick);
    if (outcome.folderBox) platform::SetWindowTextAnsi(Control(ids::kFolderBox), *outcome.folderBox);
    if (outcome.showBadFormat)
        modal_->ShowMessageBox({nullptr, platform::WideFromAnsi(kBadFormatMessage), MainWindow::kMessageTitle, MB_OK});
    ApplyDatabaseMenuState(menuBar_, state_->link.linked);
}

void LinkDialog::OnBusyChanged(bool busy) noexcept {
    for (int id : {ids::kBrowse, ids::kExit}) EnableWindow(Control(id), busy ? FALSE : TRUE);
}

std::string BrowseForFolder(platform::ModalServices& modal, HWND owner) {
    platform::FolderRequest request;
    request.owner = owner;
    request.caption = kFolderBrowserCaption;
    request.flags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    return WithTrailingBackslash(modal.BrowseForFolder(request));
}

int ShowLinkDialog(HWND owner, ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                   HMENU menuBar) {
    LinkDialog dialog(state, modal, dialogs, menuBar);
    if (dialog.Create(owner)) dialog.RunUntilClosed();
    return 0;
}

void RunLinkDialog(MainWindow& window) {
    ShowLinkDialog(nullptr, window.State(), window.Modal(), window.Dialogs(), window.MenuBar());
}

}  // namespace velmar::ui
