// The real main window, created in this process and driven with messages.
#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/dialog_template.h"
#include "platform/editor.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "tests/support/fixture.h"
#include "tests/ui/main_window_fixture.h"
#include "tests/ui/scripted_modal_services.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_window_ids.h"

namespace velmar::test {
namespace {

namespace ids = ui::main_ids;
namespace ed = platform::editor;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class MainWindowTest : public MainWindowHarness {
protected:
    ui::MainWindow& Open() { return OpenMainWindow(); }

    void Command(int id, int code = 0) {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, code), 0);
        PumpPending();
    }
    UINT MenuState(int id) const { return GetMenuState(window_->MenuBar(), static_cast<UINT>(id), MF_BYCOMMAND); }
    SIZE EditorUnits() const {
        RECT r = platform::ChildRectInDialogUnits(Window(), Editor());
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
};

// ---- Window and controls -------------------------------------------------

TEST_F(MainWindowTest, WindowIsCreatedHiddenWithItsCaptionStyleAndClientSize) {
    Open();
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_EQ(platform::WindowTextW(Window()), L"Velmar rtf");
    EXPECT_EQ(GetParent(Window()), nullptr);
    EXPECT_EQ(GetWindow(Window(), GW_OWNER), nullptr);

    auto style = static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_STYLE));
    for (DWORD bit :
         {DWORD(WS_BORDER), DWORD(WS_SYSMENU), DWORD(WS_MINIMIZEBOX), DWORD(WS_MAXIMIZEBOX), DWORD(WS_CAPTION)})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    EXPECT_EQ(style & WS_THICKFRAME, 0u) << "no sizing border";
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD), 0u) << "an overlapped window";

    RECT client{};
    GetClientRect(Window(), &client);
    SIZE units = platform::PixelsToDialogUnits(Window(), SIZE{client.right, client.bottom});
    EXPECT_EQ(units.cx, 475);
    EXPECT_EQ(units.cy, 500) << "the menu bar must not eat into the client area";
}

TEST_F(MainWindowTest, WindowUsesTheEightPointTemplateFontAndCarriesBothIcons) {
    Open();
    FontSeen font = FontOf(Window());
    EXPECT_EQ(font.face, L"MS Sans Serif");
    EXPECT_EQ(font.height, HeightForPoints(8));
    EXPECT_NE(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0), 0);
}

struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* caption;
    short x, y, w, h;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
};

const DWORD kToggle = BS_AUTOCHECKBOX | BS_PUSHLIKE;
const DWORD kBox = BS_AUTOCHECKBOX | WS_TABSTOP;
const DWORD kSwatch = SS_OWNERDRAW | SS_NOTIFY | WS_BORDER;
const DWORD kIcon = BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON;
const DWORD kEditorStyle = WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN;

const ControlRow kControls[] = {
    {1174, L"RichEdit20A", L"Este es mi editor ...", 4, 24, 465, 444, kEditorStyle, WS_EX_CLIENTEDGE},
    {1155, L"COMBOBOX", L"", 4, 4, 100, 120, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0},
    {1156, L"COMBOBOX", L"", 110, 4, 30, 120, CBS_DROPDOWNLIST | WS_VSCROLL, 0},
    {1134, L"BUTTON", L"&B", 150, 4, 14, 14, kToggle, 0},
    {1135, L"BUTTON", L"&I", 164, 4, 14, 14, kToggle, 0},
    {1136, L"BUTTON", L"&U", 178, 4, 14, 14, kToggle, 0},
    {1137, L"BUTTON", L"&S", 192, 4, 14, 14, kToggle, 0},
    {1144, L"BUTTON", L"&red ", 210, 4, 10, 14, kBox, 0},
    {1251, L"STATIC", L"", 220, 1, 20, 20, kSwatch, 0},
    {1154, L"BUTTON", L"&yellow ", 250, 4, 10, 14, kBox, 0},
    {1252, L"STATIC", L"", 260, 1, 20, 20, kSwatch, 0},
    {1256, L"BUTTON", L"", 285, 1, 20, 20, kIcon, 0},
    {1257, L"BUTTON", L"", 306, 1, 20, 20, kIcon, 0},
    {1265, L"BUTTON", L"", 330, 1, 20, 20, kIcon, 0},
};

