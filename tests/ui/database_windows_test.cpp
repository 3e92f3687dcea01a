// The link dialog, the search dialog and the record navigator, opened from the
// real main window in this process and driven with messages; the modal
// services are scripted, so every message box answers at once.
#include <windows.h>
// After windows.h, which they need.
#include <gtest/gtest.h>
#include <richedit.h>
#include <shlobj.h>

#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/editor.h"
#include "platform/message_loop.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "tests/support/fixture.h"
#include "tests/ui/main_window_fixture.h"
#include "tests/ui/scripted_modal_services.h"
#include "tests/ui/ui_test_support.h"
#include "ui/link_dialog_ids.h"
#include "ui/record_navigator_ids.h"
#include "ui/search_dialog_ids.h"
#include "ui/link_dialog.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"
#include "ui/main_window_ids.h"
#include "ui/record_navigator.h"
#include "ui/search_dialog.h"

namespace velmar::test {
namespace {

namespace main_ids = ui::main_ids;
namespace search_ids = ui::search_ids;
namespace nav_ids = ui::navigator_ids;
namespace link_ids = ui::link_ids;

std::wstring Text(HWND window) {
    return platform::WindowTextW(window);
}

std::vector<std::wstring> ComboItems(HWND box) {
    std::vector<std::wstring> items;
    LRESULT n = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(
            static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

// Names (Nombre, Edad) in field definition order, a field that is never
// offered (Notas, type 0) and Ciudad; "Ana" in records 4, 9 and 12.
void WriteTwelveRecords(DatabaseFixture& fx) {
    fx.Field("Nombre", 1).Field("Edad", 2).Field("Notas", 0).Field("Ciudad", 1);
    const char* names[] = {"Luis", "Eva", "Pilar", "Ana", "Juan", "Eva", "Teo", "Luis", "Ana", "Rosa", "Eva", "Ana"};
    const char* towns[] = {"Lugo", "Vigo", "Soria"};
    for (int r = 1; r <= 12; ++r) {
        fx.Value("Nombre", r, names[r - 1]).Value("Edad", r, std::to_string(20 + r));
        fx.Value("Notas", r, "nota " + std::to_string(r)).Value("Ciudad", r, towns[r % 3]);
    }
    fx.Write();
}

class DatabaseWindowsTest : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        WriteTwelveRecords(fx_);
    }

    // The main window, linked to `folder` through the settings file.
    void OpenMain(const std::string& folder) {
        WriteSettings(folder);
        ASSERT_TRUE(OpenMainWindow().Window());
    }
    void OpenMain() { OpenMain(fx_.Folder()); }

    void MainCommand(int id) {
        SendMessageW(window_->Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        PumpPending();
    }
    static void Click(HWND dialog, int id) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        PumpPending();
    }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    HWND OpenSearch() {
        MainCommand(main_ids::kSearch);
        std::vector<HWND> found = WindowsCaptioned(ui::SearchDialog::kCaption);
        EXPECT_EQ(found.size(), 1u);
        search_ = found.empty() ? nullptr : found.front();
        return search_;
    }
    // Picks a field and an operator entry (1..9) and presses "Aplicar".
    void Apply(const wchar_t* field, int entry) {
        SendMessageW(GetDlgItem(search_, search_ids::kFieldBox), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(field));
        SendMessageW(GetDlgItem(search_, search_ids::kOperatorBox), CB_SETCURSEL, static_cast<WPARAM>(entry - 1), 0);
        Click(search_, search_ids::kApply);
    }
    void TypeValue(int k, const wchar_t* value) { SetWindowTextW(GetDlgItem(search_, search_ids::ValueBox(k)), value); }

    HWND OpenNavigator() {
        MainCommand(main_ids::kNavigator);
        std::vector<HWND> found = WindowsCaptioned(ui::RecordNavigator::kCaption);
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? nullptr : found.front();
    }
    void CloseWindow(HWND window) {
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpPending();
    }
    void SetTemplate(const std::string& rtf) { platform::editor::SetTextAnsi(window_->Editor(), rtf); }
    std::wstring EditorText() const { return Text(window_->Editor()); }
    std::wstring Label(HWND navigator) const { return Text(GetDlgItem(navigator, nav_ids::kRecordLabel)); }

    // The results of a search that found records 4, 9 and 12.
    void HoldResults(std::initializer_list<int64_t> records) {
        SearchResults& results = state_.search.state.results;
        results.list.Clear();
        for (int64_t r : records) results.list.Append(r);
        results.count = results.list.Count();
        results.flag = results.count > 0 ? 1 : 0;
    }

    DatabaseFixture fx_;
    HWND search_ = nullptr;
};

// ---- Search dialog -------------------------------------------------------

TEST_F(DatabaseWindowsTest, SearchDialogLayoutFontAndMenu) {
    OpenMain();
    HWND dialog = OpenSearch();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";
    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* text;
    } controls[] = {
        {7001, L"Static", L"Elige campo de b\u00fasqueda"},
        {7002, L"ComboBox", nullptr},
        {7003, L"ComboBox", nullptr},
        {7004, L"Static", L"Elige tipo de comparaci\u00f3n de b\u00fasqueda"},
        {7005, L"Button", L"Busqueda"},
        {7006, L"Static", L"Campo de busqueda 1 "},
        {7007, L"Edit", L""},
        {7008, L"Static", L"Campo de busqueda 2 "},
        {7009, L"Edit", L""},
        {7010, L"Static", L"Campo de busqueda 3 "},
        {7011, L"Edit", L""},
        {7012, L"Button", L"Salir"},
        {7013, L"Button", L"Aplicar"},
        {7014, L"Button", L"Buscar"},
    };
    for (const Expected& c : controls) {
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_TRUE(control) << c.id;
        EXPECT_TRUE(SameText(platform::ClassNameOf(control), c.className)) << c.id;
        if (c.text) {
            EXPECT_EQ(Text(control), c.text) << c.id;
        }
        FontSeen font = FontOf(control);
        EXPECT_EQ(font.weight, FW_BOLD) << c.id;
        EXPECT_EQ(font.height, HeightForPoints(10)) << c.id;
    }
    for (int k = 1; k <= 3; ++k) EXPECT_FALSE(Enabled(dialog, search_ids::ValueBox(k))) << k;

