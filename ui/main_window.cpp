#include "ui/main_window.h"

#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "ui/resource_ids.h"
#include "database/record_file.h"
#include "platform/dialog_template.h"
#include "platform/display_scale.h"
#include "platform/editor.h"
#include "platform/fonts.h"
#include "settings/settings_file.h"
#include "ui/document_commands.h"
#include "ui/format_bar.h"
#include "ui/format_bar_actions.h"
#include "ui/handler_guard.h"
#include "ui/main_menu.h"
#include "ui/link_dialog.h"
#include "ui/main_window_ids.h"
#include "ui/record_navigator.h"
#include "ui/search_dialog.h"

namespace velmar::ui {

namespace ids = main_ids;
namespace ed = platform::editor;

const wchar_t* const MainWindow::kCaption = L"Velmar rtf";
const wchar_t* const MainWindow::kMessageTitle = L"Programador";
const wchar_t* const MainWindow::kAboutText =
    L"Este programa es tuyo ...\r\nPero lo program\u00f3 https://velmar.example";
const wchar_t* const MainWindow::kNoDatabaseText = L"No hay una base de datos vinculada correctamente ...";

namespace {

constexpr short kClientWidth = 475;
constexpr short kClientHeight = 500;
constexpr LONG kEditorTextLimit = 1000000;
constexpr LPARAM kEditorEvents = ENM_SELCHANGE | ENM_MOUSEEVENTS;
constexpr LONG kCaretAfterText = 200;  // beyond the initial text: the control puts the caret at its end
constexpr int kInitialFontPoints = 12;
constexpr char kInitialFace[] = "times new roman";

const wchar_t* const kSizeItems[] = {L"8",  L"9",  L"10", L"11", L"12", L"14", L"16", L"18",
                                     L"20", L"22", L"24", L"26", L"28", L"36", L"48", L"72"};

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEffectToggle = kVisibleChild | BS_AUTOCHECKBOX | BS_PUSHLIKE;
constexpr DWORD kColourBox = kVisibleChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kSwatch = kVisibleChild | SS_OWNERDRAW | SS_NOTIFY | WS_BORDER;
constexpr DWORD kIconToggle = kVisibleChild | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON;

constexpr int kEffectIds[] = {ids::kBoldToggle, ids::kItalicToggle, ids::kUnderlineToggle, ids::kStrikeOutToggle};
constexpr int kIconToggleIds[] = {ids::kRightToggle, ids::kCentreToggle, ids::kBulletToggle};
constexpr int kToggleIconIds[] = {VELMAR_ICON_RIGHT, VELMAR_ICON_CENTRE, VELMAR_ICON_BULLETS};
constexpr int kEffectFontPoints = 10;
constexpr int kButtonEdgeAt96Dpi = 3;

platform::UniqueIcon LoadIconResource(int id, int size) {
    return platform::UniqueIcon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

}  // namespace

int IconSizeToFill(SIZE button, UINT dpi) {
    int room = std::min(button.cx, button.cy) - 2 * platform::ScaleForDpi(kButtonEdgeAt96Dpi, dpi);
    int size = kDrawnIconSizes[0];
    for (int drawn : kDrawnIconSizes)
        if (drawn <= room) size = drawn;
    return size;
}

const std::array<ControlName, 5> MainWindow::kAccessibleNames = {{
    {ids::kRightToggle, L"Alinear a la derecha"},
    {ids::kCentreToggle, L"Centrar"},
    {ids::kBulletToggle, L"Vi\u00f1etas"},
    {ids::kTextColourSwatch, L"Color del texto"},
    {ids::kHighlightSwatch, L"Color de resaltado"},
}};

// Controls in creation order, which is also their tab order.
platform::DialogTemplate MainWindow::Template() {
    platform::DialogTemplate t(
        kCaption, WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_NOFAILCREATE | DS_3DLOOK | DS_CENTER, 0,
        0, 0, kClientWidth, kClientHeight);
    t.Add({ids::kEditor, ed::kClassName, L"Este es mi editor ...", 4, 24, 465, 444,
           kVisibleChild | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
           WS_EX_CLIENTEDGE});
    t.Add({ids::kFontList, L"COMBOBOX", L"", 4, 4, 100, 120, kVisibleChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL,
           0});
    t.Add({ids::kSizeList, L"COMBOBOX", L"", 110, 4, 30, 120, kVisibleChild | CBS_DROPDOWNLIST | WS_VSCROLL, 0});
    t.Add({ids::kBoldToggle, L"BUTTON", L"&B", 150, 4, 14, 14, kEffectToggle, 0});
    t.Add({ids::kItalicToggle, L"BUTTON", L"&I", 164, 4, 14, 14, kEffectToggle, 0});
    t.Add({ids::kUnderlineToggle, L"BUTTON", L"&U", 178, 4, 14, 14, kEffectToggle, 0});
    t.Add({ids::kStrikeOutToggle, L"BUTTON", L"&S", 192, 4, 14, 14, kEffectToggle, 0});
    t.Add({ids::kTextColourBox, L"BUTTON", L"&red ", 210, 4, 10, 14, kColourBox, 0});
    t.Add({ids::kTextColourSwatch, L"STATIC", L"", 220, 1, 20, 20, kSwatch, 0});
    t.Add({ids::kHighlightBox, L"BUTTON", L"&yellow ", 250, 4, 10, 14, kColourBox, 0});
    t.Add({ids::kHighlightSwatch, L"STATIC", L"", 260, 1, 20, 20, kSwatch, 0});
    t.Add({ids::kRightToggle, L"BUTTON", L"", 285, 1, 20, 20, kIconToggle, 0});
    t.Add({ids::kCentreToggle, L"BUTTON", L"", 306, 1, 20, 20, kIconToggle, 0});
    t.Add({ids::kBulletToggle, L"BUTTON", L"", 330, 1, 20, 20, kIconToggle, 0});
    return t;
}

MainWindow::MainWindow(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
                       std::string settingsPath)
    : DialogWindow(dialogs, Lifetime::Owned, Focus::Default),
      state_(&state),
      modal_(&modal),
      settingsPath_(std::move(settingsPath)) {}

// The window goes before the fonts and icons its controls use.
MainWindow::~MainWindow() { DestroyOpenWindow(); }

bool MainWindow::Create(HINSTANCE instance) { return CreateFromTemplate(Template(), nullptr, instance) != nullptr; }

void MainWindow::Run() {
    platform::RunUntil([this] { return state_->ending || !Window(); }, Dialogs());
    Dialogs().DestroyAll();
}

// After a change of scale the window keeps its designed client size where the
// system put it, and the editor its size rule.
void MainWindow::OnScaleChanged() {
    ApplyDisplayScale();
    if (!IsZoomed(Window()) && !IsIconic(Window())) FitWindowToClientSize(false);
    OnSize(IsZoomed(Window()) ? SIZE_MAXIMIZED : SIZE_RESTORED);
}

INT_PTR MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_NOTIFY:
            if (!lParam) return FALSE;
            return SetMessageResult(OnNotify(*reinterpret_cast<const NMHDR*>(lParam)), FALSE);
        case WM_SIZE:
            OnSize(wParam);
            return FALSE;
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_NCDESTROY:
            editor_ = nullptr;
            menuBar_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL MainWindow::OnInitDialog() {
    BuildWindow();
    Initialise();
    initialised_ = true;
    // The focus is the editor's (Initialise set it): tell the dialog manager not to move it.
    return FALSE;
}

// The parts of the window that the template cannot carry: icons, the editor's
// options, the size list's items, the effect toggles' own fonts and the menu bar.
void MainWindow::BuildWindow() {
    editor_ = Control(ids::kEditor);

    ed::SetOptions(editor_, ECOOP_OR, ECO_SELECTIONBAR);
    ed::LimitText(editor_, kEditorTextLimit);

    HWND sizeList = Control(ids::kSizeList);
    for (const wchar_t* item : kSizeItems) SendMessageW(sizeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));