TEST(MainWindowTemplate, CarriesEveryControlExactlyAndTheWindowsStyle) {
    platform::DialogTemplate t = ui::MainWindow::Template();
    EXPECT_EQ(t.Style(), static_cast<DWORD>(WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT |
                                            DS_NOFAILCREATE | DS_3DLOOK | DS_CENTER));
    const std::vector<platform::DialogControl>& controls = t.Controls();
    ASSERT_EQ(controls.size(), std::size(kControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlRow& row = kControls[i];
        const platform::DialogControl& c = controls[i];
        SCOPED_TRACE(::testing::Message() << "row " << i << ", id " << row.id);
        EXPECT_EQ(c.id, row.id);
        EXPECT_EQ(c.className, row.className);
        EXPECT_EQ(c.text, row.caption);
        EXPECT_EQ(c.x, row.x);
        EXPECT_EQ(c.y, row.y);
        EXPECT_EQ(c.cx, row.w);
        EXPECT_EQ(c.cy, row.h);
        EXPECT_EQ(c.style, WS_CHILD | WS_VISIBLE | row.style) << std::hex << c.style;
        EXPECT_EQ(c.exStyle, row.exStyle);
    }
}

TEST_F(MainWindowTest, CreatedControlsHaveTheirIdsClassesCaptionsPlacesAndStyles) {
    Open();
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const ControlRow& row = kControls[i];
        SCOPED_TRACE(::testing::Message() << "row " << i << ", id " << row.id);
        HWND control = Control(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(SameText(platform::ClassNameOf(control), row.className))
            << platform::AnsiFromWide(platform::ClassNameOf(control));
        // A list's text is its selected item, which the bar takes from the
        // editor's selection.
        if (row.id != ids::kEditor && row.id != ids::kFontList && row.id != ids::kSizeList) {
            EXPECT_EQ(platform::WindowTextW(control), row.caption);
        }

        RECT r = platform::ChildRectInDialogUnits(Window(), control);
        EXPECT_EQ(r.left, row.x);
        EXPECT_EQ(r.top, row.y);
        EXPECT_EQ(r.right - r.left, row.w);
        // A drop-down list's closed height is its edit height, not the height of its list.
        if (row.h != 120) {
            EXPECT_EQ(r.bottom - r.top, row.h);
        }

        // The controls keep their styles, except what the platform takes over:
        // a combo box hands its scroll bar to its list, the editor shows its
        // scroll bar and keeps its selection flag to itself, and a border
        // becomes a sunken edge in a dialog with the 3-D look.
        auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_EXSTYLE));
        DWORD kept = WS_CHILD | WS_VISIBLE | row.style;
        if (row.className == std::wstring(L"COMBOBOX")) kept &= ~static_cast<DWORD>(WS_VSCROLL);
        if (row.id == ids::kEditor) kept &= ~static_cast<DWORD>(WS_VSCROLL | ES_NOHIDESEL);
        if ((row.style & WS_BORDER) && (exStyle & WS_EX_CLIENTEDGE)) kept &= ~static_cast<DWORD>(WS_BORDER);
        EXPECT_EQ(style & kept, kept) << std::hex << style;
        if (row.exStyle != 0) {
            EXPECT_NE(exStyle & row.exStyle, 0u);
        }
    }
}

TEST_F(MainWindowTest, ControlsFollowEachOtherInCreationOrder) {
    Open();
    std::vector<int> order;
    for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(child));
    std::vector<int> expected;
    for (const ControlRow& row : kControls) expected.push_back(row.id);
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindowTest, SizeListHoldsSixteenSizesUnsorted) {
    Open();
    HWND list = Control(ids::kSizeList);
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[16] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    std::vector<std::wstring> expected = {L"8",  L"9",  L"10", L"11", L"12", L"14", L"16", L"18",
                                          L"20", L"22", L"24", L"26", L"28", L"36", L"48", L"72"};
    EXPECT_EQ(items, expected);
}

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param) {
    auto* families = reinterpret_cast<std::vector<std::pair<std::wstring, bool>>*>(param);
    families->emplace_back(font->lfFaceName, (type & TRUETYPE_FONTTYPE) != 0);
    return 1;
}