    std::vector<std::wstring> entries = ComboItems(GetDlgItem(dialog, search_ids::kOperatorBox));
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries[0], L"01 - = Igual a ...");
    EXPECT_EQ(entries[6], L"07 - = Igual a comod\u00edn por la izquierda ...");
    EXPECT_EQ(entries[8], L"09 - = Igual en alguna parte del texto ...");

    std::vector<MenuItemSeen> bar = ReadMenu(GetMenu(dialog));
    ASSERT_EQ(bar.size(), 1u);
    EXPECT_EQ(bar[0].text, L"Men\u00fa");
    std::vector<MenuItemSeen> items = ReadMenu(GetSubMenu(GetMenu(dialog), 0));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, L"Resetea");
    EXPECT_EQ(items[0].id, static_cast<UINT>(search_ids::kReset));
}

TEST_F(DatabaseWindowsTest, FieldBoxOffersSearchableFieldsSortedByTheBox) {
    DatabaseFixture small("Tres");
    small.Field("Nombre", 1).Field("Edad", 2).Field("Notas", 0).Write();
    OpenMain(small.Folder());
    HWND dialog = OpenSearch();
    EXPECT_EQ(ComboItems(GetDlgItem(dialog, search_ids::kFieldBox)), (std::vector<std::wstring>{L"Edad", L"Nombre"}));
}

TEST_F(DatabaseWindowsTest, ApplyStoresTheEntrysCodeAndMovesTheFieldOutOfTheBox) {
    OpenMain();
    HWND dialog = OpenSearch();
    Apply(L"Nombre", 8);
    Apply(L"Edad", 7);
    EXPECT_EQ(state_.search.criteriaCount, 2);
    EXPECT_EQ(state_.search.criteria.names[0], "Nombre");
    EXPECT_EQ(state_.search.criteria.codes[0], "*-");
    EXPECT_EQ(state_.search.criteria.codes[1], "-*");
    EXPECT_EQ(Text(GetDlgItem(dialog, search_ids::CriterionLabel(1))),
              L"Campo de busqueda 1 {Nombre = Igual a comod\u00edn por la derecha ...}");
    EXPECT_EQ(Text(GetDlgItem(dialog, search_ids::CriterionLabel(3))), L"Campo de busqueda 3 ");
    EXPECT_EQ(ComboItems(GetDlgItem(dialog, search_ids::kFieldBox)), (std::vector<std::wstring>{L"Ciudad"}));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, search_ids::kFieldBox), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, search_ids::kOperatorBox), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_TRUE(Enabled(dialog, search_ids::ValueBox(1)));
    EXPECT_TRUE(Enabled(dialog, search_ids::ValueBox(2)));
    EXPECT_FALSE(Enabled(dialog, search_ids::ValueBox(3)));
    EXPECT_TRUE(modal_.MessageBoxes().empty());
}

TEST_F(DatabaseWindowsTest, ApplyWithoutAnEntryAsksForOneAndAFourthApplyChangesNothing) {
    OpenMain();
    HWND dialog = OpenSearch();
    SendMessageW(GetDlgItem(dialog, search_ids::kFieldBox), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(L"Nombre"));
    Click(dialog, search_ids::kApply);
    ASSERT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_EQ(modal_.MessageBoxes()[0].text, L"Tiene que seleccionar sus preferencias de busqueda primero ...");
    EXPECT_EQ(modal_.MessageBoxes()[0].title, L"Programador");
    EXPECT_EQ(state_.search.criteriaCount, 0);
    EXPECT_EQ(ComboItems(GetDlgItem(dialog, search_ids::kFieldBox)).size(), 3u);
    EXPECT_FALSE(Enabled(dialog, search_ids::ValueBox(1)));
}

TEST_F(DatabaseWindowsTest, AFourthFieldCannotBeApplied) {
    fx_.Field("Codigo", 1).Write();
    OpenMain();
    HWND dialog = OpenSearch();
    Apply(L"Nombre", 1);
    Apply(L"Edad", 2);
    Apply(L"Ciudad", 3);
    Apply(L"Codigo", 4);
    EXPECT_EQ(state_.search.criteriaCount, 3);
    EXPECT_EQ(state_.search.criteria.names[2], "Ciudad");
    EXPECT_EQ(Text(GetDlgItem(dialog, search_ids::CriterionLabel(3))), L"Campo de busqueda 3 {Ciudad < Menor que ...}");
    EXPECT_TRUE(modal_.MessageBoxes().empty());
    EXPECT_TRUE(Enabled(dialog, search_ids::kApply));
}

TEST_F(DatabaseWindowsTest, SearchPairsValueBoxesWithTheirLabelsOverTwoSearches) {
    OpenMain();
    HWND dialog = OpenSearch();
    // Applied as Edad then Nombre; the definition file lists Nombre first.
    Apply(L"Edad", 5);    // <=
    Apply(L"Nombre", 1);  // =
    TypeValue(1, L"29");
    TypeValue(2, L"Eva");
    std::wstring captionAtMessage;
    modal_.whileShown = [&] { captionAtMessage = Text(dialog); };
    Click(dialog, search_ids::kSearch);
    const SearchResults& results = state_.search.state.results;
    ASSERT_EQ(results.count, 2);  // Eva in records 2 and 6 (ages 22, 26), not 11 (31)
    EXPECT_EQ(results.list.At(1), 2);
    EXPECT_EQ(results.list.At(2), 6);
    EXPECT_EQ(results.flag, 1);
    ASSERT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_EQ(modal_.MessageBoxes()[0].text, L"2 Resultados ...");
    EXPECT_EQ(captionAtMessage, L"100 %") << "the progress shows until the search is over";
    std::wstring caption = Text(dialog);
    ASSERT_EQ(caption.size(), 19u) << std::string(caption.begin(), caption.end());
    EXPECT_EQ(caption.substr(8, 3), L" - ");
    EXPECT_EQ(caption[2], L':');
    EXPECT_EQ(caption[16], L':');
    for (int id : {search_ids::kExit, search_ids::kApply, search_ids::kSearch}) EXPECT_TRUE(Enabled(dialog, id));
    EXPECT_EQ(state_.search.criteria.names[0], "Edad") << "the dialog keeps the order it applied";

    TypeValue(1, L"30");
    TypeValue(2, L"Ana");
    Click(dialog, search_ids::kSearch);
    ASSERT_EQ(results.count, 2);  // Ana in 4 (24) and 9 (29), not 12 (32)
    EXPECT_EQ(results.list.At(1), 4);
    EXPECT_EQ(results.list.At(2), 9);

    TypeValue(2, L"Nadie");
    Click(dialog, search_ids::kSearch);
    EXPECT_EQ(results.count, 0);
    EXPECT_EQ(results.flag, 0);
    EXPECT_EQ(modal_.MessageBoxes().back().text, L"No hay Resultados ...");
}

