#include "ui/record_navigator.h"

#include <richedit.h>

#include <string>

#include "platform/dialog_template.h"
#include "platform/editor.h"
#include "platform/fonts.h"
#include "platform/text.h"
#include "ui/document_commands.h"
#include "ui/handler_guard.h"
#include "ui/record_navigator_ids.h"
#include "ui/main_window.h"

namespace velmar::ui {

namespace ids = navigator_ids;

const wchar_t* const RecordNavigator::kCaption = L"Registros Base Datos";

namespace {

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kVisibleChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr int kMoveButtons[] = {ids::kFirst, ids::kPrevious, ids::kNext, ids::kLast};

constexpr int kSmallFontIds[] = {ids::kFirst, ids::kPrevious,    ids::kNext,
                                 ids::kLast,  ids::kRecordLabel, ids::kNumberBox};
constexpr int kLargeFontIds[] = {ids::kGoTo, ids::kSearchBox};

// The record count of the linked database; none while no folder is linked,
// whose files would otherwise be looked for (and created empty) in the
// current folder.
int64_t RecordCount(const LinkedDatabase& db) {
    return db.folder.empty() ? 0 : LastRecordNumber(db);
}

CalendarDate Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace

// Controls in creation order, which is also their tab order.
platform::DialogTemplate RecordNavigator::Template() {
    platform::DialogTemplate t(
        RecordNavigator::kCaption,
        WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOFAILCREATE | DS_3DLOOK,
        WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 70, 70, 277, 45);
    t.Add({ids::kFirst, L"BUTTON", L"|<", 5, 5, 20, 15, kButton, 0});
    t.Add({ids::kPrevious, L"BUTTON", L"<<", 30, 5, 20, 15, kButton, 0});
    t.Add({ids::kNext, L"BUTTON", L">>", 55, 5, 20, 15, kButton, 0});
    t.Add({ids::kLast, L"BUTTON", L">|", 80, 5, 20, 15, kButton, 0});
    t.Add({ids::kRecordLabel, L"STATIC", L"", 105, 8, 55, 8, kVisibleChild | SS_CENTER, 0});
    t.Add({ids::kNumberBox, L"EDIT", L"", 163, 5, 50, 15, kVisibleChild | WS_TABSTOP | ES_NUMBER, WS_EX_CLIENTEDGE});
    t.Add({ids::kGoTo, L"BUTTON", L"Ir a", 220, 5, 50, 15, kButton, 0});
    t.Add({ids::kSearchBox, L"BUTTON", L"Navegar con b\u00fasqueda", 5, 25, 120, 15,
           kVisibleChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0});
    return t;
}

bool FormatRecord(ProgramState& state, HWND editor, int64_t record) {
    if (state.link.db.folder.empty()) return true;
    // The merge works on its own copy: reading a document file while the record
    // is being merged discards the held template, not this one.
    DisplayTemplate copy = state.display;
    // Capitals as the system's code page has them, as the rest of the window shows text.
    std::string text = state.displayCache.FormatRecord(state.link.db, copy, record, Today(), platform::UpperCaseAnsi);
    // A record shown after "Salir" is not put into the editor: the document
    // stays as the user last saw it for a save still waiting on its question.
    if (text.empty() || state.ending) return true;
    // Loaded whole, as a document read from a file is: a cut record would be
    // saved cut by the next "Grabar RTF".
    platform::editor::SetDocumentAnsi(editor, text);
    return platform::editor::CharacterCount(editor) <= platform::editor::TextLimit(editor);
}

RecordNavigator::RecordNavigator(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                                 HWND editor, GuardHold hold)
    : DialogWindow(dialogs, Lifetime::SelfDeleting, Focus::Kept),
      state_(&state),
      modal_(&modal),
      editor_(editor),
      hold_(std::move(hold)) {}

HWND RecordNavigator::Open(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                           HWND editor, HWND owner, GuardHold hold) {
    auto* navigator = new RecordNavigator(state, modal, dialogs, editor, std::move(hold));
    HWND window = navigator->CreateFromTemplate(Template(), owner);
    if (!window) delete navigator;  // and with it the hold of the flag
    return window;
}

INT_PTR RecordNavigator::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return FALSE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        default:
            return FALSE;
    }
}

// The bold fonts at the window's scale: 8 points on the move buttons, the
// label and the number box, 10 points on "Ir a" and the check box.
void RecordNavigator::SetFonts() {
    SetOwnFont(kSmallFontIds, platform::BoldDialogFont(8), smallFont_);
    SetOwnFont(kLargeFontIds, platform::BoldDialogFont(10), largeFont_);
}