TEST_F(MainWindowTest, FontListHoldsTheTrueTypeFamiliesSorted) {
    Open();
    HWND list = Control(ids::kFontList);
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[LF_FACESIZE] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    ASSERT_FALSE(items.empty());
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    }));

    // An independent enumeration says which families are TrueType.
    std::vector<std::pair<std::wstring, bool>> families;
    HDC screen = GetDC(nullptr);
    LOGFONTW any{};
    any.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen, &any, reinterpret_cast<FONTENUMPROCW>(CollectFamily),
                        reinterpret_cast<LPARAM>(&families), 0);
    ReleaseDC(nullptr, screen);
    int rasterOnly = 0;
    for (const auto& [face, trueType] : families) {
        bool listed = std::find(items.begin(), items.end(), face) != items.end();
        bool anyTrueType =
            std::any_of(families.begin(), families.end(), [&](const auto& f) { return f.first == face && f.second; });
        if (!anyTrueType) {
            ++rasterOnly;
            EXPECT_FALSE(listed) << platform::AnsiFromWide(face) << " is not TrueType";
        }
    }
    for (const std::wstring& item : items) {
        bool known =
            std::any_of(families.begin(), families.end(), [&](const auto& f) { return f.first == item && f.second; });
        EXPECT_TRUE(known) << platform::AnsiFromWide(item);
    }
    EXPECT_GT(rasterOnly, 0) << "no raster family installed: the TrueType filter went untested";
}

TEST_F(MainWindowTest, EffectTogglesShowTheirOwnTahomaFontsAndTheRestTheDialogFont) {
    Open();
    const int toggles[] = {ids::kBoldToggle, ids::kItalicToggle, ids::kUnderlineToggle, ids::kStrikeOutToggle};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        FontSeen font = FontOf(Control(toggles[i]));
        EXPECT_EQ(font.face, L"Tahoma");
        EXPECT_EQ(font.height, HeightForPoints(10));
        EXPECT_EQ(font.charset, 0);
        EXPECT_EQ(font.weight >= FW_BOLD, i == 0);
        EXPECT_EQ(font.italic, i == 1);
        EXPECT_EQ(font.underline, i == 2);
        EXPECT_EQ(font.strikeOut, i == 3);
    }
    for (int id : {ids::kFontList, ids::kSizeList, ids::kTextColourBox, ids::kHighlightBox, ids::kRightToggle})
        EXPECT_EQ(FontOf(Control(id)).face, L"MS Sans Serif") << id;
}

TEST_F(MainWindowTest, IconTogglesShowIconsAndSwatchesStartBlackAndWhite) {
    Open();
    for (int id : {ids::kRightToggle, ids::kCentreToggle, ids::kBulletToggle})
        EXPECT_NE(SendMessageW(Control(id), BM_GETIMAGE, IMAGE_ICON, 0), 0) << id;
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), RGB(0, 0, 0));
    EXPECT_EQ(window_->SwatchColour(ids::kHighlightSwatch), RGB(255, 255, 255));
    EXPECT_EQ(state_.colours.text, 0x000000FFu);
    EXPECT_EQ(state_.colours.highlight, 0x0000FFFFu);
}

TEST_F(MainWindowTest, SwatchIsPaintedInItsColour) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    window_->FillSwatch(ids::kHighlightSwatch, RGB(0, 128, 255));
    UpdateWindow(Window());
    PumpPending();
    HWND swatch = Control(ids::kHighlightSwatch);
    RECT r{};
    GetClientRect(swatch, &r);
    HDC dc = GetDC(swatch);
    COLORREF centre = GetPixel(dc, r.right / 2, r.bottom / 2);
    ReleaseDC(swatch, dc);
    EXPECT_EQ(centre, RGB(0, 128, 255));
    EXPECT_EQ(window_->SwatchColour(ids::kTextColourSwatch), RGB(0, 0, 0)) << "the other swatch keeps its colour";
}