TEST_F(DatabaseWindowsTest, TypedValuesAreSearchedInTheAnsiCodePage) {
    DatabaseFixture towns("Pueblos");
    towns.Field("Ciudad", 1);
    const char* names[] = {"Piedrahita", "Piedrah\xEDta", "Piedrah\xEDta del Campo", "PIEDRAH\xCDTA"};
    for (int r = 1; r <= 4; ++r) towns.Value("Ciudad", r, names[r - 1]);
    towns.Write();
    OpenMain(towns.Folder());
    HWND dialog = OpenSearch();
    Apply(L"Ciudad", 8);  // begins with
    TypeValue(1, L"Piedrah\u00edta");
    Click(dialog, search_ids::kSearch);
    const SearchResults& results = state_.search.state.results;
    ASSERT_EQ(results.count, 2);
    EXPECT_EQ(results.list.At(1), 2);
    EXPECT_EQ(results.list.At(2), 3);
}

TEST_F(DatabaseWindowsTest, TheWindowsStayResponsiveWhileASearchRuns) {
    OpenMain();
    platform::TimeSlicedYield yield(dialogs_, 0);
    state_.link.db.yield = [&yield] { yield(); };
    HWND dialog = OpenSearch();
    Apply(L"Nombre", 1);
    TypeValue(1, L"Ana");
    // "Autor" chosen while the search runs: its box shows before the result.
    PostMessageW(window_->Window(), WM_COMMAND, main_ids::kAbout, 0);
    bool buttonsDisabled = false;
    modal_.whileShown = [&] {
        buttonsDisabled = !Enabled(dialog, search_ids::kExit) && !Enabled(dialog, search_ids::kApply) &&
                          !Enabled(dialog, search_ids::kSearch);
    };
    Click(dialog, search_ids::kSearch);
    state_.link.db.yield = nullptr;
    std::vector<Asked> boxes = modal_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.rfind(L"Este programa es tuyo", 0), 0u);
    EXPECT_EQ(boxes[1].text, L"3 Resultados ...");
    EXPECT_TRUE(buttonsDisabled) << "the buttons are disabled while the search runs";
    EXPECT_TRUE(Enabled(dialog, search_ids::kSearch));
}

// Every text the search dialog's caption is given, as the window receives it.
class CaptionRecorder {
public:
    explicit CaptionRecorder(HWND window) : window_(window) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
    }
    ~CaptionRecorder() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    bool Hooked() const { return hook_ != nullptr; }
    std::vector<std::wstring> texts;

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ && sent->hwnd == current_->window_ && sent->message == WM_SETTEXT &&
            sent->lParam)
            current_->texts.push_back(reinterpret_cast<const wchar_t*>(sent->lParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline CaptionRecorder* current_ = nullptr;
    HWND window_;
    HHOOK hook_ = nullptr;
};

// The captions of a search over 1, 3, 10 and 250 records: each percentage
// once, in order, before the result message; then the start and end times.
TEST_F(DatabaseWindowsTest, TheCaptionShowsEveryPercentageOfTheSearchInOrder) {
    std::vector<std::wstring> everyPercent;
    for (int p = 0; p <= 100; ++p) everyPercent.push_back(std::to_wstring(p) + L" %");
    const std::pair<int, std::vector<std::wstring>> cases[] = {
        {1, {L"100 %"}},
        {3, {L"33 %", L"66 %", L"100 %"}},
        {10, {L"10 %", L"20 %", L"30 %", L"40 %", L"50 %", L"60 %", L"70 %", L"80 %", L"90 %", L"100 %"}},
        {250, everyPercent},
    };
    for (const auto& [count, expected] : cases) {
        SCOPED_TRACE(count);
        DatabaseFixture fx("Datos");
        fx.Field("Nombre", 1);
        for (int r = 1; r <= count; ++r) fx.Value("Nombre", r, r % 2 ? "Ana" : "Eva");
        fx.Write();
        OpenMain(fx.Folder());
        HWND dialog = OpenSearch();
        Apply(L"Nombre", 1);
        TypeValue(1, L"Ana");
        std::vector<std::wstring> beforeMessage;
        {
            CaptionRecorder recorder(dialog);
            ASSERT_TRUE(recorder.Hooked());
            modal_.whileShown = [&] { beforeMessage = recorder.texts; };
            Click(dialog, search_ids::kSearch);
            EXPECT_EQ(beforeMessage, expected);
            ASSERT_EQ(recorder.texts.size(), expected.size() + 1) << "then only the times";
            EXPECT_EQ(recorder.texts.back().size(), 19u);
        }
        Click(dialog, search_ids::kExit);
        window_.reset();
        DestroyThreadWindows();
    }
}

TEST_F(DatabaseWindowsTest, SearchWithAnEmptyValueRunsNothing) {
    OpenMain();
    HWND dialog = OpenSearch();
    HoldResults({4, 9, 12});
    Apply(L"Nombre", 1);
    Apply(L"Edad", 1);
    TypeValue(1, L"Ana");
    std::wstring caption = Text(dialog);
    Click(dialog, search_ids::kSearch);
    ASSERT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_EQ(modal_.MessageBoxes()[0].text, L"No ha escrito valores a buscar ...");
    EXPECT_EQ(state_.search.state.results.count, 3) << "no search ran";
    EXPECT_EQ(Text(dialog), caption);
    for (int id : {search_ids::kExit, search_ids::kApply, search_ids::kSearch}) EXPECT_TRUE(Enabled(dialog, id));

    // With no criterion at all "Buscar" does nothing visible.
    SendMessageW(dialog, WM_COMMAND, search_ids::kReset, 0);
    Click(dialog, search_ids::kSearch);
    EXPECT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_EQ(Text(dialog), caption);
}

TEST_F(DatabaseWindowsTest, ResetOffersEveryFieldAgainAndKeepsTheResults) {
    OpenMain();
    HWND dialog = OpenSearch();
    Apply(L"Nombre", 1);
    TypeValue(1, L"Ana");
    Click(dialog, search_ids::kSearch);
    std::wstring caption = Text(dialog);
    Apply(L"Edad", 2);
    SendMessageW(dialog, WM_COMMAND, search_ids::kReset, 0);
    PumpPending();
    EXPECT_EQ(ComboItems(GetDlgItem(dialog, search_ids::kFieldBox)),
              (std::vector<std::wstring>{L"Ciudad", L"Edad", L"Nombre"}));
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(Text(GetDlgItem(dialog, search_ids::CriterionLabel(k))),
                  L"Campo de busqueda " + std::to_wstring(k) + L" ");
        EXPECT_EQ(Text(GetDlgItem(dialog, search_ids::ValueBox(k))), L"");
        EXPECT_FALSE(Enabled(dialog, search_ids::ValueBox(k)));
    }
    EXPECT_EQ(state_.search.criteriaCount, 0);
    EXPECT_EQ(state_.search.state.results.count, 3);
    EXPECT_EQ(state_.search.state.results.flag, 1);
    EXPECT_EQ(Text(dialog), caption);
    EXPECT_EQ(ComboItems(GetDlgItem(dialog, search_ids::kOperatorBox)).size(), 9u);
}