void RecordNavigator::OnInitDialog() {
    SetFonts();

    const SearchResults& results = state_->search.state.results;
    OpeningControls controls = ControlsAtOpening(state_->navigator, results);
    EnableWindow(Control(ids::kSearchBox), controls.searchBoxEnabled ? TRUE : FALSE);
    if (controls.searchBoxEnabled) {
        SetGoToEnabled(controls.goToEnabled);
        if (controls.searchBoxChecked) SendMessageW(Control(ids::kSearchBox), BM_SETCHECK, BST_CHECKED, 0);
    }

    DisplayTemplate& display = state_->display;
    if (!display.captured) {
        display.text = platform::editor::StreamOut(editor_, SF_RTF);
        display.captured = true;
    }

    if (RecordCount(state_->link.db) > 0) {
        state_->navigator.position = 1;
        BusyHold busy = HoldBusy();
        ShowPosition();
    }
}

// Commands from the number box and from Escape (IDCANCEL) are not handled.
// While a record is being shown the move buttons and "Ir a" are disabled, and
// a command that reaches the navigator another way is dropped; a change of
// the check box is carried out once the record is shown.
void RecordNavigator::OnCommand(int id, int code) {
    switch (id) {
        case ids::kSearchBox:
            if (BusyHold busy = HoldBusy()) {
                SearchBoxChanged();
            } else {
                searchBoxChangePending_ = true;
            }
            break;
        case ids::kFirst:
        case ids::kPrevious:
        case ids::kNext:
        case ids::kLast:
        case ids::kGoTo:
            if (code != BN_CLICKED && code != 1) break;
            if (BusyHold busy = HoldBusy()) MoveBy(id);
            break;
        default:
            break;
    }
}

// The move buttons and "Ir a" are disabled while a record is being shown for
// any reason, and enabled again after it, "Ir a" unless search navigation is
// in effect. A change of the check box that came meanwhile is posted, so
// that it runs once the handler that showed the record has returned.
void RecordNavigator::OnBusyChanged(bool busy) noexcept {
    for (int button : kMoveButtons) EnableWindow(Control(button), busy ? FALSE : TRUE);
    bool goTo = !busy && !SearchNavigationInEffect(state_->navigator, state_->search.state.results);
    EnableWindow(Control(ids::kGoTo), goTo ? TRUE : FALSE);
    if (!busy && searchBoxChangePending_) {
        searchBoxChangePending_ = false;
        PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(ids::kSearchBox, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(ids::kSearchBox)));
    }
}

void RecordNavigator::MoveBy(int id) {
    NavigatorPosition& nav = state_->navigator;
    const SearchResults& results = state_->search.state.results;
    if (id == ids::kGoTo) {
        GoTo();
        return;
    }
    Move move = id == ids::kFirst      ? Move::First
                : id == ids::kPrevious ? Move::Previous
                : id == ids::kNext     ? Move::Next
                                       : Move::Last;
    int64_t limit = MoveLimit(nav, results, RecordCount(state_->link.db));
    if (ApplyMove(nav, move, limit)) ShowPosition();
}

// "Ir a" always goes to a record number, never to a result list entry.
void RecordNavigator::GoTo() {
    std::string text = platform::WindowTextAnsi(Control(ids::kNumberBox));
    std::optional<int64_t> record = GoToTarget(text, RecordCount(state_->link.db));
    if (!record) return;
    state_->navigator.position = *record;
    ShowRecord(*record);
}

void RecordNavigator::SearchBoxChanged() {
    NavigatorPosition& nav = state_->navigator;
    nav.searchNavigation = SendMessageW(Control(ids::kSearchBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
    // "Ir a" itself follows when the record has been shown (OnBusyChanged).
    EnableWindow(Control(ids::kNumberBox), nav.searchNavigation ? FALSE : TRUE);
    nav.position = 1;
    ShowPosition();
}

void RecordNavigator::ShowPosition() {
    ShowRecord(RecordAtPosition(state_->navigator, state_->search.state.results));
}

void RecordNavigator::ShowRecord(int64_t record) {
    bool whole = FormatRecord(*state_, editor_, record);
    if (Window()) platform::SetWindowTextAnsi(Control(ids::kRecordLabel), std::to_string(record));
    if (!whole) modal_->ShowMessageBox({nullptr, kBeyondEditorLimitMessage, MainWindow::kMessageTitle, MB_OK});
}

void RecordNavigator::SetGoToEnabled(bool enabled) {
    EnableWindow(Control(ids::kGoTo), enabled ? TRUE : FALSE);
    EnableWindow(Control(ids::kNumberBox), enabled ? TRUE : FALSE);
}

// The close box, the system menu's Close and Alt+F4. The navigator closes
// itself (the default handling would only send it the Escape command); while
// a record is being shown the request waits until it is (the dialog base).
bool RecordNavigator::OnCloseRequest() {
    hold_.Release();
    DestroyWindow(Window());
    return true;
}

void OpenRecordNavigator(MainWindow& window, GuardHold hold) {
    RecordNavigator::Open(window.State(), window.Modal(), window.Dialogs(), window.Editor(), nullptr, std::move(hold));
}

}  // namespace velmar::ui