// ---- Editor at start -----------------------------------------------------

TEST_F(MainWindowTest, EditorStartsWithItsTextInTimesNewRomanTwelveCaretAtEndNothingToUndo) {
    Open();
    EXPECT_EQ(platform::WindowTextW(Editor()), L"Este es mi editor ...");
    CHARRANGE caret = ed::Selection(Editor());
    EXPECT_EQ(caret.cpMin, 21);
    EXPECT_EQ(caret.cpMax, 21);
    EXPECT_FALSE(ed::CanUndo(Editor()));

    ed::SetSelection(Editor(), 0, -1);
    CHARFORMAT2A format = ed::SelectionCharFormat(Editor(), CFM_FACE | CFM_SIZE);
    EXPECT_TRUE(format.dwMask & CFM_FACE) << "one face over the whole text";
    EXPECT_EQ(lstrcmpiA(format.szFaceName, "Times New Roman"), 0) << format.szFaceName;
    EXPECT_TRUE(format.dwMask & CFM_SIZE);
    EXPECT_EQ(format.yHeight, 240) << "12 points in twips";
}

TEST_F(MainWindowTest, EditorHasItsOptionsLimitAndEventMask) {
    Open();
    EXPECT_NE(ed::Options(Editor()) & ECO_SELECTIONBAR, 0);
    EXPECT_EQ(ed::TextLimit(Editor()), 1000000);
    EXPECT_EQ(ed::EventMask(Editor()), 0x000A0000);
}

TEST_F(MainWindowTest, EditorHasTheFocusOnceShown) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    SetForegroundWindow(Window());
    PumpPending();
    EXPECT_EQ(GetFocus(), Editor());
}

// ---- Menu bar ------------------------------------------------------------

TEST_F(MainWindowTest, MenuBarHasBothMenusWithTheirItemsAndIdsInOrder) {
    Open();
    HMENU bar = window_->MenuBar();
    ASSERT_EQ(GetMenu(Window()), bar);
    std::vector<MenuItemSeen> top = ReadMenu(bar);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].text, L"Men\u00fa");
    EXPECT_EQ(top[1].text, L"Bases d datos");

    struct Item {
        const wchar_t* text;
        UINT id;
    };
    const std::vector<std::vector<Item>> expected = {
        {{L"Nuevo", 1253},
         {L"Leer RTF", 1254},
         {L"Grabar RTF", 1255},
         {L"Exportar a TXT", 1263},
         {L"Importar de TXT", 1264},
         {L"Autor", 1259},
         {L"Salir", 1258}},
        {{L"Vincular", 1260}, {L"Navegador", 1261}, {L"Buscar", 1262}},
    };
    for (int m = 0; m < 2; ++m) {
        std::vector<MenuItemSeen> items = ReadMenu(GetSubMenu(bar, m));
        ASSERT_EQ(items.size(), expected[static_cast<std::size_t>(m)].size()) << m;
        for (std::size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "menu " << m << " item " << i);
            EXPECT_EQ(items[i].text, expected[static_cast<std::size_t>(m)][i].text);
            EXPECT_EQ(items[i].id, expected[static_cast<std::size_t>(m)][i].id);
            if (items[i].id != 1261 && items[i].id != 1262) {
                EXPECT_EQ(items[i].state, 0u) << "enabled";
            }
        }
    }
}

TEST_F(MainWindowTest, WithoutSettingsFileDatabaseItemsStartDisabledAndNothingIsLinked) {
    Open();
    EXPECT_EQ(state_.link.db.folder, "");
    EXPECT_FALSE(state_.link.linked);
    EXPECT_EQ(MenuState(ids::kNavigator), static_cast<UINT>(MF_DISABLED));
    EXPECT_EQ(MenuState(ids::kSearch), static_cast<UINT>(MF_DISABLED));
    EXPECT_TRUE(modal_.asked.empty()) << "no message at start";
}