TEST_F(DatabaseWindowsTest, OpeningTheSearchDialogLetsTheLastResultsGo) {
    OpenMain();
    HoldResults({4, 9, 12});
    OpenSearch();
    EXPECT_EQ(state_.search.state.results.flag, 0);
}

// ---- One database window at a time ------------------------------------

TEST_F(DatabaseWindowsTest, TheTwoDatabaseWindowsNeverOpenTogether) {
    OpenMain();
    HWND navigator = OpenNavigator();
    ASSERT_TRUE(navigator);
    MainCommand(main_ids::kSearch);
    MainCommand(main_ids::kNavigator);
    EXPECT_TRUE(WindowsCaptioned(ui::SearchDialog::kCaption).empty());
    EXPECT_EQ(WindowsCaptioned(ui::RecordNavigator::kCaption).size(), 1u);

    CloseWindow(navigator);
    EXPECT_FALSE(IsWindow(navigator));
    EXPECT_FALSE(state_.guards.databaseDialog);

    HWND dialog = OpenSearch();
    ASSERT_TRUE(dialog);
    MainCommand(main_ids::kNavigator);
    MainCommand(main_ids::kSearch);
    EXPECT_TRUE(WindowsCaptioned(ui::RecordNavigator::kCaption).empty());
    EXPECT_EQ(WindowsCaptioned(ui::SearchDialog::kCaption).size(), 1u);

    // Alt+F4 closes the search dialog for good: it must not stay open with
    // the flag cleared, or a second one could open.
    CloseWindow(dialog);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(state_.guards.databaseDialog);
    ASSERT_TRUE(OpenSearch());
    Click(search_, search_ids::kExit);
    EXPECT_FALSE(IsWindow(search_));
    EXPECT_FALSE(state_.guards.databaseDialog);
    EXPECT_TRUE(OpenNavigator());
}

TEST_F(DatabaseWindowsTest, EscapeClosesNeitherWindow) {
    OpenMain();
    HWND dialog = OpenSearch();
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PumpPending();
    EXPECT_TRUE(IsWindow(dialog));
    Click(dialog, search_ids::kExit);
    HWND navigator = OpenNavigator();
    SendMessageW(navigator, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PumpPending();
    EXPECT_TRUE(IsWindow(navigator));
    EXPECT_TRUE(state_.guards.databaseDialog);
}

// ---- Record navigator ----------------------------------------------------

TEST_F(DatabaseWindowsTest, NavigatorLayoutAndFonts) {
    OpenMain();
    HWND navigator = OpenNavigator();
    ASSERT_TRUE(navigator);
    auto exStyle = GetWindowLongPtrW(navigator, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(navigator, GW_OWNER), nullptr);
    struct Expected {
        int id;
        const wchar_t* text;
        int points;
    } controls[] = {
        {1901, L"|<", 8},   {1902, L"<<", 8}, {1903, L">>", 8},    {1904, L">|", 8},
        {1905, nullptr, 8}, {1907, L"", 8},   {1908, L"Ir a", 10}, {1909, L"Navegar con b\u00fasqueda", 10}};
    HWND previous = nullptr;
    for (const Expected& c : controls) {
        HWND control = GetDlgItem(navigator, c.id);
        ASSERT_TRUE(control) << c.id;
        if (c.text) {
            EXPECT_EQ(Text(control), c.text) << c.id;
        }
        EXPECT_EQ(FontOf(control).height, HeightForPoints(c.points)) << c.id;
        EXPECT_EQ(FontOf(control).weight, FW_BOLD) << c.id;
        EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previous) << c.id << " in creation order";
        previous = control;
    }
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(navigator, nav_ids::kNumberBox), GWL_STYLE) & ES_NUMBER);
}

