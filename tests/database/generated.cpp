#include "tests/database/generated.h"

#include <algorithm>

#include "database/file_layout.h"

namespace velmar::test {
namespace {

int Uniform(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

template <typename T>
const T& Pick(std::mt19937& rng, const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(items.size()) - 1))];
}

std::string RandomBytes(std::mt19937& rng, int maxLength) {
    static const std::string kCommon = "abcABC xyz{}\\#-/|.,;:\"\r\n\t\xE1\xF1\xD1\xFF\x80\x9A\x81";
    std::string text;
    int length = Uniform(rng, 1, maxLength);
    for (int i = 0; i < length; ++i) {
        if (Uniform(rng, 0, 3) == 0) {
            text.push_back(static_cast<char>(Uniform(rng, 1, 255)));
        } else {
            text.push_back(kCommon[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(kCommon.size()) - 1))]);
        }
    }
    return text;
}

std::string RandomValue(std::mt19937& rng, const FieldDefinition& field) {
    switch (Uniform(rng, 0, 5)) {
        case 0:
            return RandomBytes(rng, 12);
        case 1:
            return std::to_string(Uniform(rng, -4, 6)) + (Uniform(rng, 0, 1) ? ".5" : "");
        case 2: {
            char date[16];
            std::snprintf(date, sizeof date, "%02d/%02d/%04d", Uniform(rng, 0, 31), Uniform(rng, 0, 13),
                          Uniform(rng, 1590, 2030));
            return date;
        }
        case 3:
            return "#" + field.name + (Uniform(rng, 0, 1) ? "x" : "");
        default:
            return std::string(1, static_cast<char>('a' + Uniform(rng, 0, 25)));
    }
}

}  // namespace

DatabaseContent RandomContent(std::mt19937& rng, int maxRecords) {
    static const std::vector<std::string> kNames = {"Nombre",
                                                    "Nombre2",
                                                    "Alta",
                                                    "Lista",
                                                    "N",
                                                    "Ciudad",
                                                    "C\xF3"
                                                    "digo",
                                                    "x",
                                                    "Notas largas de prueba 123456"};
    static const std::vector<int16_t> kTypes = {0, 0, 1, 4, 8, 8, 9, 9, 5, 6, 7, 10, -1, 32767};
    DatabaseContent content;
    int fieldCount = Uniform(rng, 1, 6);
    std::vector<std::string> names = kNames;
    std::shuffle(names.begin(), names.end(), rng);
    for (int i = 0; i < fieldCount; ++i) {
        FieldDefinition field;
        field.name = names[static_cast<std::size_t>(i)];
        field.type = Pick(rng, kTypes);
        field.searchFlag = Uniform(rng, 0, 3) ? 1 : Uniform(rng, -2, 7);
        if (field.type == 9 || Uniform(rng, 0, 4) == 0) {
            field.options = Uniform(rng, 0, 1) ? " uno|dos |tres| " : "A|B{x}|C\\D|\xC1rbol";
        }
        content.fields.push_back(std::move(field));
    }
    int64_t number = 0;
    int records = Uniform(rng, 0, maxRecords);
    for (int r = 0; r < records; ++r) {
        number += Uniform(rng, 0, 4) == 0 ? Uniform(rng, 2, 3) : 1;
        DatabaseContent::Record record;
        record.number = number;
        for (const FieldDefinition& field : content.fields) {
            if (Uniform(rng, 0, 5) == 0) {
                record.values.emplace_back();
            } else {
                record.values.emplace_back(RandomValue(rng, field));
            }
        }
        content.records.push_back(std::move(record));
    }
    // The record count is the last cell's record: drop trailing records without values.
    while (!content.records.empty()) {
        const auto& values = content.records.back().values;
        if (std::any_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); })) break;
        content.records.pop_back();
    }
    return content;
}

const std::vector<std::string>& DamagedNames() {
    static const std::vector<std::string> kNames = {"A", "B", "AB", "", std::string(35, 'L')};
    return kNames;
}

std::string RandomDamagedValueFile(std::mt19937& rng, int64_t maxRecord) {
    std::string bytes;
    int64_t record = 1;
    int groups = Uniform(rng, 0, 60);
    for (int g = 0; g < groups; ++g) {
        const std::string& name = Pick(rng, DamagedNames());
        // Mostly ascending records, sometimes a jump back or forward.
        int move = Uniform(rng, 0, 9);
        if (move == 0) record = Uniform(rng, -1, static_cast<int>(maxRecord));
        if (move == 1 && record < maxRecord) ++record;
        int length = Uniform(rng, 1, 4);
        for (int i = 0; i < length; ++i) {
            int kind = Uniform(rng, 0, 19);
            int32_t flag = i + 1 == length ? 1 : 0;
            if (kind == 0) flag = 1 - flag;
            if (kind == 1) flag = Uniform(rng, 2, 3) == 2 ? 256 : -1;
            int64_t cellRecord = kind == 2 ? record + 1 : record;
            std::string cellName = kind == 3 ? Pick(rng, DamagedNames()) : name;
            AppendCellBytes(bytes, cellName, cellRecord, static_cast<unsigned char>('a' + Uniform(rng, 0, 25)), flag);
            if (kind == 4 && cellName.size() + 2 < layout::kCellNameSlot) {
                // Bytes after the name's NUL are not part of the name.
                bytes[bytes.size() - layout::kCellSize + layout::kCellNameOffset + cellName.size() + 1] = 'Z';
            }
        }
    }
    if (Uniform(rng, 0, 3) == 0) bytes.append(static_cast<std::size_t>(Uniform(rng, 1, 53)), 'q');
    return bytes;
}

std::string RandomTemplate(std::mt19937& rng, const std::vector<FieldDefinition>& fields) {
    static const std::vector<std::string> kText = {"{\\rtf1 ", "Sr. ", "\\par ", " y ", "}", "#", "##", "x", "2"};
    std::string text;
    int pieces = Uniform(rng, 1, 10);
    for (int i = 0; i < pieces; ++i) {
        int kind = Uniform(rng, 0, 5);
        if (kind <= 2 && !fields.empty()) {
            text += kind == 0 ? "##" : "#";
            text += Pick(rng, fields).name;
        } else if (kind == 3) {
            text += "#Desconocido";
        } else {
            text += Pick(rng, kText);
        }
    }
    return text;
}

}  // namespace velmar::test