TEST_F(MainWindowTest, ValidLinkedFolderEnablesDatabaseItemsAndClearsTheResultsFlag) {
    DatabaseFixture db("Clientes");
    db.Field("Nombre", 1).Field("Edad", 2).Value("Nombre", 1, "Ana").Write();
    WriteSettings(db.Folder());
    state_.search.state.results.flag = 1;
    Open();
    EXPECT_EQ(state_.link.db.folder, db.Folder());
    EXPECT_TRUE(state_.link.linked);
    EXPECT_EQ(state_.search.state.results.flag, 0);
    EXPECT_EQ(MenuState(ids::kNavigator), 0u);
    EXPECT_EQ(MenuState(ids::kSearch), 0u);
}

TEST_F(MainWindowTest, DefinitionFileOfWrongLengthLeavesTheLinkInvalidWithoutMessage) {
    DatabaseFixture db("Clientes");
    db.Field("Nombre", 1).Write();
    std::vector<unsigned char> bytes = ReadBytes(db.DefinitionPath());
    bytes.push_back(0);  // 12043 bytes: not a multiple of one definition
    db.WriteDefinitionBytes(bytes);
    WriteSettings(db.Folder());
    state_.search.state.results.flag = 1;
    Open();
    EXPECT_EQ(state_.link.db.folder, db.Folder()) << "the folder is kept, only not linked";
    EXPECT_FALSE(state_.link.linked);
    EXPECT_EQ(state_.search.state.results.flag, 1);
    EXPECT_EQ(MenuState(ids::kNavigator), static_cast<UINT>(MF_DISABLED));
    EXPECT_TRUE(modal_.asked.empty());
}

// ---- Close rule and "Salir" ---------------------------------------------

TEST_F(MainWindowTest, CloseRequestsFromTheFrameLeaveTheWindowOpen) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    // SC_CLOSE as the close box sends it, and with the low bits Windows may set.
    for (WPARAM command : {WPARAM(SC_CLOSE), WPARAM(SC_CLOSE | 0x3)}) {
        SendMessageW(Window(), WM_SYSCOMMAND, command, 0);
        PumpPending();
        EXPECT_TRUE(IsWindow(Window()));
        EXPECT_TRUE(IsWindowVisible(Window()));
    }
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    Command(IDCANCEL);  // Escape
    PumpPending();
    EXPECT_TRUE(IsWindow(Window()));
    EXPECT_FALSE(std::filesystem::exists(settingsPath_)) << "only Salir writes the settings";
}

// "Salir" hides the window at once and saves the settings; the window is
// destroyed when the program's loop regains control, which then returns.
TEST_F(MainWindowTest, SalirSavesTheLinkedFolderHidesTheWindowAndEndsTheLoop) {
    DatabaseFixture db("Clientes");
    db.Field("Nombre", 1).Write();
    WriteSettings(db.Folder());
    Open();
    HWND window = Window();
    ShowWindow(window, SW_SHOW);
    state_.link.db.folder = "C:\\Otra\\Base\\";  // as the link dialog might leave it
    Command(ids::kQuit);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    window_->Run();
    EXPECT_FALSE(IsWindow(window));
    std::string folder;
    SettingsFileAt(settingsPath_, "get", folder);
    EXPECT_EQ(folder, "C:\\Otra\\Base\\");
}

TEST_F(MainWindowTest, SalirWithNothingLinkedCreatesTheFileWithAnEmptyKey) {
    Open();
    Command(ids::kQuit);
    std::string text = ReadFile(settingsPath_);
    EXPECT_NE(text.find("[Base Datos]"), std::string::npos) << text;
    EXPECT_NE(text.find("Vinculado="), std::string::npos) << text;
}

// ---- Size rule -----------------------------------------------------------