TEST_F(DatabaseWindowsTest, WithoutResultsTheNavigatorMovesOverRecordNumbers) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre de #Ciudad\\par}");
    HWND navigator = OpenNavigator();
    EXPECT_FALSE(Enabled(navigator, nav_ids::kSearchBox));
    EXPECT_EQ(Label(navigator), L"1");
    EXPECT_NE(EditorText().find(L"Sr. Luis de Vigo"), std::wstring::npos);
    Click(navigator, nav_ids::kPrevious);
    EXPECT_EQ(Label(navigator), L"1");
    Click(navigator, nav_ids::kNext);
    EXPECT_EQ(Label(navigator), L"2");
    EXPECT_NE(EditorText().find(L"Sr. Eva de Soria"), std::wstring::npos);
    Click(navigator, nav_ids::kLast);
    EXPECT_EQ(Label(navigator), L"12");
    Click(navigator, nav_ids::kNext);
    EXPECT_EQ(Label(navigator), L"12");
    EXPECT_NE(EditorText().find(L"Sr. Ana de Lugo"), std::wstring::npos);
    for (int id : {1901, 1902, 1903, 1904, 1907, 1908}) EXPECT_TRUE(Enabled(navigator, id)) << id;
}

TEST_F(DatabaseWindowsTest, WithTheBoxCheckedTheNavigatorStepsThroughTheResults) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    HoldResults({4, 9, 12});
    HWND navigator = OpenNavigator();
    ASSERT_TRUE(Enabled(navigator, nav_ids::kSearchBox));
    SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_SETCHECK, BST_CHECKED, 0);
    Click(navigator, nav_ids::kSearchBox);
    EXPECT_EQ(Label(navigator), L"4");
    EXPECT_NE(EditorText().find(L"Sr. Ana"), std::wstring::npos);
    auto goToDisabled = [&] { return !Enabled(navigator, nav_ids::kGoTo) && !Enabled(navigator, nav_ids::kNumberBox); };
    EXPECT_TRUE(goToDisabled());
    const std::pair<int, const wchar_t*> steps[] = {
        {nav_ids::kNext, L"9"},  {nav_ids::kNext, L"12"},    {nav_ids::kNext, L"12"}, {nav_ids::kLast, L"12"},
        {nav_ids::kFirst, L"4"}, {nav_ids::kPrevious, L"4"}, {nav_ids::kNext, L"9"}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        Click(navigator, steps[i].first);
        EXPECT_EQ(Label(navigator), steps[i].second) << "step " << i;
        EXPECT_TRUE(goToDisabled()) << "step " << i;
        EXPECT_TRUE(Enabled(navigator, nav_ids::kNext)) << "step " << i;
    }

    // Unchecking goes back to the records and to "Ir a".
    SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(navigator, nav_ids::kSearchBox);
    EXPECT_EQ(Label(navigator), L"1");
    EXPECT_FALSE(goToDisabled());
    Click(navigator, nav_ids::kNext);
    EXPECT_EQ(Label(navigator), L"2");
}

TEST_F(DatabaseWindowsTest, ReopeningKeepsTheCheckedBoxWhileResultsLast) {
    OpenMain();
    HoldResults({4, 9, 12});
    HWND navigator = OpenNavigator();
    SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_SETCHECK, BST_CHECKED, 0);
    Click(navigator, nav_ids::kSearchBox);
    Click(navigator, nav_ids::kNext);
    CloseWindow(navigator);

    navigator = OpenNavigator();
    EXPECT_EQ(SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Label(navigator), L"4") << "the first result, not where the last opening stopped";
    EXPECT_FALSE(Enabled(navigator, nav_ids::kGoTo));
    EXPECT_FALSE(Enabled(navigator, nav_ids::kNumberBox));
    CloseWindow(navigator);

    HoldResults({});  // a later search found nothing
    navigator = OpenNavigator();
    EXPECT_FALSE(Enabled(navigator, nav_ids::kSearchBox));
    EXPECT_EQ(SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(Enabled(navigator, nav_ids::kGoTo));
    EXPECT_EQ(Label(navigator), L"1");
}

TEST_F(DatabaseWindowsTest, GoToAcceptsOnlyExistingRecordNumbers) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    HWND navigator = OpenNavigator();
    HWND box = GetDlgItem(navigator, nav_ids::kNumberBox);
    for (const wchar_t* refused : {L"", L"0", L"13", L"999999999999999999999"}) {
        SetWindowTextW(box, refused);
        Click(navigator, nav_ids::kGoTo);
        EXPECT_EQ(Label(navigator), L"1") << std::wstring(refused).size();
    }
    SetWindowTextW(box, L"9");
    Click(navigator, nav_ids::kGoTo);
    EXPECT_EQ(Label(navigator), L"9");
    EXPECT_NE(EditorText().find(L"Sr. Ana"), std::wstring::npos);
    Click(navigator, nav_ids::kNext);
    EXPECT_EQ(Label(navigator), L"10");
    SetWindowTextW(box, L"12");
    Click(navigator, nav_ids::kGoTo);
    EXPECT_EQ(Label(navigator), L"12");
    EXPECT_TRUE(modal_.MessageBoxes().empty());
}

TEST_F(DatabaseWindowsTest, ANewlyReadDocumentBecomesTheTemplateAtTheNextOpening) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    HWND navigator = OpenNavigator();
    CloseWindow(navigator);
    EXPECT_TRUE(state_.display.captured);

    // Edited by hand: the template captured earlier stays in use.
    SetTemplate("{\\rtf1\\ansi Otra cosa #Ciudad\\par}");
    navigator = OpenNavigator();
    EXPECT_NE(EditorText().find(L"Sr. Luis"), std::wstring::npos);
    CloseWindow(navigator);

    // "Leer RTF" lets the held template go: the document it reads is the
    // template at the next opening.
    std::string letter = (settingsFolder_.Path() / "carta.rtf").string();
    std::string rtf = "{\\rtf1\\ansi Ciudad: #Ciudad\\par}";
    WriteBytes(letter, std::vector<unsigned char>(rtf.begin(), rtf.end()));
    modal_.fileAnswers.push_back(letter);
    MainCommand(main_ids::kReadRtf);
    EXPECT_FALSE(state_.display.captured);
    navigator = OpenNavigator();
    EXPECT_NE(EditorText().find(L"Ciudad: Vigo"), std::wstring::npos);
    Click(navigator, nav_ids::kNext);
    EXPECT_NE(EditorText().find(L"Ciudad: Soria"), std::wstring::npos);
}

