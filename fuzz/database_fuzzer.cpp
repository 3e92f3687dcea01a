// Fuzz target: arbitrary definition and value files plus search criteria,
// through every read operation of a linked folder and the three searches.
// Besides surviving every input, the fast implementation must agree with the
// literal model of the lookups and searches (tests/support/literal_model),
// which runs wherever its cost stays small; the fast path runs on any input.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "database/file_layout.h"
#include "database/linked_database.h"
#include "fuzz/database_input.h"
#include "fuzz/fuzz_support.h"
#include "search/read_search_value.h"
#include "search/searches.h"
#include "tests/support/literal_model.h"

namespace velmar::fuzz {
namespace {

// Work the literal model may do per input: record count x cells x criteria.
constexpr int64_t kModelBudget = 40000;
constexpr int64_t kModelRecordLimit = 256;
constexpr std::size_t kMaxLookups = 24;

std::string Where(const char* what, int64_t record = 0, const std::string& field = {}) {
    return std::string(what) + " field " + Printable(field) + " record " + std::to_string(record);
}

void CheckFieldList(const DatabaseInput& in, LinkedDatabase& db) {
    const std::size_t length = in.definitionBytes.size();
    const int count = static_cast<int>(length / layout::kDefinitionSize);
    const FolderCheck expected =
        length == 0 || length % layout::kDefinitionSize != 0 ? FolderCheck::BadFormat : FolderCheck::FolderValid;
    Check(CheckDatabaseFolder(db) == expected, "CheckDatabaseFolder");
    Check(LoadFieldList(db) == count, "LoadFieldList count");
    Check(db.fields.Count() == count && db.fields.types.size() == db.fields.names.size() &&
              db.fields.options.size() == db.fields.names.size() &&
              db.fields.searchFlags.size() == db.fields.names.size(),
          "field list arrays");

    if (!in.rawDefinitions) {
        for (int i = 1; i <= count; ++i) {
            const DefinitionSpec& d = in.definitions[static_cast<std::size_t>(i - 1)];
            std::string name = d.nameFillsSlot && d.name.size() < layout::kDefNameSlot
                                   ? d.name + std::string(layout::kDefNameSlot - d.name.size(), 'D')
                                   : d.name;
            name = name.substr(0, std::min(name.find('\0'), layout::kDefNameSlot));
            std::string options = d.optionsFillSlot && d.options.size() < layout::kDefOptionsSlot
                                      ? d.options + std::string(layout::kDefOptionsSlot - d.options.size(), '|')
                                      : d.options;
            options = options.substr(0, std::min(options.find('\0'), layout::kDefOptionsSlot));
            Check(db.fields.Name(i) == name, "field name " + std::to_string(i));
            Check(db.fields.Options(i) == options, "option list " + std::to_string(i));
            Check(db.fields.Type(i) == d.type, "field type " + std::to_string(i));
            Check(db.fields.SearchFlag(i) == d.searchFlag, "search flag " + std::to_string(i));
        }
    }
    // FieldTypeOf reads the file on its own: it must agree with the list.
    for (std::size_t n = 0; n < std::min<std::size_t>(in.namePool.size(), 8); ++n) {
        const std::string& name = in.namePool[n];
        int16_t type = 0;
        for (int i = 1; i <= count; ++i)
            if (db.fields.Name(i) == name) type = db.fields.Type(i);
        Check(FieldTypeOf(db, name) == type, Where("FieldTypeOf", 0, name));
    }
}

// The literal rule: criteria in the order of the definitions that name them.
void CheckOrderCriteria(const LinkedDatabase& db, SearchCriteria& criteria, int count) {
    SearchCriteria expected;
    int placed = 0;
    for (int i = 1; i <= db.fields.Count(); ++i)
        for (int k = 0; k < count && placed < count; ++k)
            if (criteria.names[k] == db.fields.Name(i)) {
                expected.names[placed] = criteria.names[k];
                expected.values[placed] = criteria.values[k];
                expected.codes[placed] = criteria.codes[k];
                ++placed;
            }
    for (int k = count; k < 3; ++k) {
        expected.names[k] = criteria.names[k];
        expected.values[k] = criteria.values[k];
        expected.codes[k] = criteria.codes[k];
    }
    Check(OrderCriteriaByFields(db, criteria, count) == placed, "OrderCriteriaByFields count");
    for (int k = 0; k < 3; ++k)
        Check(criteria.names[k] == expected.names[k] && criteria.values[k] == expected.values[k] &&
                  criteria.codes[k] == expected.codes[k],
              "OrderCriteriaByFields slot " + std::to_string(k));
}

std::vector<std::string> Collapsed(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const std::string& t : texts)
        if (out.empty() || out.back() != t) out.push_back(t);
    return out;
}

void RunSearch(const LinkedDatabase& db, SearchState& fast, model::State& literal, const SearchCriteria& criteria, int count, int64_t cells, int64_t recordCount) {
    std::vector<std::string> captions;
    int64_t previous = 0, calls = 0;
    auto progress = [&](int64_t r, int64_t n) {
        Check(n == recordCount && r > previous && r >= 1 && r <= n, "progress record order");
        previous = r;
        ++calls;
        if (captions.size() < 100000) captions.push_back(ProgressText(r, n));
    };
    if (count == 1) SearchOneField(db, fast, criteria, progress);
    if (count == 2) SearchTwoFields(db, fast, criteria, progress);
    if (count == 3) SearchThreeFields(db, fast, criteria, progress);

    // Progress: told once per record with cells, and where the percentage
    // changes over records without; the last record is always told.
    Check(recordCount < 1 ? calls == 0 : previous == recordCount, "last record told");
    Check(calls <= (cells + 1) * 103, "progress calls bounded");

    const SearchResults& results = fast.results;
    Check(results.count == results.list.Count(), "result count");
    Check(results.flag == (results.count > 0 ? 1 : 0), "results flag");
    Check(results.count >= 0 && results.count <= std::max<int64_t>(recordCount, 0), "result count range");
    Check(ClosingMessage(results) ==
              (results.count > 0 ? std::to_string(results.count) + " Resultados ..." : "No hay Resultados ..."),
          "closing message");
    if (results.count > 0) {
        Check(results.list.At(1) >= 1 && results.list.At(results.count) <= recordCount, "results in range");
        Check(results.list.At(0) == 0, "entry 0");
        if (results.count < std::numeric_limits<int64_t>::max())
            Check(results.list.At(results.count + 1) == 0, "entry after the last");
    }

    const bool affordable = recordCount <= kModelRecordLimit &&
                            std::max<int64_t>(recordCount, 1) * (cells + 1) * count <= kModelBudget;
    if (!affordable) {
        literal = {fast.scanPosition, fast.scanRecord};  // back in step for the next search
        return;
    }
    std::optional<model::Outcome> expected = model::Search(db, literal, criteria, count, kModelRecordLimit);
    Check(expected.has_value(), "model ran");
    std::vector<int64_t> found;
    results.list.ForEach([&](int64_t r) { found.push_back(r); });
    Check(found == expected->found, "found records differ from the literal search");
    Check(fast.scanPosition == literal.scanPosition, "scan position after search");
    Check(fast.scanRecord == literal.scanRecord, "scan record after search");
    if (recordCount <= 100)
        Check(captions == expected->progress, "progress texts");
    else
        Check(Collapsed(captions) == Collapsed(expected->progress), "progress texts (collapsed)");
}

void CheckLookups(const DatabaseInput& in, const LinkedDatabase& db, int64_t cells) {
    if (in.lookups.empty() || cells > 2048) return;
    SearchState fast;
    fast.scanRecord = in.scanRecord;
    // Any scan position a search can leave: a cell of the file or one past it.
    fast.scanPosition = 1 + static_cast<int64_t>(static_cast<uint64_t>(in.scanRecord) % static_cast<uint64_t>(cells + 1));
    model::State literal{fast.scanPosition, fast.scanRecord};
    // A buffer of three cells: values and records cross its edge at every
    // place, which files this small never do with the search's own buffer.
    ValueScanner scanner(db, 3 * layout::kCellSize);
    std::size_t n = std::min(in.lookups.size(), kMaxLookups);
    for (std::size_t i = 0; i < n; ++i) {
        const LookupSpec& l = in.lookups[i];
        // Alternate the open scanner with the lookup that opens the file itself.
        std::string got = i % 2 ? ReadSearchValue(db, fast, l.field, l.record, l.value, l.code)
                                : scanner.Lookup(fast, l.field, l.record, l.value, l.code);
        std::string want = model::ReadSearchValue(db, literal, l.field, l.record, l.value, l.code);
        std::string where = Where("lookup", l.record, l.field) + " code " + Printable(l.code) + " value " +
                            Printable(l.value) + " #" + std::to_string(i);
        Check(got == want, where + ": " + Printable(got) + " != " + Printable(want));
        Check(fast.scanPosition == literal.scanPosition, where + ": scan position");
        Check(fast.scanRecord == literal.scanRecord, where + ": scan record");
    }
}

void CheckFieldValues(const DatabaseInput& in, const LinkedDatabase& db, int64_t cells, int64_t last) {
    if (cells > 4096) return;
    std::vector<int64_t> records = {-1, 0, 1, 2, 3, last};
    if (last > std::numeric_limits<int64_t>::min()) records.push_back(last - 1);
    for (int64_t i = 0; i < std::min<int64_t>(cells, 8); ++i)
        records.push_back(layout::LoadI64(in.valueBytes.data() + i * layout::kCellSize + layout::kCellRecordOffset));
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    // Up to 24 (field, record) pairs spread over all of them.
    const std::size_t pairs = in.namePool.size() * records.size();
    const std::size_t checks = std::min<std::size_t>(pairs, 24);
    for (std::size_t i = 0; i < checks; ++i) {
        std::size_t pair = i * pairs / checks;
        const std::string& field = in.namePool[pair % in.namePool.size()];
        int64_t r = records[pair / in.namePool.size()];
        std::string got = ReadFieldValue(db, field, r);
        std::string want = model::ReadFieldValue(db, field, r);
        Check(got == want, Where("ReadFieldValue", r, field) + ": " + Printable(got) + " != " + Printable(want));
    }
}

}  // namespace
}  // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace velmar;
    using namespace velmar::fuzz;
    DatabaseInput in = DecodeDatabaseInput(data, size);
    LinkedDatabase db;
    db.folder = ScratchDatabaseFolder();
    WriteFileBytes(db.ValueFilePath(), in.valueBytes);
    WriteFileBytes(db.DefinitionFilePath(), in.definitionBytes);

    const int64_t cells = static_cast<int64_t>(in.valueBytes.size() / layout::kCellSize);
    const int64_t last =
        cells == 0 ? 0
                   : layout::LoadI64(in.valueBytes.data() + (cells - 1) * layout::kCellSize + layout::kCellRecordOffset);
    Check(LastRecordNumber(db) == last, "LastRecordNumber");

    CheckFieldList(in, db);
    CheckFieldValues(in, db, cells, last);

    SearchCriteria criteria = in.criteria;
    if (in.orderCriteria) CheckOrderCriteria(db, criteria, in.criteriaCount);
    SearchState fast;
    fast.scanRecord = in.scanRecord;
    model::State literal{1, in.scanRecord};
    RunSearch(db, fast, literal, criteria, in.criteriaCount, cells, last);
    if (in.secondSearch) RunSearch(db, fast, literal, criteria, in.criteriaCount % 3 + 1, cells, last);

    CheckLookups(in, db, cells);
    return 0;
}
