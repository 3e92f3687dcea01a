#include "database/database_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "database/file_layout.h"
#include "database/linked_database.h"
#include "database/record_file.h"

namespace velmar {
namespace {

void PutText(unsigned char* slot, std::size_t width, std::string_view text) {
    std::size_t n = std::min(width, text.size());
    std::copy_n(text.begin(), n, slot);
}

constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;

}  // namespace

void AppendDefinitionBytes(std::string& out, const FieldDefinition& definition) {
    unsigned char bytes[layout::kDefinitionSize] = {};
    layout::StoreI32(bytes + layout::kDefSearchFlagOffset, definition.searchFlag);
    PutText(bytes + layout::kDefNameOffset, layout::kDefNameSlot, definition.name);
    layout::StoreI16(bytes + layout::kDefTypeOffset, definition.type);
    PutText(bytes + layout::kDefOptionsOffset, layout::kDefOptionsSlot, definition.options);
    out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void AppendCellBytes(std::string& out, std::string_view fieldName, int64_t record, unsigned char character,
                     int32_t lastFlag) {
    unsigned char bytes[layout::kCellSize] = {};
    bytes[layout::kCellCharOffset] = character;
    PutText(bytes + layout::kCellNameOffset, layout::kCellNameSlot, fieldName);
    layout::StoreI64(bytes + layout::kCellRecordOffset, record);
    layout::StoreI32(bytes + layout::kCellLastFlagOffset, lastFlag);
    out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void AppendValueCells(std::string& out, std::string_view fieldName, int64_t record, std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        AppendCellBytes(out, fieldName, record, static_cast<unsigned char>(value[i]), i + 1 == value.size() ? 1 : 0);
    }
}

std::string EncodeDefinitionFile(const std::vector<FieldDefinition>& fields) {
    std::string out;
    out.reserve(fields.size() * layout::kDefinitionSize);
    for (const FieldDefinition& field : fields) AppendDefinitionBytes(out, field);
    return out;
}

ValueFileWriter::ValueFileWriter(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    buffer_.reserve(kWriteBuffer + layout::kCellSize);
}

ValueFileWriter::~ValueFileWriter() {
    Close();
}

void ValueFileWriter::FlushIfFull() {
    if (buffer_.size() < kWriteBuffer) return;
    if (file_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
}

void ValueFileWriter::Cell(std::string_view fieldName, int64_t record, unsigned char character, int32_t lastFlag) {
    AppendCellBytes(buffer_, fieldName, record, character, lastFlag);
    FlushIfFull();
}

void ValueFileWriter::Value(std::string_view fieldName, int64_t record, std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        Cell(fieldName, record, static_cast<unsigned char>(value[i]), i + 1 == value.size() ? 1 : 0);
    }
}

void ValueFileWriter::Bytes(std::string_view bytes) {
    buffer_.append(bytes);
    FlushIfFull();
}

bool ValueFileWriter::Close() {
    if (!file_) return false;
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

std::string CheckContent(const DatabaseContent& content) {
    if (content.fields.empty()) return "no hay ning\xC3\xBAn campo";
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < content.fields.size(); ++i) {
        const FieldDefinition& field = content.fields[i];
        std::string which = "campo " + std::to_string(i + 1);
        if (field.name.size() > kMaxFieldName) return which + ": el nombre tiene m\xC3\xA1s de 30 caracteres";
        if (field.name.find('\0') != std::string::npos)
            return which +
                   ": el nombre tiene un car\xC3\xA1"
                   "cter NUL";
        if (!names.insert(field.name).second) return which + ": ya hay un campo con ese nombre";
        if (field.options.size() > kMaxOptionList)
            return which + ": la lista de opciones tiene m\xC3\xA1s de 12000 caracteres";
        if (field.options.find('\0') != std::string::npos)
            return which +
                   ": la lista de opciones tiene un car\xC3\xA1"
                   "cter NUL";
    }
    int64_t previous = 0;
    for (const DatabaseContent::Record& record : content.records) {
        std::string which = "registro " + std::to_string(record.number);
        if (record.number <= previous) return which + ": los n\xC3\xBAmeros de registro deben crecer a partir de 1";
        if (record.values.size() != content.fields.size()) return which + ": no tiene un valor por campo";
        previous = record.number;
    }
    return {};
}

WriteResult WriteDatabase(const std::string& folder, const DatabaseContent& content, bool replace) {
    std::string problem = CheckContent(content);
    if (!problem.empty()) return {problem};
    LinkedDatabase db;
    db.folder = folder;
    const std::string definitionPath = db.DefinitionFilePath();
    const std::string valuePath = db.ValueFilePath();
    if (DatabaseNameOf(folder).empty()) return {"la carpeta no tiene nombre para los ficheros de la base de datos"};
    if (KindOfPath(folder.substr(0, folder.size() - 1)) != PathKind::Folder) return {"la carpeta no existe"};
    const bool definitionExisted = KindOfPath(definitionPath) != PathKind::Missing;
    const bool valueExisted = KindOfPath(valuePath) != PathKind::Missing;
    if (!replace && definitionExisted) return {"ya existe " + definitionPath};
    if (!replace && valueExisted) return {"ya existe " + valuePath};

    bool ok = true;
    errno = 0;
    {
        std::string definitions = EncodeDefinitionFile(content.fields);
        std::FILE* file = std::fopen(definitionPath.c_str(), "wb");
        ok = file && std::fwrite(definitions.data(), 1, definitions.size(), file) == definitions.size();
        if (file && std::fclose(file) != 0) ok = false;
    }
    if (ok) {
        ValueFileWriter values(valuePath);
        ok = values.IsOpen();
        for (const DatabaseContent::Record& record : content.records) {
            for (std::size_t i = 0; ok && i < content.fields.size(); ++i) {
                if (record.values[i]) values.Value(content.fields[i].name, record.number, *record.values[i]);
            }
        }
        ok = values.Close() && ok;
    }
    if (!ok) {
        // The system's reason, from the write, flush or close that failed.
        const int error = errno;
        if (!definitionExisted) std::remove(definitionPath.c_str());
        if (!valueExisted) std::remove(valuePath.c_str());
        return {"no se pudieron escribir los ficheros de la base de datos en " + folder +
                (error != 0 ? ": " + std::string(std::strerror(error)) : std::string())};
    }
    return {};
}

}  // namespace velmar