TEST_F(DatabaseWindowsTest, AnEmptyDatabaseShowsNothingAtOpening) {
    DatabaseFixture empty("Vacia");
    empty.Field("Nombre", 1).Write();
    OpenMain(empty.Folder());
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    state_.navigator.position = 7;
    HWND navigator = OpenNavigator();
    EXPECT_EQ(Label(navigator), L"");
    EXPECT_EQ(state_.navigator.position, 7);
    EXPECT_NE(EditorText().find(L"Sr. #Nombre"), std::wstring::npos);
}

// Leaving a window and coming back gives the focus back to the control that
// had it: `control` of `window`, while the editor of the main window takes the
// focus in between.
void ExpectFocusComesBack(HWND window, HWND control, HWND elsewhere) {
    SetFocus(control);
    ASSERT_EQ(GetFocus(), control);
    SendMessageW(window, WM_NCACTIVATE, FALSE, 0);
    SetFocus(elsewhere);
    ASSERT_NE(GetFocus(), control);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(GetFocus(), control);
}

TEST_F(DatabaseWindowsTest, FocusComesBackToTheControlThatHadIt) {
    OpenMain();
    HWND dialog = OpenSearch();
    ExpectFocusComesBack(dialog, GetDlgItem(dialog, search_ids::kApply), window_->Editor());
    Click(dialog, search_ids::kExit);
    HWND navigator = OpenNavigator();
    ExpectFocusComesBack(navigator, GetDlgItem(navigator, nav_ids::kNext), window_->Editor());
}

// ---- Orders of commands ------------------------------------------------------

// A record display or a search that fails on the way (memory running out
// while the database is read) is reported, and its window is usable again:
// its buttons enabled, the next command carried out, a close request obeyed,
// and the database dialog flag set exactly while the window is open.
TEST_F(DatabaseWindowsTest, AFailedDisplayOrSearchLeavesItsWindowUsableAndClosable) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    int failures = 0;
    state_.link.db.yield = [&failures] {
        if (failures > 0) {
            --failures;
            throw std::bad_alloc();
        }
    };
    const std::wstring failed = L"No se ha podido completar la orden ...";

    HWND navigator = OpenNavigator();
    failures = 1;
    Click(navigator, nav_ids::kNext);
    ASSERT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_EQ(modal_.MessageBoxes().back().text, failed);
    for (int id : {nav_ids::kFirst, nav_ids::kPrevious, nav_ids::kNext, nav_ids::kLast, nav_ids::kGoTo})
        EXPECT_TRUE(Enabled(navigator, id)) << id;
    Click(navigator, nav_ids::kLast);
    EXPECT_EQ(Label(navigator), L"12");
    EXPECT_NE(EditorText().find(L"Sr. Ana"), std::wstring::npos);
    EXPECT_TRUE(state_.guards.databaseDialog);
    CloseWindow(navigator);
    EXPECT_FALSE(IsWindow(navigator));
    EXPECT_FALSE(state_.guards.databaseDialog);

    HWND dialog = OpenSearch();
    ASSERT_TRUE(dialog);
    Apply(L"Nombre", 1);
    TypeValue(1, L"Ana");
    failures = 1;
    Click(dialog, search_ids::kSearch);
    EXPECT_EQ(modal_.MessageBoxes().back().text, failed);
    for (int id : {search_ids::kExit, search_ids::kApply, search_ids::kSearch}) EXPECT_TRUE(Enabled(dialog, id)) << id;
    Click(dialog, search_ids::kSearch);
    EXPECT_EQ(modal_.MessageBoxes().back().text, L"3 Resultados ...");
    CloseWindow(dialog);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(state_.guards.databaseDialog);
    EXPECT_TRUE(OpenNavigator()) << "the flag is clear: the next database window opens";
}

// Whatever shows a record (the opening, the check box, a move, "Ir a"), the
// move buttons and "Ir a" are disabled while it reads the database, so no
// click is dropped while its button looks enabled; afterwards they follow
// the rules (no "Ir a" under search navigation).
TEST_F(DatabaseWindowsTest, WhileARecordIsShownForAnyReasonTheMoveButtonsAndIrAAreDisabled) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    HoldResults({4, 9, 12});
    std::vector<int> enabledWhileShown;
    state_.link.db.yield = [&] {
        HWND shown = FindWindowW(nullptr, ui::RecordNavigator::kCaption);
        for (int id : {nav_ids::kFirst, nav_ids::kPrevious, nav_ids::kNext, nav_ids::kLast, nav_ids::kGoTo})
            if (shown && IsWindowEnabled(GetDlgItem(shown, id))) enabledWhileShown.push_back(id);
    };
    HWND navigator = OpenNavigator();
    EXPECT_EQ(enabledWhileShown, std::vector<int>{}) << "at the opening";
    SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_SETCHECK, BST_CHECKED, 0);
    Click(navigator, nav_ids::kSearchBox);
    EXPECT_EQ(enabledWhileShown, std::vector<int>{}) << "for the check box";
    EXPECT_EQ(Label(navigator), L"4");
    EXPECT_FALSE(Enabled(navigator, nav_ids::kGoTo));
    Click(navigator, nav_ids::kNext);
    EXPECT_EQ(enabledWhileShown, std::vector<int>{}) << "for a move";
    EXPECT_EQ(Label(navigator), L"9");
    EXPECT_TRUE(Enabled(navigator, nav_ids::kNext));
    EXPECT_FALSE(Enabled(navigator, nav_ids::kGoTo));
    SendMessageW(GetDlgItem(navigator, nav_ids::kSearchBox), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(navigator, nav_ids::kSearchBox);
    SetWindowTextW(GetDlgItem(navigator, nav_ids::kNumberBox), L"7");
    Click(navigator, nav_ids::kGoTo);
    EXPECT_EQ(enabledWhileShown, std::vector<int>{}) << "for Ir a";
    EXPECT_EQ(Label(navigator), L"7");
    EXPECT_TRUE(Enabled(navigator, nav_ids::kGoTo));
}

