// Writes the two files of a database folder in the byte layout of
// file_layout.h: the CSV import builds databases with it, and tests and
// benchmarks build their fixtures with it. Bytes that readers ignore are
// written as zero.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

struct FieldDefinition {
    std::string name;
    int16_t type = 0;
    int32_t searchFlag = 1;
    std::string options;
    bool operator==(const FieldDefinition&) const = default;
};

// What a reader can see of a database: the field definitions, and for every
// record the value of each field in definition order (nothing = no cells).
struct DatabaseContent {
    struct Record {
        int64_t number = 0;
        std::vector<std::optional<std::string>> values;
        bool operator==(const Record&) const = default;
    };
    std::vector<FieldDefinition> fields;
    std::vector<Record> records;  // ascending record numbers
    bool operator==(const DatabaseContent&) const = default;
};

// Longest texts that the slots hold with their terminating NUL.
inline constexpr std::size_t kMaxFieldName = 30;
inline constexpr std::size_t kMaxCellFieldName = 34;
inline constexpr std::size_t kMaxOptionList = 12000;

// Appends the bytes of one definition or one value cell. Texts longer than
// their slot are cut at the slot's width (tests use that to fill a slot
// without a NUL); bytes after a NUL in a text are kept, as a damaged file may
// hold them.
void AppendDefinitionBytes(std::string& out, const FieldDefinition& definition);
void AppendCellBytes(std::string& out, std::string_view fieldName, int64_t record, unsigned char character,
                     int32_t lastFlag);
// The cells of one field value, one per character, only the last one flagged.
// An empty value has no cells.
void AppendValueCells(std::string& out, std::string_view fieldName, int64_t record, std::string_view value);

std::string EncodeDefinitionFile(const std::vector<FieldDefinition>& fields);

// Streams value cells into a file through a buffer.
class ValueFileWriter {
public:
    // Opens `path` for writing, replacing its contents.
    explicit ValueFileWriter(const std::string& path);
    ~ValueFileWriter();
    ValueFileWriter(const ValueFileWriter&) = delete;
    ValueFileWriter& operator=(const ValueFileWriter&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    void Cell(std::string_view fieldName, int64_t record, unsigned char character, int32_t lastFlag);
    void Value(std::string_view fieldName, int64_t record, std::string_view value);
    void Bytes(std::string_view bytes);
    // Flushes and closes; false when any write failed.
    bool Close();

private:
    void FlushIfFull();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};

// Why a database could not be written; empty when it was.
struct WriteResult {
    std::string error;
    bool Ok() const { return error.empty(); }
};

// The reasons that make a content unfit for the file layout: a field name
// longer than kMaxFieldName or holding a NUL, two fields of one name, an
// option list too long or holding a NUL, records not strictly ascending or
// below 1, a record with the wrong number of values. Empty when it fits.
std::string CheckContent(const DatabaseContent& content);

// Writes `content` as the database in `folder` (a path ending in the path
// separator; the files are named after its last component). Unless `replace`,
// refuses when either file already exists. The folder itself must exist.
// On failure, files that this call created are removed again.
WriteResult WriteDatabase(const std::string& folder, const DatabaseContent& content, bool replace = false);

}  // namespace velmar
