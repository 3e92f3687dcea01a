// The linked database folder and every read operation on its two files.
// Nothing here shows a message: a missing or unreadable file reads as a file
// without records, and a partial record at a file's end is never read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Called before each value cell or field definition that a long scan reads,
// so that a user interface can keep its windows responsive. Empty by default.
using YieldHook = std::function<void()>;

// The in-memory copy of the field definition file: names, types, option
// lists and search flags by field index from 1.
struct FieldList {
    std::vector<std::string> names;
    std::vector<int16_t> types;
    std::vector<std::string> options;
    std::vector<int32_t> searchFlags;

    int Count() const { return static_cast<int>(names.size()); }
    const std::string& Name(int index) const { return names[static_cast<std::size_t>(index - 1)]; }
    int16_t Type(int index) const { return types[static_cast<std::size_t>(index - 1)]; }
    const std::string& Options(int index) const { return options[static_cast<std::size_t>(index - 1)]; }
    int32_t SearchFlag(int index) const { return searchFlags[static_cast<std::size_t>(index - 1)]; }
};

// The linked folder (ending in the path separator; empty when none is linked),
// the field list loaded from it, and the yield hook its scans call.
struct LinkedDatabase {
    std::string folder;
    FieldList fields;
    YieldHook yield;

    std::string ValueFilePath() const;
    std::string DefinitionFilePath() const;
    // Not named Yield: <windows.h> defines Yield() as a macro.
    void YieldOnce() const {
        if (yield) yield();
    }
};

enum class FolderCheck { FolderValid, NoDefinitionFile, BadFormat };
const char* FolderCheckName(FolderCheck check);

// The last component of a folder path written with a trailing separator:
// "C:\Datos\Clientes\" gives "Clientes". The last character is dropped
// whatever it is, so a folder without its trailing separator names no file.
std::string DatabaseNameOf(std::string_view folder);

// A folder is a database when its field definition file exists and its length
// is a positive multiple of one definition. Never creates the file.
FolderCheck CheckDatabaseFolder(const LinkedDatabase& db);

// The value of `field` for `record`, collected by one forward pass over the
// value file; "No datos" when the value has no complete set of cells.
std::string ReadFieldValue(const LinkedDatabase& db, std::string_view field, int64_t record);
inline constexpr std::string_view kNoData = "No datos";

// Record numbers as ascending runs (first, last) that do not overlap.
using RecordRuns = std::vector<std::pair<int64_t, int64_t>>;

// The record number of the value file's last cell, or 0 without cells; the
// second form reads it from a value file already open.
int64_t LastRecordNumber(const LinkedDatabase& db);
class RecordFile;
int64_t LastRecordNumber(RecordFile& valueFile);

// The type of the last definition named `field`, or 0 when none is.
int16_t FieldTypeOf(const LinkedDatabase& db, std::string_view field);

// Replaces db.fields with the field definition file's contents; returns the
// field count.
int LoadFieldList(LinkedDatabase& db);

}  // namespace velmar
