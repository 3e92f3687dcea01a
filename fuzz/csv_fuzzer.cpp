// Fuzz target: the CSV import over arbitrary bytes (UTF-8 or Windows-1252,
// "," or ";"). A refused file names a line and a column from 1 and a reason.
// An accepted one must be writable as a database (the parser refuses whatever
// the writer would), must read back as what was parsed, and must come back the
// same through an export, plain and for a spreadsheet, and a second import.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "database/csv_exchange.h"
#include "database/database_writer.h"
#include "database/value_index.h"
#include "fuzz/fuzz_support.h"

namespace velmar::fuzz {
namespace {

// Records whose every value is missing leave no cells: a reader cannot tell
// them from records that are not there.
DatabaseContent Visible(DatabaseContent content) {
    std::erase_if(content.records, [](const DatabaseContent::Record& r) {
        return std::all_of(r.values.begin(), r.values.end(), [](const auto& v) { return !v.has_value(); });
    });
    return content;
}

void CheckReadsBack(const DatabaseContent& content, LinkedDatabase& db) {
    Check(LoadFieldList(db) == static_cast<int>(content.fields.size()), "field count read back");
    for (int i = 1; i <= db.fields.Count(); ++i) {
        const FieldDefinition& f = content.fields[static_cast<std::size_t>(i - 1)];
        Check(db.fields.Name(i) == f.name && db.fields.Type(i) == f.type && db.fields.SearchFlag(i) == f.searchFlag &&
                  db.fields.Options(i) == f.options,
              "definition " + std::to_string(i) + " read back");
    }
    const int64_t last = content.records.empty() ? 0 : content.records.back().number;
    const bool anyCell = !Visible(content).records.empty();
    if (anyCell) Check(LastRecordNumber(db) == Visible(content).records.back().number, "record count read back");
    if (!anyCell) Check(LastRecordNumber(db) == 0, "no cells, no records");
    (void)last;

    std::optional<ValueIndex> index = ValueIndex::Build(db.ValueFilePath());
    Check(index.has_value(), "value index of the written file");
    int literalChecks = 8;
    for (const DatabaseContent::Record& record : content.records) {
        RecordValues values = index->ValuesOf(record.number);
        for (std::size_t i = 0; i < content.fields.size(); ++i) {
            const std::optional<std::string>& value = record.values[i];
            const std::string* read = values.Find(content.fields[i].name);
            Check(value.has_value() == (read != nullptr) && (!read || *read == *value),
                  "value of " + Printable(content.fields[i].name) + " record " + std::to_string(record.number));
            if (literalChecks-- > 0)
                Check(ReadFieldValue(db, content.fields[i].name, record.number) == value.value_or(std::string(kNoData)),
                      "ReadFieldValue of " + Printable(content.fields[i].name));
        }
    }
}

}  // namespace
}  // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace velmar;
    using namespace velmar::fuzz;
    const std::string_view csv(reinterpret_cast<const char*>(data), size);
    auto parsed = ParseDatabaseCsv(csv);
    if (const CsvProblem* problem = std::get_if<CsvProblem>(&parsed)) {
        Check(problem->line >= 1 && problem->column >= 1 && !problem->reason.empty(), "problem without a place");
        return 0;
    }
    const DatabaseContent& content = std::get<DatabaseContent>(parsed);
    const std::string unfit = CheckContent(content);
    Check(unfit.empty(), "accepted CSV the writer refuses: " + unfit);

    LinkedDatabase db;
    db.folder = ScratchDatabaseFolder();
    WriteResult written = WriteDatabase(db.folder, content, true);
    Check(written.Ok(), "write: " + written.error);
    CheckReadsBack(content, db);

    // An export writes a row for every record number up to the last one.
    const DatabaseContent visible = Visible(content);
    // Both the plain export and the spreadsheet's come back the same.
    if (!content.fields.empty() && (visible.records.empty() || visible.records.back().number <= 5000)) {
        for (const CsvStyle style : {CsvStyle{}, kSpreadsheetStyle}) {
            std::ostringstream out;
            std::string error = ExportDatabaseCsv(db, out, nullptr, style);
            Check(error.empty(), "export: " + error);
            auto again = ParseDatabaseCsv(out.str());
            Check(std::holds_alternative<DatabaseContent>(again),
                  "the exported CSV is refused: " +
                      (std::holds_alternative<CsvProblem>(again) ? std::get<CsvProblem>(again).reason : std::string()));
            Check(Visible(std::get<DatabaseContent>(again)) == visible, "round trip changes the content");
        }
    }
    return 0;
}