TEST_F(MainWindowTest, MaximisingGrowsTheEditorByWhatTheWindowGrewAndRestoringShrinksItBack) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    SIZE initialWindow = window_->InitialWindowSize();
    EXPECT_EQ(window_->InitialEditorSize().cx, 465);
    EXPECT_EQ(window_->InitialEditorSize().cy, 444);
    EXPECT_EQ(EditorUnits().cx, 465);
    EXPECT_EQ(EditorUnits().cy, 444);

    // The frame as a maximise leaves it (without a window manager the X
    // server would not resize it), then the notification of the maximise.
    RECT r{};
    GetWindowRect(Window(), &r);
    SetWindowPos(Window(), nullptr, 0, 0, r.right - r.left + 150, r.bottom - r.top + 90, SWP_NOZORDER | SWP_NOMOVE);
    SendMessageW(Window(), WM_SIZE, SIZE_MAXIMIZED, 0);
    GetWindowRect(Window(), &r);
    SIZE now = platform::PixelsToDialogUnits(Window(), SIZE{r.right - r.left, r.bottom - r.top});
    ASSERT_GT(now.cx, initialWindow.cx);
    SIZE editor = EditorUnits();
    EXPECT_NEAR(editor.cx, 465 + (now.cx - initialWindow.cx), 1);
    EXPECT_NEAR(editor.cy, 444 + (now.cy - initialWindow.cy), 1);
    RECT place = platform::ChildRectInDialogUnits(Window(), Editor());
    EXPECT_EQ(place.left, 4) << "the editor does not move";
    EXPECT_EQ(place.top, 24);

    SendMessageW(Window(), WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_EQ(EditorUnits().cx, 465);
    EXPECT_EQ(EditorUnits().cy, 444);
}

TEST_F(MainWindowTest, MinimisingKeepsTheInitialEditorSize) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    ShowWindow(Window(), SW_MAXIMIZE);
    PumpPending();
    ASSERT_GT(EditorUnits().cx, 465) << "the maximise grew the editor";
    SendMessageW(Window(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(EditorUnits().cx, 465);
    EXPECT_EQ(EditorUnits().cy, 444);
}

// ---- Guards and the database commands ------------------------------------

TEST_F(MainWindowTest, AutorShowsTheAboutBoxOnceEvenWhenChosenAgainMeanwhile) {
    Open();
    // The box has no owner, so the menu stays usable while it is open.
    modal_.whileShown = [&] { Command(ids::kAbout); };
    Command(ids::kAbout);
    std::vector<Asked> boxes = modal_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].title, L"Programador");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[0].text.rfind(L"Este programa es tuyo ...\r\nPero lo program\u00f3 ", 0), 0u);
    EXPECT_GT(boxes[0].text.size(), std::wstring(L"Este programa es tuyo ...\r\nPero lo program\u00f3 ").size());
    EXPECT_FALSE(state_.guards.aboutBox);

    Command(ids::kAbout);
    EXPECT_EQ(modal_.MessageBoxes().size(), 2u) << "the guard is cleared when the box closes";
}

TEST_F(MainWindowTest, BuscarWithoutDatabaseRefusesWithMessageAndClearsTheFlag) {
    Open();
    Command(ids::kSearch);
    std::vector<Asked> boxes = modal_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"No hay una base de datos vinculada correctamente ...");
    EXPECT_EQ(boxes[0].title, L"Programador");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_FALSE(state_.guards.databaseDialog);

    Command(ids::kNavigator);  // still opens after a refused "Buscar"
    EXPECT_TRUE(state_.guards.databaseDialog);
}

TEST_F(MainWindowTest, BuscarRefusesWhenTheDefinitionFileIsMissing) {
    DatabaseFixture db("Clientes");
    db.Field("Nombre", 1).Write();
    WriteSettings(db.Folder());
    Open();
    std::filesystem::remove(db.DefinitionPath());
    Command(ids::kSearch);
    EXPECT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_FALSE(state_.guards.databaseDialog);
}

TEST_F(MainWindowTest, BuscarLooksOnlyAtTheDefinitionFilesExistence) {
    DatabaseFixture db("Clientes");
    db.Field("Nombre", 1).Write();
    WriteSettings(db.Folder());
    Open();
    db.WriteDefinitionBytes({1, 2, 3});  // exists, though no longer a database
    Command(ids::kSearch);
    EXPECT_TRUE(modal_.asked.empty());
    EXPECT_TRUE(state_.guards.databaseDialog) << "the search dialog is open";
}

