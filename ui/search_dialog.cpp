#include "ui/search_dialog.h"

#include <array>
#include <string>

#include "platform/dialog_template.h"
#include "platform/fonts.h"
#include "platform/text.h"
#include "search/compare_value.h"
#include "ui/handler_guard.h"
#include "ui/search_dialog_ids.h"
#include "ui/main_window.h"
#include "ui/search_form.h"

namespace velmar::ui {

namespace ids = search_ids;

const wchar_t* const SearchDialog::kCaption = L"Buscar";

namespace {

const wchar_t kNeedsSelectionText[] = L"Tiene que seleccionar sus preferencias de busqueda primero ...";
const wchar_t kMissingValueText[] = L"No ha escrito valores a buscar ...";

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kVisibleChild | SS_LEFT;
constexpr DWORD kBox = kVisibleChild | CBS_DROPDOWN | CBS_SORT | WS_TABSTOP;
constexpr DWORD kValueBox = kVisibleChild | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kButton = kVisibleChild | BS_PUSHBUTTON | WS_TABSTOP;

constexpr int kControlCount = ids::kSearch - ids::kFieldLabel + 1;  // 7001 to 7014

platform::UniqueMenu SearchMenuBar() {
    platform::UniqueMenu bar(CreateMenu());
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, ids::kReset, L"Resetea");
    AppendMenuW(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"Men\u00fa");
    return bar;
}

// The text of a combo box's selected item; empty with no selection (what is
// typed into the box's edit part counts for nothing).
std::string SelectedItemText(HWND box) {
    LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT got = SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return platform::AnsiFromWide(text);
}

TimeOfDay LocalTimeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond};
}

}  // namespace

// Created hidden (no WS_VISIBLE) and shown once built. Without a system menu
// the caption has no close box: "Salir" closes the dialog.
platform::DialogTemplate SearchDialog::Template() {
    platform::DialogTemplate t(SearchDialog::kCaption,
                               WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_3DLOOK | DS_NOFAILCREATE, 0, 70, 70, 352,
                               279);
    t.Add({ids::kFieldLabel, L"STATIC", L"Elige campo de b\u00fasqueda", 5, 5, 230, 10, kLabel, 0});
    t.Add({ids::kFieldBox, L"COMBOBOX", L"", 5, 15, 340, 80, kBox, 0});
    t.Add({ids::kOperatorBox, L"COMBOBOX", L"", 5, 45, 340, 80, kBox, 0});
    t.Add({ids::kOperatorLabel, L"STATIC", L"Elige tipo de comparaci\u00f3n de b\u00fasqueda", 5, 35, 230, 10, kLabel,
           0});
    t.Add({ids::kGroup, L"BUTTON", L"Busqueda", 5, 65, 340, 155, kVisibleChild | BS_GROUPBOX, 0});
    const short labelY[] = {80, 125, 170};
    for (int k = 1; k <= 3; ++k) {
        short y = labelY[k - 1];
        t.Add({static_cast<WORD>(ids::CriterionLabel(k)), L"STATIC", platform::WideFromAnsi(EmptyCriterionLabel(k)), 10,
               y, 330, 15, kLabel, 0});
        t.Add({static_cast<WORD>(ids::ValueBox(k)), L"EDIT", L"", 10, static_cast<short>(y + 15), 330, 20, kValueBox,
               WS_EX_CLIENTEDGE});
    }
    t.Add({ids::kExit, L"BUTTON", L"Salir", 5, 240, 50, 15, kButton, 0});
    t.Add({ids::kApply, L"BUTTON", L"Aplicar", 155, 240, 50, 15, kButton, 0});
    t.Add({ids::kSearch, L"BUTTON", L"Buscar", 295, 240, 50, 15, kButton, 0});
    return t;
}

SearchDialog::SearchDialog(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                           GuardHold hold)
    : DialogWindow(dialogs, Lifetime::SelfDeleting, Focus::Kept), state_(&state), modal_(&modal), hold_(std::move(hold)) {}

HWND SearchDialog::Open(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                        HWND owner, GuardHold hold) {
    auto* dialog = new SearchDialog(state, modal, dialogs, std::move(hold));
    dialog->menu_ = SearchMenuBar();
    HWND window = dialog->CreateFromTemplate(Template(), owner);
    if (!window) {
        delete dialog;  // and with it the hold of the flag
        return nullptr;
    }
    ShowWindow(window, SW_SHOW);
    return window;
}

INT_PTR SearchDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
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

// The bold 10-point font at the dialog's scale on all fourteen controls.
void SearchDialog::SetFont() {
    std::array<int, kControlCount> controls{};
    for (int k = 0; k < kControlCount; ++k) controls[static_cast<std::size_t>(k)] = ids::kFieldLabel + k;
    SetOwnFont(controls, platform::BoldDialogFont(10), font_);
}

void SearchDialog::OnInitDialog() {
    SetFont();
    if (SetMenu(Window(), menu_.Get())) menu_.Release();  // destroyed with the window

    FillFieldBox();
    HWND operators = Control(ids::kOperatorBox);
    SendMessageW(operators, CB_RESETCONTENT, 0, 0);
    for (const OperatorEntry& entry : kOperatorEntries)
        SendMessageW(operators, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::WideFromAnsi(entry.text).c_str()));
    for (int k = 1; k <= kMaxCriteria; ++k) EnableWindow(Control(ids::ValueBox(k)), FALSE);

    SearchSession& search = state_->search;
    search.criteria = SearchCriteria{};
    search.criteriaCount = 0;
    search.state.results.flag = 0;
}


