#include "database/linked_database.h"

#include "database/collected_text.h"
#include "database/file_layout.h"
#include "database/record_file.h"

namespace velmar {

using layout::CellView;
using layout::DefinitionView;

std::string LinkedDatabase::ValueFilePath() const { return folder + DatabaseNameOf(folder) + ".zbd"; }
std::string LinkedDatabase::DefinitionFilePath() const { return folder + DatabaseNameOf(folder) + ".z04"; }

const char* FolderCheckName(FolderCheck check) {
    switch (check) {
        case FolderCheck::FolderValid: return "FolderValid";
        case FolderCheck::NoDefinitionFile: return "NoDefinitionFile";
        case FolderCheck::BadFormat: return "BadFormat";
    }
    return "BadFormat";
}

std::string DatabaseNameOf(std::string_view folder) {
    std::size_t last = std::string_view::npos, beforeLast = std::string_view::npos;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (folder[i] == kPathSeparator) {
            beforeLast = last;
            last = i;
        }
    }
    std::size_t start = beforeLast == std::string_view::npos ? 0 : beforeLast + 1;
    std::string_view tail = folder.substr(start);
    if (!tail.empty()) tail.remove_suffix(1);
    return std::string(tail);
}

FolderCheck CheckDatabaseFolder(const LinkedDatabase& db) {
    std::string path = db.DefinitionFilePath();
    PathKind kind = KindOfPath(path);
    if (kind == PathKind::Missing) return FolderCheck::NoDefinitionFile;
    // A folder of that name exists but cannot be opened as a file: length 0.
    if (kind == PathKind::Folder) return FolderCheck::BadFormat;
    RecordFile file(path, layout::kDefinitionSize, layout::kDefinitionSize);
    uint64_t length = file.ByteLength();
    if (length == 0 || length % layout::kDefinitionSize != 0) return FolderCheck::BadFormat;
    return FolderCheck::FolderValid;
}

std::string ReadFieldValue(const LinkedDatabase& db, std::string_view field, int64_t record) {
    RecordFile file(db.ValueFilePath(), layout::kCellSize);
    CollectedText collected;
    std::string result;
    const int64_t cells = file.Count();
    for (int64_t i = 1; i <= cells; ++i) {
        db.YieldOnce();
        const unsigned char* bytes = file.Record(i);
        if (!bytes) continue;  // an unreadable cell is skipped
        CellView cell{bytes};
        if (cell.NameIs(field)) {
            if (cell.Record() == record) {
                collected.Append(i, static_cast<char>(cell.Character()));
                if (cell.IsLast()) {
                    result = collected.Take(file, field, record, i, db.yield);
                    break;
                }
            }
            // A cell of the same field for another record leaves the text.
        } else {
            collected.Clear();
        }
    }
    if (result.empty()) return std::string(kNoData);
    return result;
}

int64_t LastRecordNumber(const LinkedDatabase& db) {
    RecordFile file(db.ValueFilePath(), layout::kCellSize, layout::kCellSize);
    return LastRecordNumber(file);
}

int64_t LastRecordNumber(RecordFile& valueFile) {
    if (valueFile.Count() == 0) return 0;
    const unsigned char* bytes = valueFile.Record(valueFile.Count());
    return bytes ? CellView{bytes}.Record() : 0;
}

int16_t FieldTypeOf(const LinkedDatabase& db, std::string_view field) {
    RecordFile file(db.DefinitionFilePath(), layout::kDefinitionSize);
    int16_t type = 0;
    for (int64_t i = 1; i <= file.Count(); ++i) {
        const unsigned char* bytes = file.Record(i);
        if (bytes && DefinitionView{bytes}.NameIs(field)) type = DefinitionView{bytes}.Type();
    }
    return type;
}

int LoadFieldList(LinkedDatabase& db) {
    RecordFile file(db.DefinitionFilePath(), layout::kDefinitionSize);
    FieldList list;
    const int64_t count = file.Count();
    list.names.reserve(static_cast<std::size_t>(count));
    for (int64_t i = 1; i <= count; ++i) {
        const unsigned char* bytes = file.Record(i);
        if (!bytes) {
            // An unreadable definition keeps its place with empty contents.
            list.names.emplace_back();
            list.types.push_back(0);
            list.options.emplace_back();
            list.searchFlags.push_back(0);
            continue;
        }
        DefinitionView def{bytes};
        list.names.emplace_back(def.Name());
        list.types.push_back(def.Type());
        list.options.emplace_back(def.Options());
        list.searchFlags.push_back(def.SearchFlag());
    }
    db.fields = std::move(list);
    return db.fields.Count();
}

}  // namespace velmar