TEST_F(MainWindowTest, WithOneDatabaseWindowOpenNeitherCommandOpensAnother) {
    Open();  // nothing linked: a "Buscar" that got through would show its refusal
    Command(ids::kNavigator);
    ASSERT_TRUE(state_.guards.databaseDialog);
    Command(ids::kSearch);
    Command(ids::kNavigator);
    EXPECT_TRUE(modal_.asked.empty());
    EXPECT_TRUE(state_.guards.databaseDialog);

    state_.guards.databaseDialog = false;  // as the navigator does when it closes
    Command(ids::kSearch);
    EXPECT_EQ(modal_.MessageBoxes().size(), 1u);
}

TEST_F(MainWindowTest, VincularClearsItsGuardWhenTheDialogReturnsAndDoesNothingWhileOpen) {
    Open();
    ClickWhenShown(L"Base de Datos Vinculada", 1003);  // "Salir" ends the dialog's own loop
    Command(ids::kLink);
    EXPECT_FALSE(state_.guards.linkDialog);
    state_.guards.linkDialog = true;
    std::string before = state_.link.db.folder;
    Command(ids::kLink);
    EXPECT_TRUE(state_.guards.linkDialog) << "an open dialog's guard is not touched";
    EXPECT_EQ(state_.link.db.folder, before);
}

TEST_F(MainWindowTest, CommandsWithOtherIdsDoNothing) {
    Open();
    HWND window = Window();
    for (int id : {0, 1, 2, 1175, 1245, 1266, 7015}) Command(id);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(modal_.asked.empty());
    EXPECT_EQ(platform::WindowTextW(Editor()), L"Este es mi editor ...");
}

// ---- Context menu --------------------------------------------------------

void RightClick(HWND editor, int x, int y) {
    SendMessageW(editor, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    SendMessageW(editor, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
}

std::vector<UINT> GreyedIds(const Asked& menu) {
    std::vector<UINT> greyed;
    for (const MenuItemSeen& item : menu.menu)
        if (item.id != 0 && (item.state & MF_GRAYED)) greyed.push_back(item.id);
    return greyed;
}

TEST_F(MainWindowTest, RightClickShowsTheContextMenuAtTheMouseInScreenCoordinates) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    RightClick(Editor(), 30, 40);
    ASSERT_EQ(modal_.asked.size(), 1u);
    const Asked& shown = modal_.asked[0];
    EXPECT_EQ(shown.kind, Asked::Kind::PopupMenu);
    EXPECT_EQ(shown.owner, Window());
    EXPECT_EQ(shown.type, 0u) << "TrackPopupMenu flags";
    POINT expected{30, 40};
    ClientToScreen(Editor(), &expected);
    EXPECT_EQ(shown.screen.x, expected.x);
    EXPECT_EQ(shown.screen.y, expected.y);

    const std::vector<std::pair<UINT, std::wstring>> entries = {
        {1244, L"&undo\tctrl + z"},
        {0, L""},
        {1246, L"cu&t\tctrl + x"},
        {1247, L"&copy\tctrl + c"},
        {1248, L"&paste\tctrl + v"},
        {1249, L"&delete\tdel"},
        {0, L""},
        {1250, L"&select all\tctrl + a"},
    };
    ASSERT_EQ(shown.menu.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown.menu[i].id, entries[i].first);
        if (entries[i].first == 0) {
            EXPECT_TRUE(shown.menu[i].state & MF_SEPARATOR);
        } else {
            EXPECT_EQ(shown.menu[i].text, entries[i].second);
        }
    }
}

