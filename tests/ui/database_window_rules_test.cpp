// The rules of the link dialog, the search dialog and the record navigator
// that hold apart from their windows.
#include <gtest/gtest.h>

#include "search/compare_value.h"
#include "tests/support/fixture.h"
#include "ui/link_check.h"
#include "ui/navigator_moves.h"
#include "ui/search_form.h"

namespace velmar::ui {
namespace {

using test::DatabaseFixture;
using test::Found;

// --- search dialog -------------------------------------------------------

// The dialog's applied criteria and their count.
struct Form {
    SearchCriteria applied;
    int count = 0;
};
ApplyOutcome Apply(Form& form, std::string_view field, std::string_view entry) {
    return ApplyCriterion(form.applied, form.count, field, entry);
}

TEST(SearchableFieldNames, OffersFlaggedFieldsOfTypeOneToNineInDefinitionOrder) {
    DatabaseFixture fx;
    fx.Field("Nombre", 1).Field("Edad", 2).Field("Notas", 0).Field("Oculto", 1, 0).Field("Lista", 9);
    fx.Field("Foto", 10).Field("Negativo", -1).Field("Dos", 1, 2).Write();
    LinkedDatabase db = fx.Database();
    LoadFieldList(db);
    EXPECT_EQ(SearchableFieldNames(db.fields), (std::vector<std::string>{"Nombre", "Edad", "Lista"}));
}

TEST(OperatorCodeOfEntry, EachEntryGivesItsCodeAndTheWildcardsAreNotSwapped) {
    const char* expected[] = {"=", ">", "<", ">=", "<=", "<>", "-*", "*-", "$"};
    for (std::size_t i = 0; i < kOperatorEntries.size(); ++i)
        EXPECT_EQ(OperatorCodeOfEntry(kOperatorEntries[i].text), expected[i]) << "entry " << i + 1;
    EXPECT_EQ(OperatorCodeOfEntry("07 - = Igual a comod\xEDn por la izquierda ..."), "-*");
    EXPECT_EQ(OperatorCodeOfEntry("08 - = Igual a comod\xEDn por la derecha ..."), "*-");
    for (const char* other : {"", "10 - x", "00 - = Igual a ...", "x1 - y"})
        EXPECT_EQ(OperatorCodeOfEntry(other), std::nullopt) << "'" << other << "'";
}

TEST(CriterionLabel, ShowsFieldAndEntryWithoutItsNumber) {
    EXPECT_EQ(CriterionLabel(1, "Nombre", "01 - = Igual a ..."), "Campo de busqueda 1 {Nombre = Igual a ...}");
    EXPECT_EQ(CriterionLabel(3, "Edad", "04 - >= Mayor o igual a ..."),
              "Campo de busqueda 3 {Edad >= Mayor o igual a ...}");
    EXPECT_EQ(EmptyCriterionLabel(2), "Campo de busqueda 2 ");
}

TEST(ApplyCriterion, NeedsBothSelectionsAndAppliesAtMostThree) {
    Form form;
    EXPECT_EQ(Apply(form, "Nombre", ""), ApplyOutcome::NeedsSelection);
    EXPECT_EQ(Apply(form, "", "01 - = Igual a ..."), ApplyOutcome::NeedsSelection);
    EXPECT_EQ(form.count, 0);

    EXPECT_EQ(Apply(form, "Nombre", kOperatorEntries[7].text), ApplyOutcome::Applied);
    EXPECT_EQ(Apply(form, "Edad", kOperatorEntries[1].text), ApplyOutcome::Applied);
    EXPECT_EQ(Apply(form, "Ciudad", kOperatorEntries[6].text), ApplyOutcome::Applied);
    Form before = form;
    EXPECT_EQ(Apply(form, "Codigo", kOperatorEntries[0].text), ApplyOutcome::Full);
    EXPECT_EQ(form.count, 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(form.applied.names[k], before.applied.names[k]) << k;
        EXPECT_EQ(form.applied.codes[k], before.applied.codes[k]) << k;
    }
    EXPECT_EQ(form.applied.codes[0], "*-");
    EXPECT_EQ(form.applied.codes[1], ">");
    EXPECT_EQ(form.applied.codes[2], "-*");
}

TEST(PrepareSearch, EveryAppliedCriterionNeedsAValue) {
    Form form;
    const std::string values[3] = {"Ana", "", "x"};
    EXPECT_EQ(PrepareSearch(form.applied, form.count, values).kind, SearchRequest::Kind::Nothing);

    Apply(form, "Nombre", kOperatorEntries[0].text);
    SearchRequest one = PrepareSearch(form.applied, form.count, values);
    ASSERT_EQ(one.kind, SearchRequest::Kind::Run);
    EXPECT_EQ(one.count, 1);
    EXPECT_EQ(one.criteria.values[0], "Ana");
    EXPECT_EQ(one.criteria.values[1], "") << "values beyond the applied criteria are not taken";

    Apply(form, "Edad", kOperatorEntries[1].text);
    EXPECT_EQ(PrepareSearch(form.applied, form.count, values).kind, SearchRequest::Kind::MissingValue);
    EXPECT_TRUE(form.applied.values[0].empty()) << "the form keeps no values";
}

// A database whose definition file lists Nombre before Edad.
DatabaseFixture NamesAndAges() {
    DatabaseFixture fx;
    fx.Field("Nombre", 1).Field("Edad", 2);
    const char* names[] = {"Ana", "Luis", "Ana", "Eva", "Ana"};
    const char* ages[] = {"30", "41", "52", "30", "30"};
    for (int r = 1; r <= 5; ++r) fx.Value("Nombre", r, names[r - 1]).Value("Edad", r, ages[r - 1]);
    fx.Write();
    return fx;
}

TEST(RunSearch, SearchesInDefinitionOrderWhileTheFormKeepsAppliedOrderOverTwoSearches) {
    DatabaseFixture fx = NamesAndAges();
    LinkedDatabase db = fx.Database();
    SearchState state;
    Form form;
    // Applied as Edad, then Nombre: the reverse of the definition order.
    Apply(form, "Edad", kOperatorEntries[0].text);    // =
    Apply(form, "Nombre", kOperatorEntries[8].text);  // $

    const std::string first[3] = {"30", "na"};
    SearchRequest request = PrepareSearch(form.applied, form.count, first);
    // The dialog's start time is taken when the order is settled, before any record is read.
    std::string firstAtOrdered;
    int64_t recordsBeforeOrdered = -1;
    int64_t recordsTold = 0;
    ASSERT_TRUE(RunSearch(
        db, state, request, [&](int64_t, int64_t) { ++recordsTold; },
        [&] {
            firstAtOrdered = request.criteria.names[0];
            recordsBeforeOrdered = recordsTold;
        }));
    EXPECT_EQ(firstAtOrdered, "Nombre");
    EXPECT_EQ(recordsBeforeOrdered, 0);
    EXPECT_EQ(request.criteria.names[0], "Nombre");
    EXPECT_EQ(request.criteria.values[0], "na");
    EXPECT_EQ(request.criteria.codes[0], "$");
    EXPECT_EQ(request.criteria.names[1], "Edad");
    EXPECT_EQ(request.criteria.values[1], "30");
    EXPECT_EQ(Found(state), (std::vector<int64_t>{1, 5}));

    EXPECT_EQ(form.applied.names[0], "Edad") << "the dialog keeps its own order";
    EXPECT_EQ(form.applied.codes[0], "=");

    // Box 1 still belongs to Edad and box 2 to Nombre.
    const std::string second[3] = {"52", "An"};
    SearchRequest again = PrepareSearch(form.applied, form.count, second);
    ASSERT_TRUE(RunSearch(db, state, again));
    EXPECT_EQ(Found(state), (std::vector<int64_t>{3}));
}

TEST(RunSearch, OneCriterionAndThreeCriteria) {
    DatabaseFixture fx = NamesAndAges();
    LinkedDatabase db = fx.Database();
    SearchState state;
    Form form;
    Apply(form, "Nombre", kOperatorEntries[0].text);
    const std::string values[3] = {"Ana"};
    SearchRequest one = PrepareSearch(form.applied, form.count, values);
    ASSERT_TRUE(RunSearch(db, state, one));
    EXPECT_EQ(Found(state), (std::vector<int64_t>{1, 3, 5}));
    EXPECT_EQ(state.results.flag, 1);

    SearchRequest nothing = PrepareSearch(SearchCriteria{}, 0, values);
    EXPECT_FALSE(RunSearch(db, state, nothing));
    EXPECT_EQ(Found(state), (std::vector<int64_t>{1, 3, 5})) << "no search ran";
}

// Every distinct percentage, in order, each once: the sequences for 1, 3, 10,
// 250 and a million records.
TEST(ProgressCaption, HandsOutEachPercentageOnceInOrder) {
    auto shown = [](int64_t count) {
        ProgressCaption caption;
        std::vector<std::string> texts;
        for (int64_t r = 1; r <= count; ++r)
            if (auto text = caption.Next(r, count)) texts.push_back(*text);
        return texts;
    };
    std::vector<std::string> everyPercent;
    for (int p = 0; p <= 100; ++p) everyPercent.push_back(std::to_string(p) + " %");
    EXPECT_EQ(shown(1), (std::vector<std::string>{"100 %"}));
    EXPECT_EQ(shown(3), (std::vector<std::string>{"33 %", "66 %", "100 %"}));
    EXPECT_EQ(shown(10), (std::vector<std::string>{"10 %", "20 %", "30 %", "40 %", "50 %", "60 %", "70 %", "80 %",
                                                   "90 %", "100 %"}));
    EXPECT_EQ(shown(250), everyPercent);
    EXPECT_EQ(shown(1000000), everyPercent);
}

TEST(ProgressCaption, AFastSearchShowsEveryPercentageToo) {
    // However quickly the records follow one another, nothing is left out
    // but a repeat of the text already shown.
    ProgressCaption caption;
    EXPECT_EQ(caption.Next(1, 7), "14 %");
    EXPECT_EQ(caption.Next(2, 7), "28 %");
    EXPECT_EQ(caption.Next(2, 7), std::nullopt);
    EXPECT_EQ(caption.Next(4, 7), "57 %");
    EXPECT_EQ(caption.Next(7, 7), "100 %");
}

TEST(SearchTimesCaption, TwoDigitsEach) {
    EXPECT_EQ(SearchTimesCaption({10, 4, 59}, {10, 5, 13}), "10:04:59 - 10:05:13");
    EXPECT_EQ(SearchTimesCaption({0, 0, 0}, {23, 9, 7}), "00:00:00 - 23:09:07");
}

// --- record navigator ----------------------------------------------------

SearchResults ThreeResults() {
    SearchResults results;
    for (int64_t r : {4, 9, 12}) results.list.Append(r);
    results.count = 3;
    results.flag = 1;
    return results;
}

TEST(Navigator, StepsThroughTheResultsWithTheBoxChecked) {
    SearchResults results = ThreeResults();
    NavigatorPosition nav{1, true};
    const int64_t recordCount = 20;
    int64_t limit = MoveLimit(nav, results, recordCount);
    EXPECT_EQ(limit, 3);
    EXPECT_EQ(RecordAtPosition(nav, results), 4);
    ASSERT_TRUE(ApplyMove(nav, Move::Next, limit));
    EXPECT_EQ(RecordAtPosition(nav, results), 9);
    ASSERT_TRUE(ApplyMove(nav, Move::Next, limit));
    EXPECT_EQ(RecordAtPosition(nav, results), 12);
    EXPECT_FALSE(ApplyMove(nav, Move::Next, limit));
    EXPECT_EQ(nav.position, 3);
    ASSERT_TRUE(ApplyMove(nav, Move::First, limit));
    EXPECT_EQ(RecordAtPosition(nav, results), 4);
    EXPECT_FALSE(ApplyMove(nav, Move::Previous, limit));
    ASSERT_TRUE(ApplyMove(nav, Move::Last, limit));
    EXPECT_EQ(RecordAtPosition(nav, results), 12);
    ASSERT_TRUE(ApplyMove(nav, Move::Previous, limit));
    EXPECT_EQ(RecordAtPosition(nav, results), 9);
}

TEST(Navigator, WithoutResultsOrUncheckedItMovesOverRecordNumbers) {
    SearchResults results = ThreeResults();
    NavigatorPosition unchecked{2, false};
    EXPECT_EQ(RecordAtPosition(unchecked, results), 2);
    EXPECT_EQ(MoveLimit(unchecked, results, 20), 20);

    results.flag = 0;  // the last search found nothing
    NavigatorPosition checked{2, true};
    EXPECT_FALSE(SearchNavigationInEffect(checked, results));
    EXPECT_EQ(RecordAtPosition(checked, results), 2);
    EXPECT_EQ(MoveLimit(checked, results, 20), 20);
}

TEST(Navigator, ControlsAtOpening) {
    SearchResults none;
    OpeningControls closed = ControlsAtOpening(NavigatorPosition{5, true}, none);
    EXPECT_FALSE(closed.searchBoxEnabled);
    EXPECT_FALSE(closed.searchBoxChecked);
    EXPECT_TRUE(closed.goToEnabled);

    SearchResults found = ThreeResults();
    OpeningControls checked = ControlsAtOpening(NavigatorPosition{5, true}, found);
    EXPECT_TRUE(checked.searchBoxEnabled);
    EXPECT_TRUE(checked.searchBoxChecked);
    EXPECT_FALSE(checked.goToEnabled);

    OpeningControls unchecked = ControlsAtOpening(NavigatorPosition{5, false}, found);
    EXPECT_TRUE(unchecked.searchBoxEnabled);
    EXPECT_FALSE(unchecked.searchBoxChecked);
    EXPECT_TRUE(unchecked.goToEnabled);
}

TEST(GoToTarget, AcceptsOnlyRecordsFromOneToTheRecordCount) {
    const std::pair<const char*, std::optional<int64_t>> cases[] = {
        {"", std::nullopt},
        {"0", std::nullopt},
        {"13", std::nullopt},
        {"abc", std::nullopt},
        {"-2", std::nullopt},
        {"0.5", std::nullopt},
        {"1", 1},
        {"12", 12},
        {"  7", 7},
        {"3.6", 4},
        {"2.5", 2},
        {"12.4", std::nullopt},
        {"11.6", 12},
        {"1E1", 10},
        {"1E400", std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(GoToTarget(cases[i].first, 12), cases[i].second) << "case " << i << " '" << cases[i].first << "'";
    EXPECT_EQ(GoToTarget("1", 0), std::nullopt) << "an empty database has no record to go to";
}

// --- link dialog ---------------------------------------------------------

TEST(WithTrailingBackslash, AppendsOneWhenMissing) {
    EXPECT_EQ(WithTrailingBackslash("C:\\Datos\\Clientes"), "C:\\Datos\\Clientes\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\Datos\\Clientes\\"), "C:\\Datos\\Clientes\\");
    EXPECT_EQ(WithTrailingBackslash("D:\\"), "D:\\");
    EXPECT_EQ(WithTrailingBackslash(""), "");
}

TEST(ValidateLink, AValidFolderLinksAndLetsTheLastResultsGo) {
    DatabaseFixture fx;
    fx.WriteDefinitionBytes(std::vector<unsigned char>(36126, 0));
    bool linked = false;
    SearchResults results = ThreeResults();
    LinkOutcome outcome = ValidateLink(fx.Database(), linked, results, false);
    EXPECT_TRUE(outcome.checked);
    EXPECT_EQ(outcome.check, FolderCheck::FolderValid);
    EXPECT_TRUE(linked);
    EXPECT_EQ(results.flag, 0);
    EXPECT_EQ(outcome.folderBox, fx.Folder());
    EXPECT_FALSE(outcome.showBadFormat);
}

TEST(ValidateLink, AWrongLengthUnlinksAndIsReportedOnlyAfterAPick) {
    DatabaseFixture fx;
    fx.WriteDefinitionBytes(std::vector<unsigned char>(36127, 0));
    for (bool afterPick : {false, true}) {
        bool linked = true;
        SearchResults results = ThreeResults();
        LinkOutcome outcome = ValidateLink(fx.Database(), linked, results, afterPick);
        EXPECT_EQ(outcome.check, FolderCheck::BadFormat);
        EXPECT_FALSE(linked);
        EXPECT_EQ(outcome.folderBox, std::nullopt) << "the folder box keeps its text";
        EXPECT_EQ(outcome.showBadFormat, afterPick);
        EXPECT_EQ(results.flag, 1) << "only a successful link lets the results go";
    }
}

TEST(ValidateLink, NoDefinitionFileUnlinksSilentlyAndNoFolderChangesNothing) {
    DatabaseFixture fx;
    bool linked = true;
    SearchResults results;
    LinkOutcome missing = ValidateLink(fx.Database(), linked, results, true);
    EXPECT_EQ(missing.check, FolderCheck::NoDefinitionFile);
    EXPECT_FALSE(linked);
    EXPECT_FALSE(missing.showBadFormat);

    LinkedDatabase none;
    for (bool before : {false, true}) {
        linked = before;
        LinkOutcome outcome = ValidateLink(none, linked, results, true);
        EXPECT_FALSE(outcome.checked);
        EXPECT_EQ(linked, before);
    }
}

}  // namespace
}  // namespace velmar::ui