// Commands from the boxes and from Escape (IDCANCEL) are not handled. While a
// search runs its buttons are disabled, and commands that reach the dialog
// another way are refused alike.
void SearchDialog::OnCommand(int id, int code) {
    if (id == ids::kReset) {
        Reset();
        return;
    }
    if (code != BN_CLICKED && code != 1) return;
    if (Busy()) return;
    switch (id) {
        case ids::kExit:
            Exit();
            break;
        case ids::kApply:
            Apply();
            break;
        case ids::kSearch:
            Search();
            break;
        default:
            break;
    }
}

void SearchDialog::FillFieldBox() {
    HWND box = Control(ids::kFieldBox);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    LinkedDatabase& db = state_->link.db;
    LoadFieldList(db);
    // The box sorts what it is given.
    for (const std::string& name : SearchableFieldNames(db.fields))
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::WideFromAnsi(name).c_str()));
}

void SearchDialog::Apply() {
    HWND fields = Control(ids::kFieldBox);
    HWND operators = Control(ids::kOperatorBox);
    std::string field = SelectedItemText(fields);
    std::string entry = SelectedItemText(operators);
    SearchSession& search = state_->search;
    switch (ApplyCriterion(search.criteria, search.criteriaCount, field, entry)) {
        case ApplyOutcome::NeedsSelection:
            modal_->ShowMessageBox({nullptr, kNeedsSelectionText, MainWindow::kMessageTitle, MB_OK});
            return;
        case ApplyOutcome::Full:
            return;
        case ApplyOutcome::Applied:
            break;
    }
    int k = search.criteriaCount;
    // A field is applied once: it leaves the box.
    SendMessageW(fields, CB_DELETESTRING, static_cast<WPARAM>(SendMessageW(fields, CB_GETCURSEL, 0, 0)), 0);
    SendMessageW(fields, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageW(operators, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    platform::SetWindowTextAnsi(Control(ids::CriterionLabel(k)), CriterionLabel(k, field, entry));
    EnableWindow(Control(ids::ValueBox(k)), TRUE);
}

void SearchDialog::Search() {
    std::string values[kMaxCriteria];
    for (int k = 1; k <= kMaxCriteria; ++k) values[k - 1] = platform::WindowTextAnsi(Control(ids::ValueBox(k)));
    BusyHold busy = HoldBusy();

    SearchSession& search = state_->search;
    SearchRequest request = PrepareSearch(search.criteria, search.criteriaCount, values);
    if (request.kind == SearchRequest::Kind::MissingValue) {
        modal_->ShowMessageBox({nullptr, kMissingValueText, MainWindow::kMessageTitle, MB_OK});
    } else if (request.kind == SearchRequest::Kind::Run) {
        TimeOfDay start{};
        ProgressCaption progress;
        HWND window = Window();
        RunSearch(
            state_->link.db, search.state, request,
            [&progress, window](int64_t record, int64_t count) {
                if (std::optional<std::string> text = progress.Next(record, count))
                    platform::SetWindowTextAnsi(window, *text);
            },
            // The search's time starts once its criteria are in the order they are searched in.
            [&start] { start = LocalTimeOfDay(); });
        modal_->ShowMessageBox(
            {nullptr, platform::WideFromAnsi(ClosingMessage(search.state.results)), MainWindow::kMessageTitle, MB_OK});
        if (Window()) platform::SetWindowTextAnsi(Window(), SearchTimesCaption(start, LocalTimeOfDay()));
    }
}

void SearchDialog::Reset() {
    FillFieldBox();
    for (int k = 1; k <= kMaxCriteria; ++k) {
        HWND value = Control(ids::ValueBox(k));
        SetWindowTextW(value, L"");
        EnableWindow(value, FALSE);
        platform::SetWindowTextAnsi(Control(ids::CriterionLabel(k)), EmptyCriterionLabel(k));
    }
    SearchSession& search = state_->search;
    search.criteria = SearchCriteria{};
    search.criteriaCount = 0;
}

void SearchDialog::Exit() {
    hold_.Release();
    HWND window = Window();
    platform::PumpOneMessage(Dialogs());
    if (IsWindow(window)) DestroyWindow(window);
}

// The close request of the window frame (Alt+F4): the dialog closes itself,
// since the default handling would only send it the Escape command. During a
// search it closes once the search is over (the dialog base).
bool SearchDialog::OnCloseRequest() {
    hold_.Release();
    DestroyWindow(Window());
    return true;
}

// While a search runs its buttons are disabled.
void SearchDialog::OnBusyChanged(bool busy) noexcept {
    SetButtonsEnabled(!busy);
}

void SearchDialog::SetButtonsEnabled(bool enabled) noexcept {
    for (int id : {ids::kExit, ids::kApply, ids::kSearch}) EnableWindow(Control(id), enabled ? TRUE : FALSE);
}

void OpenSearchDialog(MainWindow& window, GuardHold hold) {
    SearchDialog::Open(window.State(), window.Modal(), window.Dialogs(), nullptr, std::move(hold));
}

}  // namespace velmar::ui