TEST_F(MainWindowTest, ContextMenuGreysWhatTheEditorCannotDo) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    OpenClipboard(Window());
    EmptyClipboard();
    CloseClipboard();

    // Caret at the end, nothing to undo, empty clipboard.
    RightClick(Editor(), 5, 5);
    std::vector<UINT> greyed = GreyedIds(modal_.asked.back());
    // A right-click may move the caret but never makes a selection.
    EXPECT_EQ(greyed, (std::vector<UINT>{1244, 1246, 1247, 1248, 1249}));

    // A selection, something to undo and text on the clipboard enable them all.
    ed::SetSelection(Editor(), 0, 4);
    SendMessageW(Editor(), WM_COPY, 0, 0);
    SendMessageW(Editor(), WM_CHAR, 'x', 0);
    ed::SetSelection(Editor(), 0, 4);
    modal_.asked.clear();
    SendMessageW(Window(), WM_NOTIFY, 0, 0);  // a stray notification without a sender is ignored
    MSGFILTER filter{};
    filter.nmhdr = {Editor(), static_cast<UINT_PTR>(ids::kEditor), EN_MSGFILTER};
    filter.msg = WM_RBUTTONDOWN;
    filter.lParam = MAKELPARAM(5, 5);
    SendMessageW(Window(), WM_NOTIFY, ids::kEditor, reinterpret_cast<LPARAM>(&filter));
    ASSERT_EQ(modal_.asked.size(), 1u);
    EXPECT_TRUE(GreyedIds(modal_.asked.back()).empty());

    // An empty document greys "select all" too.
    SetWindowTextW(Editor(), L"");
    modal_.asked.clear();
    SendMessageW(Window(), WM_NOTIFY, ids::kEditor, reinterpret_cast<LPARAM>(&filter));
    ASSERT_EQ(modal_.asked.size(), 1u);
    std::vector<UINT> emptyGreyed = GreyedIds(modal_.asked.back());
    EXPECT_NE(std::find(emptyGreyed.begin(), emptyGreyed.end(), 1250u), emptyGreyed.end());
}

TEST_F(MainWindowTest, OnlyRightButtonDownFromTheEditorOpensTheMenu) {
    Open();
    MSGFILTER filter{};
    filter.nmhdr = {Editor(), static_cast<UINT_PTR>(ids::kEditor), EN_MSGFILTER};
    for (UINT message : {UINT(WM_LBUTTONDOWN), UINT(WM_RBUTTONUP), UINT(WM_MOUSEMOVE)}) {
        filter.msg = message;
        SendMessageW(Window(), WM_NOTIFY, ids::kEditor, reinterpret_cast<LPARAM>(&filter));
    }
    filter.msg = WM_RBUTTONDOWN;
    filter.nmhdr.hwndFrom = Control(ids::kFontList);
    SendMessageW(Window(), WM_NOTIFY, ids::kFontList, reinterpret_cast<LPARAM>(&filter));
    EXPECT_TRUE(modal_.asked.empty());
}

TEST_F(MainWindowTest, ChosenContextEntryArrivesAsCommandAndActsOnTheEditor) {
    Open();
    ShowWindow(Window(), SW_SHOW);
    modal_.popupChoices.push_back(ids::kSelectAll);
    RightClick(Editor(), 5, 5);
    PumpPending();
    CHARRANGE all = ed::Selection(Editor());
    EXPECT_EQ(all.cpMin, 0);
    EXPECT_GE(all.cpMax, 21) << "everything, up to the final paragraph mark";

    Command(ids::kDelete);
    EXPECT_EQ(ed::TextLength(Editor()), 0);
    Command(ids::kUndo);
    EXPECT_EQ(platform::WindowTextW(Editor()), L"Este es mi editor ...");
}

TEST_F(MainWindowTest, ContextCommandsActOnlyForNotificationCodeZero) {
    Open();
    ed::SetSelection(Editor(), 0, 4);
    Command(ids::kDelete, 1);
    Command(ids::kCut, 1);
    EXPECT_EQ(ed::TextLength(Editor()), 21);
    Command(ids::kSelectAll, 1);
    EXPECT_EQ(ed::Selection(Editor()).cpMax, 4);
    Command(ids::kCut, 0);
    EXPECT_EQ(platform::WindowTextW(Editor()), L" es mi editor ...");
}

}  // namespace
}  // namespace velmar::test
