// Fuzz target: the record merge over arbitrary templates, databases and
// values. Three ways to show a record must give the same text: a plain
// rendering of the merge rules written here on top of the file scans
// (LoadFieldList, FieldTypeOf, ReadFieldValue), FormatRecordText reading the
// files on every placeholder, and the display cache with its value index.
// The value index must also agree with ReadFieldValue on its own.
//
// Input: u8 record selector, u8 second record selector, u8 today selector,
// u16 template length, the template, then a database as database_fuzzer reads
// it. In the template, bytes 0x01-0x08 stand for "#" and bytes 0x09-0x10 for
// "##" followed by a name of the database input's name pool.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/cp1252.h"
#include "database/display_cache.h"
#include "database/file_layout.h"
#include "database/record_display.h"
#include "database/value_index.h"
#include "fuzz/database_input.h"
#include "fuzz/fuzz_support.h"

namespace velmar::fuzz {
namespace {

const CalendarDate kTodays[] = {{2026, 3, 27}, {2026, 1, 10}, {2000, 2, 29}, {2026, 3, 1},
                                {1601, 1, 1},  {9999, 12, 31}, {2024, 12, 31}, {1985, 7, 3}};

std::string Expand(std::string_view raw, const std::vector<std::string>& pool) {
    std::string text;
    for (char c : raw) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 0x01 && b <= 0x10) {
            text += b <= 0x08 ? "#" : "##";
            text += pool[(b - 1u) % 8u % pool.size()];
        } else {
            text.push_back(c);
        }
    }
    return text;
}

// Every non-overlapping occurrence of `pattern`, left to right.
std::string ReplaceEvery(const std::string& text, const std::string& pattern, const std::string& by) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, from)) {
        out.append(text, from, at - from);
        out += by;
        from = at + pattern.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

// Where the rules below stop following the text: a value that holds its own
// placeholder makes the text double at every position, up to the program's
// limit of kMaxMergedText, where it stops filling.
constexpr std::size_t kPlainMergeLimit = std::size_t{1} << 20;

// The merge rules step by step; nothing when the text grows past
// kPlainMergeLimit.
std::optional<std::string> PlainMerge(LinkedDatabase db, const std::string& templateText, int64_t record,
                                      CalendarDate today) {
    const int n = LoadFieldList(db);
    const auto marks = std::count(templateText.begin(), templateText.end(), '#');
    std::string t = templateText;
    if (marks < 1 || marks > 3 * static_cast<int64_t>(n)) return t;
    for (int i = 1; i <= n; ++i) {
        const std::string f = db.fields.Name(i);
        const int16_t type = FieldTypeOf(db, f);
        if ((type >= 5 && type <= 7) || type > 9) continue;
        const std::size_t length = t.size();
        for (std::size_t p = 0; p < length && p < t.size(); ++p) {
            std::string form;
            if (t.compare(p, f.size() + 2, "##" + f) == 0)
                form = "##" + f;
            else if (t.compare(p, f.size() + 1, "#" + f) == 0)
                form = "#" + f;
            else
                continue;
            std::string shown =
                DisplayText(type, ReadFieldValue(db, f, record), db.fields.Options(i), today).value_or("");
            if (form.size() == f.size() + 2) shown = Cp1252Upper(shown);
            std::string escaped;
            for (char c : shown) {
                if (c == '\\' || c == '{' || c == '}') escaped.push_back('\\');
                escaped.push_back(c);
            }
            t = ReplaceEvery(t, form, escaped);
            if (t.size() > kPlainMergeLimit) return std::nullopt;
        }
    }
    return t;
}

void CheckIndex(const DatabaseInput& in, const LinkedDatabase& db, int64_t cells) {
    std::optional<ValueIndex> index = ValueIndex::Build(db.ValueFilePath());
    Check(index.has_value(), "the value index of an unchanging file");
    Check(index->CellCount() == cells, "index cell count");
    Check(index->LastRecordNumber() == LastRecordNumber(db), "index last record");
    Check(static_cast<int64_t>(index->SegmentCount()) <= cells, "one segment per cell at most");
    if (cells > 4096) return;
    std::vector<int64_t> records = {-1, 0, 1, 2, 3, index->LastRecordNumber()};
    for (int64_t i = 0; i < std::min<int64_t>(cells, 6); ++i)
        records.push_back(layout::LoadI64(in.valueBytes.data() + i * layout::kCellSize + layout::kCellRecordOffset));
    ValueIndex::Reader reader(*index);
    int budget = 16;
    for (int64_t record : records) {
        RecordValues byIndex = index->ValuesOf(record);
        RecordValues byReader = reader.ValuesOf(record);
        for (const std::string& field : in.namePool) {
            if (budget-- <= 0) return;
            const std::string* fromIndex = byIndex.Find(field);
            const std::string* fromReader = byReader.Find(field);
            std::string scanned = ReadFieldValue(db, field, record);
            std::string indexed = fromIndex ? *fromIndex : std::string(kNoData);
            Check(indexed == scanned, "index value of " + Printable(field) + " record " + std::to_string(record) +
                                          ": " + Printable(indexed) + " != " + Printable(scanned));
            Check((fromReader ? *fromReader : std::string(kNoData)) == scanned, "reader value of " + Printable(field));
        }
    }
}

}  // namespace
}  // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace velmar;
    using namespace velmar::fuzz;
    if (size < 5) return 0;
    const int64_t record = RecordNumberOf(data[0]);
    const int64_t second = RecordNumberOf(data[1]);
    const CalendarDate today = kTodays[data[2] % std::size(kTodays)];
    const std::size_t templateLength = std::min<std::size_t>(data[3] | data[4] << 8, size - 5);
    const std::string raw(reinterpret_cast<const char*>(data + 5), templateLength);
    DatabaseInput in = DecodeDatabaseInput(data + 5 + templateLength, size - 5 - templateLength);

    LinkedDatabase db;
    db.folder = ScratchDatabaseFolder();
    WriteFileBytes(db.ValueFilePath(), in.valueBytes);
    WriteFileBytes(db.DefinitionFilePath(), in.definitionBytes);
    const int64_t cells = static_cast<int64_t>(in.valueBytes.size() / layout::kCellSize);
    CheckIndex(in, db, cells);

    DisplayTemplate displayTemplate{Expand(raw, in.namePool), true};
    DisplayCache cache;
    for (int64_t r : {record, second}) {
        std::optional<std::string> plain = PlainMerge(db, displayTemplate.text, r, today);
        LinkedDatabase literalDb = db;
        LoadFieldList(literalDb);
        LiteralFieldSource literal(literalDb);
        std::string byScans = FormatRecordText(displayTemplate, literalDb.fields, r, literal, today);
        LinkedDatabase cachedDb = db;
        std::string byCache = cache.FormatRecord(cachedDb, displayTemplate, r, today);
        const std::string where = "record " + std::to_string(r) + " template " + Printable(displayTemplate.text);
        Check(byScans.size() <= std::max(displayTemplate.text.size(), kMaxMergedText), "merged text size");
        Check(byCache == byScans, "display cache differs from the file scans: " + where);
        if (plain) Check(*plain == byScans, "merge differs from its rules: " + where + " gives " + Printable(byScans) +
                                                ", rules " + Printable(*plain));
    }
    // No template held: nothing to show.
    LinkedDatabase literalDb = db;
    LiteralFieldSource literal(literalDb);
    Check(FormatRecordText(DisplayTemplate{displayTemplate.text, false}, literalDb.fields, record, literal, today)
              .empty(),
          "no template");
    return 0;
}