    FillSwatch(ids::kTextColourSwatch, RGB(0, 0, 0));
    FillSwatch(ids::kHighlightSwatch, RGB(255, 255, 255));
    ApplyDisplayScale();

    names_.emplace();
    NameControls(*names_);

    platform::UniqueMenu bar = BuildMenuBar();
    if (SetMenu(Window(), bar.Get())) menuBar_ = bar.Release();  // the window destroys it with itself
    FitWindowToClientSize(true);
}

// What the window sizes in pixels itself, for the scale in Dpi(): the window
// icons, the icon toggles' icons (at the size that fills each button as it is
// laid out now) and the effect toggles' fonts, each of which shows its own
// effect. A new handle goes in before the old one is destroyed.
void MainWindow::ApplyDisplayScale() {
    platform::UniqueIcon big = LoadIconResource(VELMAR_ICON_WINDOW, platform::SystemMetricForDpi(SM_CXICON, Dpi()));
    platform::UniqueIcon small = LoadIconResource(VELMAR_ICON_WINDOW, platform::SystemMetricForDpi(SM_CXSMICON, Dpi()));
    SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);

    for (std::size_t i = 0; i < std::size(kIconToggleIds); ++i) {
        HWND toggle = Control(kIconToggleIds[i]);
        int size = IconSizeToFill(ClientSize(toggle), Dpi());
        platform::UniqueIcon icon = LoadIconResource(kToggleIconIds[i], size);
        SendMessageW(toggle, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
        toggleIcons_[i] = std::move(icon);
    }

    for (std::size_t i = 0; i < std::size(kEffectIds); ++i) {
        platform::FontSpec request{L"Tahoma", kEffectFontPoints};
        request.weight = i == 0 ? FW_BOLD : FW_NORMAL;
        request.italic = i == 1;
        request.underline = i == 2;
        request.strikeOut = i == 3;
        SetOwnFont(std::span(&kEffectIds[i], 1), request, effectFonts_[i]);
    }
}

void MainWindow::NameControls(platform::AccessibleNames& names) const {
    for (const ControlName& control : kAccessibleNames) names.Set(Control(control.id), control.name);
}

// Attaching the menu bar takes its height from the client area; the window
// grows by that much so the client area keeps its designed size. At creation
// it is also centred on the work area; after a change of scale it stays where
// the system put it.
void MainWindow::FitWindowToClientSize(bool centre) {
    RECT client = platform::DialogUnitsToPixels(Window(), RECT{0, 0, kClientWidth, kClientHeight});
    auto style = static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_STYLE));
    auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_EXSTYLE));
    AdjustWindowRectEx(&client, style, GetMenu(Window()) != nullptr, exStyle);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (centre) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        // On a screen too small for the window its top-left corner stays on the
        // work area, so the caption and the menu bar can always be reached.
        int x = std::max<int>(work.left, work.left + ((work.right - work.left) - width) / 2);
        int y = std::max<int>(work.top, work.top + ((work.bottom - work.top) - height) / 2);
        SetWindowPos(Window(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(Window(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    // A menu bar that wraps onto a second line only shows once it is laid out:
    // measure again and make up the difference.
    RECT actual{};
    GetClientRect(Window(), &actual);
    RECT wanted = platform::DialogUnitsToPixels(Window(), RECT{0, 0, kClientWidth, kClientHeight});
    int missing = wanted.bottom - actual.bottom;
    if (missing > 0)
        SetWindowPos(Window(), nullptr, 0, 0, width, height + missing, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

SIZE MainWindow::WindowSizeInDialogUnits() const {
    RECT r{};
    GetWindowRect(Window(), &r);
    return platform::PixelsToDialogUnits(Window(), SIZE{r.right - r.left, r.bottom - r.top});
}

void MainWindow::Initialise() {
    DatabaseLink& link = state_->link;
    SettingsFileAt(settingsPath_, "get", link.db.folder);

    initialWindow_ = WindowSizeInDialogUnits();
    RECT editorRect{};
    GetWindowRect(editor_, &editorRect);
    initialEditor_ = platform::PixelsToDialogUnits(
        Window(), SIZE{editorRect.right - editorRect.left, editorRect.bottom - editorRect.top});

    link.linked = !link.db.folder.empty() && CheckDatabaseFolder(link.db) == FolderCheck::FolderValid;
    if (link.linked) state_->search.state.results.flag = 0;
    ApplyDatabaseMenuState(menuBar_, link.linked);

    state_->colours.text = kRed;
    state_->colours.highlight = kYellow;

    FillFontList(Control(ids::kFontList));
    ed::SetEventMask(editor_, kEditorEvents);

    ed::SetSelection(editor_, 0, -1);
    SetFace(*this, kInitialFace);
    SetSize(*this, kInitialFontPoints);
    ed::SetSelection(editor_, kCaretAfterText, kCaretAfterText);

    ed::EmptyUndoBuffer(editor_);
    SetFocus(editor_);
}

void MainWindow::OnCommand(int id, int code) {
    WindowGuards& guards = state_->guards;
    switch (id) {
        case ids::kNew:
            NewDocument(*this);
            break;
        case ids::kReadRtf:
            ReadDocument(*this, DocumentKind::Rtf);
            break;
        case ids::kImportTxt:
            ReadDocument(*this, DocumentKind::Txt);
            break;
        case ids::kWriteRtf:
            WriteDocument(*this, DocumentKind::Rtf);
            break;
        case ids::kExportTxt:
            WriteDocument(*this, DocumentKind::Txt);
            break;
        case ids::kAbout:
            ShowAbout();
            break;
        case ids::kQuit:
            Quit();
            break;
        case ids::kLink: {
            GuardHold hold = GuardHold::Take(guards.linkDialog);
            if (hold) RunLinkDialog(*this);
            break;
        }
        case ids::kNavigator: {
            GuardHold hold = GuardHold::Take(guards.databaseDialog);
            if (hold) OpenRecordNavigator(*this, std::move(hold));
            break;
        }
        case ids::kSearch:
            OpenSearch();
            break;

        case ids::kUndo:
        case ids::kCut:
        case ids::kCopy:
        case ids::kPaste:
        case ids::kDelete:
            if (code != 0) break;
            if (id == ids::kUndo) ed::Undo(editor_);
            if (id == ids::kCut) SendMessageW(editor_, WM_CUT, 0, 0);
            if (id == ids::kCopy) SendMessageW(editor_, WM_COPY, 0, 0);
            if (id == ids::kPaste) SendMessageW(editor_, WM_PASTE, 0, 0);
            if (id == ids::kDelete) SendMessageW(editor_, WM_CLEAR, 0, 0);
            RefreshBar(*this);
            break;
        case ids::kSelectAll:
            if (code == 0) ed::SetSelectionEx(editor_, 0, -1);
            break;

        case ids::kFontList:
            if (code == CBN_SELENDOK) OnFontListChosen(*this);
            break;
        case ids::kSizeList:
            if (code == CBN_SELENDOK) OnSizeListChosen(*this);
            break;
        case ids::kBoldToggle:
        case ids::kItalicToggle:
        case ids::kUnderlineToggle:
        case ids::kStrikeOutToggle:
            if (code == BN_CLICKED) OnEffectToggle(*this, id);
            break;
        case ids::kTextColourBox:
        case ids::kHighlightBox:
            if (code == BN_CLICKED) OnColourBox(*this, id);
            break;
        case ids::kRightToggle:
        case ids::kCentreToggle:
        case ids::kBulletToggle:
            if (code == BN_CLICKED) OnParagraphToggle(*this, id);
            break;
        case ids::kTextColourSwatch:
        case ids::kHighlightSwatch:
            OnSwatchClicked(*this, id);
            break;
        default:
            break;
    }
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != editor_) return 0;
    if (header.code == EN_SELCHANGE) {
        RefreshBar(*this);
    } else if (header.code == EN_MSGFILTER) {
        const auto& filter = reinterpret_cast<const MSGFILTER&>(header);
        if (filter.msg == WM_RBUTTONDOWN) ShowContextMenu(filter.lParam);
    }
    return 0;  // the editor still handles the mouse message itself
}

void MainWindow::OnSize(WPARAM kind) {
    if (!initialised_) return;  // nothing to restore to before the sizes are recorded
    SIZE units = initialEditor_;
    if (kind == SIZE_MAXIMIZED) {
        SIZE now = WindowSizeInDialogUnits();
        units.cx = initialEditor_.cx + static_cast<int16_t>(now.cx - initialWindow_.cx);
        units.cy = initialEditor_.cy + static_cast<int16_t>(now.cy - initialWindow_.cy);
    }
    RECT pixels = platform::DialogUnitsToPixels(Window(), RECT{0, 0, units.cx, units.cy});
    SetWindowPos(editor_, nullptr, 0, 0, pixels.right, pixels.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A close request from the frame leaves the window open: the program is left
// only through "Salir", which also saves the settings.
bool MainWindow::OnCloseRequest() {
    ShowWindow(Window(), SW_SHOW);
    return true;
}

bool MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != static_cast<UINT>(ids::kTextColourSwatch) &&
        item.CtlID != static_cast<UINT>(ids::kHighlightSwatch))
        return false;
    platform::UniqueBrush brush(CreateSolidBrush(SwatchColour(static_cast<int>(item.CtlID))));
    FillRect(item.hDC, &item.rcItem, brush.Get());
    return true;
}

void MainWindow::FillSwatch(int swatchId, COLORREF colour) {
    if (swatchId == ids::kTextColourSwatch) textSwatch_ = colour;
    if (swatchId == ids::kHighlightSwatch) highlightSwatch_ = colour;
    InvalidateRect(Control(swatchId), nullptr, TRUE);
}

COLORREF MainWindow::SwatchColour(int swatchId) const {
    return swatchId == ids::kTextColourSwatch ? textSwatch_ : highlightSwatch_;
}

void MainWindow::OnDestroy() {
    if (names_)
        for (const ControlName& control : kAccessibleNames) names_->Clear(Control(control.id));
    // Wakes a message loop that waits in GetMessage, so it sees the window gone.
    PostMessageW(nullptr, WM_NULL, 0, 0);
}

void MainWindow::ShowAbout() {
    GuardHold hold = GuardHold::Take(state_->guards.aboutBox);
    if (!hold) return;
    modal_->ShowMessageBox({nullptr, kAboutText, kMessageTitle, MB_OK});
}

// "Salir" ends the window the way a modal dialog is ended: it is hidden at
// once and destroyed when its own loop regains control (Run), so that a
// command still waiting below this one (a save on its overwrite question, a
// search, a record being shown) finishes with the real editor. The other
// windows are hidden too: nothing the user cannot see changes the document.
void MainWindow::Quit() {
    SettingsFileAt(settingsPath_, "save", state_->link.db.folder);
    state_->ending = true;
    for (HWND window : Dialogs().Windows()) ShowWindow(window, SW_HIDE);
    // Wakes a loop that waits in GetMessage, so that it sees the end.
    PostMessageW(nullptr, WM_NULL, 0, 0);
}

void MainWindow::OpenSearch() {
    GuardHold hold = GuardHold::Take(state_->guards.databaseDialog);
    if (!hold) return;
    const LinkedDatabase& db = state_->link.db;
    if (!db.folder.empty() && KindOfPath(db.DefinitionFilePath()) != PathKind::Missing) {
        OpenSearchDialog(*this, std::move(hold));
        return;
    }
    // The flag stays set until the message has been answered.
    modal_->ShowMessageBox({nullptr, kNoDatabaseText, kMessageTitle, MB_OK});
}

void MainWindow::ShowContextMenu(LPARAM mousePosition) {
    platform::UniqueMenu menu = BuildPopupMenu(ContextMenuEntries(ReadContextMenuFacts(editor_)));
    POINT at{static_cast<LONG>(LOWORD(mousePosition)), static_cast<LONG>(HIWORD(mousePosition))};
    ClientToScreen(editor_, &at);
    modal_->TrackPopupMenu({menu.Get(), 0, at, Window()});
}

}  // namespace velmar::ui