// A record merged from a template longer than the editor's limit is loaded
// whole, as a document read from a file is, and the user is told.
TEST_F(DatabaseWindowsTest, ARecordLongerThanTheEditorsLimitIsShownWholeAndSaidToBe) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre " + std::string(300, 'x') + " fin\\par}");
    platform::editor::LimitText(window_->Editor(), 100);
    OpenNavigator();
    EXPECT_NE(EditorText().find(L"Sr. Luis"), std::wstring::npos);
    EXPECT_NE(EditorText().find(L"x fin"), std::wstring::npos) << "nothing cut";
    ASSERT_FALSE(modal_.MessageBoxes().empty());
    EXPECT_EQ(modal_.MessageBoxes().back().text, L"El documento es demasiado grande para el editor ...");
    EXPECT_EQ(platform::editor::TextLimit(window_->Editor()), 100) << "the limit is back";
}

// "Salir" while a record is being shown: the display runs to its end but no
// longer changes the document the user last saw, every window is hidden at
// once, and the program's loop, back in control, destroys them all, the
// navigator's flag going with it.
TEST_F(DatabaseWindowsTest, SalirWhileARecordIsShownLetsItFinishThenEveryWindowGoes) {
    OpenMain();
    SetTemplate("{\\rtf1\\ansi Sr. #Nombre\\par}");
    HWND navigator = OpenNavigator();
    bool quit = false;
    state_.link.db.yield = [&] {
        if (!std::exchange(quit, true)) SendMessageW(window_->Window(), WM_COMMAND, main_ids::kQuit, 0);
    };
    Click(navigator, nav_ids::kNext);
    EXPECT_EQ(Label(navigator), L"2");
    EXPECT_NE(EditorText().find(L"Sr. Luis"), std::wstring::npos) << "record 1, as the user saw it";
    EXPECT_FALSE(IsWindowVisible(navigator));
    EXPECT_FALSE(IsWindowVisible(window_->Window()));
    window_->Run();
    EXPECT_FALSE(IsWindow(navigator));
    EXPECT_FALSE(state_.guards.databaseDialog);
}

// ---- Link dialog ---------------------------------------------------------

class LinkDialogTest : public DatabaseWindowsTest {
protected:
    std::unique_ptr<ui::LinkDialog> OpenLink() {
        auto dialog = std::make_unique<ui::LinkDialog>(state_, modal_, dialogs_, window_->MenuBar());
        EXPECT_TRUE(dialog->Create(nullptr));
        PumpPending();
        return dialog;
    }
    UINT MenuState(int id) const { return GetMenuState(window_->MenuBar(), static_cast<UINT>(id), MF_BYCOMMAND); }
    bool DatabaseCommandsEnabled() const {
        return !(MenuState(main_ids::kNavigator) & MF_DISABLED) && !(MenuState(main_ids::kSearch) & MF_DISABLED);
    }
    std::wstring FolderBox(HWND dialog) const { return Text(GetDlgItem(dialog, link_ids::kFolderBox)); }
};

TEST_F(LinkDialogTest, OpensOnAValidFolderShowingIt) {
    OpenMain();
    auto link = OpenLink();
    HWND dialog = link->Window();
    EXPECT_EQ(Text(dialog), L"Base de Datos Vinculada");
    EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(FolderBox(dialog), platform::WideFromAnsi(fx_.Folder()));
    EXPECT_TRUE(DatabaseCommandsEnabled());
    EXPECT_EQ(Text(GetDlgItem(dialog, link_ids::kLabel)), L"Vinculaci\u00f3n de una base de datos");
    EXPECT_EQ(FontOf(GetDlgItem(dialog, link_ids::kLabel)).weight, FW_BOLD);
    EXPECT_EQ(FontOf(GetDlgItem(dialog, link_ids::kExit)).height, HeightForPoints(8));
    EXPECT_EQ(FontOf(GetDlgItem(dialog, link_ids::kBrowse)).height, HeightForPoints(14));
    EXPECT_TRUE(modal_.MessageBoxes().empty());
}

TEST_F(LinkDialogTest, AWrongLengthIsReportedOnlyAfterAPick) {
    DatabaseFixture bad("Mala");
    bad.WriteDefinitionBytes(std::vector<unsigned char>(36127, 0));
    OpenMain(fx_.Folder());
    state_.link.db.folder = bad.Folder();  // linked earlier, damaged since
    auto link = OpenLink();
    HWND dialog = link->Window();
    EXPECT_EQ(FolderBox(dialog), L"");
    EXPECT_FALSE(state_.link.linked);
    EXPECT_FALSE(DatabaseCommandsEnabled());
    EXPECT_TRUE(modal_.MessageBoxes().empty());

    modal_.folderAnswers.push_back(bad.Folder());
    Click(dialog, link_ids::kBrowse);
    ASSERT_EQ(modal_.MessageBoxes().size(), 1u);
    EXPECT_EQ(modal_.MessageBoxes()[0].text, L"La carpeta NO es una base de dato ...\r\nFormato erroneo ...");
    EXPECT_EQ(modal_.MessageBoxes()[0].title, L"Programador");
    EXPECT_EQ(modal_.MessageBoxes()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(state_.link.db.folder, bad.Folder()) << "the failed folder stays linked, unchecked";
    EXPECT_FALSE(DatabaseCommandsEnabled());
}

TEST_F(LinkDialogTest, APickedFolderGetsItsBackslashAndLinksAtOnce) {
    DatabaseFixture none("Nada");
    OpenMain(none.Folder());
    EXPECT_FALSE(DatabaseCommandsEnabled());
    auto link = OpenLink();
    HWND dialog = link->Window();
    HoldResults({4, 9, 12});
    std::string picked = fx_.Folder();
    picked.pop_back();  // the browser gives no trailing backslash
    modal_.folderAnswers.push_back(picked);
    // Until the pick is linked, neither "..." nor "Salir" can be used again.
    bool buttonsEnabledWhileBrowsing = true;
    modal_.whileShown = [&] {
        buttonsEnabledWhileBrowsing = Enabled(dialog, link_ids::kBrowse) || Enabled(dialog, link_ids::kExit);
    };
    Click(dialog, link_ids::kBrowse);
    EXPECT_FALSE(buttonsEnabledWhileBrowsing);
    EXPECT_TRUE(Enabled(dialog, link_ids::kBrowse));
    EXPECT_TRUE(Enabled(dialog, link_ids::kExit));
    EXPECT_EQ(state_.link.db.folder, fx_.Folder());
    EXPECT_TRUE(state_.link.linked);
    EXPECT_TRUE(DatabaseCommandsEnabled());
    EXPECT_EQ(FolderBox(dialog), platform::WideFromAnsi(fx_.Folder()));
    EXPECT_EQ(state_.search.state.results.flag, 0);

    ASSERT_EQ(modal_.asked.size(), 1u);
    EXPECT_EQ(modal_.asked[0].kind, Asked::Kind::Folder);
    EXPECT_EQ(modal_.asked[0].owner, dialog);
    EXPECT_EQ(modal_.asked[0].text, L"Elige Carpeta a ver ...\r\n\u00ae Velmar Soft");
    EXPECT_EQ(modal_.asked[0].type, static_cast<UINT>(BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN));
}

TEST_F(LinkDialogTest, ACancelledBrowseKeepsTheLinkAndAFolderWithoutDefinitionsUnlinksSilently) {
    OpenMain();
    auto link = OpenLink();
    HWND dialog = link->Window();
    Click(dialog, link_ids::kBrowse);  // cancelled: no answer scripted
    EXPECT_EQ(state_.link.db.folder, fx_.Folder());
    EXPECT_TRUE(state_.link.linked);
    EXPECT_TRUE(DatabaseCommandsEnabled());

    DatabaseFixture none("Nada");
    modal_.folderAnswers.push_back(none.Folder());
    Click(dialog, link_ids::kBrowse);
    EXPECT_FALSE(state_.link.linked);
    EXPECT_FALSE(DatabaseCommandsEnabled());
    EXPECT_TRUE(modal_.MessageBoxes().empty());
    EXPECT_EQ(FolderBox(dialog), platform::WideFromAnsi(fx_.Folder())) << "the box keeps its text";
}

TEST_F(LinkDialogTest, WithNoFolderTheCommandsKeepTheirState) {
    OpenMain("");
    state_.link.linked = true;  // as the menu items say
    ui::ApplyDatabaseMenuState(window_->MenuBar(), true);
    auto link = OpenLink();
    EXPECT_EQ(FolderBox(link->Window()), L"");
    EXPECT_TRUE(state_.link.linked);
    EXPECT_TRUE(DatabaseCommandsEnabled());
}

TEST_F(LinkDialogTest, FocusComesBackToTheControlThatHadIt) {
    OpenMain();
    auto link = OpenLink();
    ExpectFocusComesBack(link->Window(), GetDlgItem(link->Window(), link_ids::kBrowse), window_->Editor());
}

TEST_F(LinkDialogTest, OnlySalirEndsTheModalLoop) {
    OpenMain();
    auto link = OpenLink();
    HWND dialog = link->Window();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpPending();
    ASSERT_TRUE(IsWindow(dialog)) << "Escape or the close request ended the dialog";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(link_ids::kExit, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, link_ids::kExit)));
    link->RunUntilClosed();
    EXPECT_FALSE(IsWindow(dialog));

    // "Vincular" runs the same dialog from the menu and returns when it closes.
    modal_.folderAnswers.push_back(fx_.Folder());
    ClickWhenShown(ui::LinkDialog::kCaption, link_ids::kBrowse);
    ClickWhenShown(ui::LinkDialog::kCaption, link_ids::kExit);
    MainCommand(main_ids::kLink);
    EXPECT_TRUE(WindowsCaptioned(ui::LinkDialog::kCaption).empty());
    EXPECT_FALSE(state_.guards.linkDialog);
    EXPECT_TRUE(modal_.folderAnswers.empty()) << "the browse ran inside the dialog's loop";
}

// ---- The four windows' template font --------------------------------------

// A window's own font is its template's: 8-point "MS Sans Serif", weight 400,
// not italic, ANSI character set; and every control stands where the
// template puts it, in dialog units.
void ExpectTemplateFontAndLayout(HWND window, const platform::DialogTemplate& layout) {
    ASSERT_TRUE(window);
    FontSeen font = FontOf(window);
    EXPECT_EQ(font.face, L"MS Sans Serif");
    EXPECT_EQ(font.height, HeightForPoints(8));
    EXPECT_EQ(font.weight, FW_NORMAL);
    EXPECT_FALSE(font.italic);
    // The character set the font was made with. Wine's dialog manager asks
    // for DEFAULT_CHARSET whatever the template says (Windows takes the
    // template's), so what is read back there is the font it got.
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    EXPECT_EQ(metrics.tmCharSet, ANSI_CHARSET);
    if (font.charset != DEFAULT_CHARSET) {
        EXPECT_EQ(font.charset, ANSI_CHARSET);
    }
    for (const platform::DialogControl& c : layout.Controls()) {
        SCOPED_TRACE(c.id);
        RECT r = platform::ChildRectInDialogUnits(window, GetDlgItem(window, c.id));
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, c.y);
        EXPECT_EQ(r.right - r.left, c.cx);
        // A combo box's height is its closed height, not its list's.
        if (c.className != L"COMBOBOX") {
            EXPECT_EQ(r.bottom - r.top, c.cy);
        }
    }
}

TEST_F(LinkDialogTest, EveryWindowHasTheTemplateFontAsWrittenAndItsControlsWhereTheTemplatePutsThem) {
    OpenMain();
    {
        SCOPED_TRACE("main window");
        ExpectTemplateFontAndLayout(window_->Window(), ui::MainWindow::Template());
    }
    {
        SCOPED_TRACE("link dialog");
        auto link = OpenLink();
        ExpectTemplateFontAndLayout(link->Window(), ui::LinkDialog::Template());
    }
    {
        SCOPED_TRACE("record navigator");
        HWND navigator = OpenNavigator();
        ExpectTemplateFontAndLayout(navigator, ui::RecordNavigator::Template());
        CloseWindow(navigator);
    }
    SCOPED_TRACE("search dialog");
    ExpectTemplateFontAndLayout(OpenSearch(), ui::SearchDialog::Template());
}

}  // namespace
}  // namespace velmar::test
