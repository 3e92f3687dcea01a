#include "database/csv_exchange.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "database/cp1252.h"
#include "database/value_index.h"

namespace velmar {
namespace {

constexpr std::string_view kRecordColumn = "Registro";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Rows without any value that an export writes at most beyond the cells of
// the file: a last cell with an absurd record number must not make the export
// write billions of empty rows.
constexpr int64_t kMaxEmptyRows = 10000000;

struct CsvCell {
    std::string text;    // UTF-8, quotes removed
    std::size_t offset;  // byte offset of the cell's first byte
};
using CsvRow = std::vector<CsvCell>;

struct SplitProblem {
    std::size_t offset;
    std::string reason;
};

// Line and column (in characters) of a byte offset; CR LF, LF and a lone CR
// each end a line.
CsvProblem ProblemAt(std::string_view text, std::size_t offset, std::string reason) {
    int64_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++line;
            column = 1;
        } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column, std::move(reason)};
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The separator of a file: the character after the header's first cell, when
// it is ";"; otherwise ",".
char SeparatorOf(std::string_view text) {
    std::size_t i = text.find_first_not_of("\r\n");
    if (i == std::string_view::npos) return ',';
    if (text[i] == '"') {
        for (++i; i < text.size(); ++i) {
            if (text[i] != '"') continue;
            if (i + 1 < text.size() && text[i + 1] == '"') {
                ++i;
                continue;
            }
            ++i;
            break;
        }
    } else {
        while (i < text.size() && text[i] != ',' && text[i] != ';' && !IsLineBreak(text[i])) ++i;
    }
    return i < text.size() && text[i] == ';' ? ';' : ',';
}

// RFC 4180 records and fields, cells separated by `separator`. Lines that
// hold nothing are skipped.
std::variant<std::vector<CsvRow>, SplitProblem> SplitCsv(std::string_view text, char separator) {
    std::vector<CsvRow> rows;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        if (IsLineBreak(text[i])) {
            ++i;
            continue;
        }
        CsvRow row;
        while (true) {
            CsvCell cell{{}, i};
            if (i < n && text[i] == '"') {
                ++i;
                while (true) {
                    if (i >= n) return SplitProblem{cell.offset, "faltan las comillas que cierran este campo"};
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            cell.text.push_back('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    cell.text.push_back(text[i++]);
                }
                if (i < n && text[i] != separator && !IsLineBreak(text[i])) {
                    return SplitProblem{i, std::string("tras las comillas que cierran un campo solo puede venir ") +
                                               (separator == ';' ? "un punto y coma" : "una coma") +
                                               " o un fin de l\xC3\xADnea"};
                }
            } else {
                while (i < n && text[i] != separator && !IsLineBreak(text[i])) {
                    if (text[i] == '"') {
                        return SplitProblem{i,
                                            "comillas dentro de un campo sin comillas: encierre el campo entre "
                                            "comillas y escriba las comillas interiores dobles (\"\")"};
                    }
                    cell.text.push_back(text[i++]);
                }
            }
            row.push_back(std::move(cell));
            if (i < n && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string Ansi(std::string_view utf8) {
    return Utf8ToCp1252(utf8).value_or(std::string());
}

std::string Quoted(std::string_view utf8) {
    return "\xC2\xAB" + std::string(utf8) + "\xC2\xBB";
}

std::optional<int64_t> WholeNumber(std::string_view text, int64_t low, int64_t high) {
    if (text.empty()) return std::nullopt;
    std::size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size()) return std::nullopt;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

// A header cell in the compact form NAME[:TYPE[:FLAG[:OPTIONS]]].
std::variant<FieldDefinition, std::string> ParseFieldHeader(std::string_view cell) {
    if (cell.empty())
        return std::string(
            "cabecera vac\xC3\xAD"
            "a: falta el nombre del campo");
    std::string name;
    std::size_t i = 0;
    for (; i < cell.size() && cell[i] != ':'; ++i) {
        if (cell[i] == '\\') {
            if (i + 1 < cell.size() && (cell[i + 1] == ':' || cell[i + 1] == '\\')) {
                name.push_back(cell[++i]);
                continue;
            }
            return std::string("en el nombre del campo, \\ solo puede ir delante de : o de otra \\");
        }
        name.push_back(cell[i]);
    }
    FieldDefinition field;
    field.name = Ansi(name);
    if (field.name.size() > kMaxFieldName) {
        return "el nombre del campo " + Quoted(name) + " tiene " + std::to_string(field.name.size()) +
               " caracteres y caben " + std::to_string(kMaxFieldName);
    }
    if (field.name.find('\0') != std::string::npos)
        return std::string(
            "el nombre del campo tiene un car\xC3\xA1"
            "cter NUL");
    if (i == cell.size()) return field;

    std::string_view rest = cell.substr(i + 1);
    std::size_t colon = rest.find(':');
    std::string_view type = rest.substr(0, colon);
    if (type == "texto") {
        field.type = 0;
    } else if (type == "fecha") {
        field.type = 8;
    } else if (type == "lista") {
        field.type = 9;
    } else if (std::optional<int64_t> number = WholeNumber(type, -32768, 32767)) {
        field.type = static_cast<int16_t>(*number);
    } else {
        return "tipo de campo no v\xC3\xA1lido: " + Quoted(type) +
               " (texto, fecha, lista o un n\xC3\xBAmero de -32768 a 32767)";
    }
    if (colon == std::string_view::npos) return field;

    rest = rest.substr(colon + 1);
    colon = rest.find(':');
    std::string_view flag = rest.substr(0, colon);
    if (!flag.empty()) {
        std::optional<int64_t> number = WholeNumber(flag, INT32_MIN, INT32_MAX);
        if (!number) {
            return "indicador de b\xC3\xBAsqueda no v\xC3\xA1lido: " + Quoted(flag) +
                   " (1 ofrece el campo en las b\xC3\xBAsquedas, 0 no)";
        }
        field.searchFlag = static_cast<int32_t>(*number);
    }
    if (colon == std::string_view::npos) return field;

    field.options = Ansi(rest.substr(colon + 1));
    if (field.options.size() > kMaxOptionList) {
        return "la lista de opciones tiene " + std::to_string(field.options.size()) + " caracteres y caben " +
               std::to_string(kMaxOptionList);
    }
    if (field.options.find('\0') != std::string::npos) {
        return std::string(
            "la lista de opciones tiene un car\xC3\xA1"
            "cter NUL");
    }
    return field;
}

std::string HeaderName(std::string_view ansiName) {
    std::string out;
    for (char c : Cp1252ToUtf8(ansiName)) {
        if (c == ':' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// A real date of the calendar written DD/MM/AAAA, every digit written.
bool IsDateText(std::string_view text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
    int day = 0, month = 0, year = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 2 || i == 5) continue;
        if (text[i] < '0' || text[i] > '9') return false;
        int& part = i < 2 ? day : i < 5 ? month : year;
        part = part * 10 + (text[i] - '0');
    }
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// How many items an option list holds: its "|"-separated pieces.
int64_t OptionCount(std::string_view options) {
    return options.empty() ? 0 : static_cast<int64_t>(std::count(options.begin(), options.end(), '|')) + 1;
}

// Why a cell does not fit its field's type; empty when it does.
std::string TypedCellProblem(const FieldDefinition& field, std::string_view utf8) {
    if (field.type == 8 && !IsDateText(utf8))
        return "la fecha " + Quoted(utf8) + " del campo " + Quoted(Cp1252ToUtf8(field.name)) +
               " no es una fecha real DD/MM/AAAA (por ejemplo 07/03/1985)";
    if (field.type == 9) {
        const int64_t count = OptionCount(field.options);
        std::optional<int64_t> number =
            utf8.empty() || utf8[0] == '0' || utf8[0] == '-' ? std::nullopt : WholeNumber(utf8, 1, count);
        if (!number) {
            return Quoted(utf8) + " no es el n\xC3\xBAmero de una opci\xC3\xB3n del campo " +
                   Quoted(Cp1252ToUtf8(field.name)) +
                   (count == 0 ? std::string(", que no tiene opciones")
                               : " (de 1 a " + std::to_string(count) + ": " + Quoted("1") + " es " +
                                     Quoted(Cp1252ToUtf8(field.options.substr(0, field.options.find('|')))) + ")");
        }
    }
    return {};
}

void WriteCell(std::string& line, std::string_view utf8, char separator) {
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    if (utf8.find_first_of(special) == std::string_view::npos) {
        line.append(utf8);
        return;
    }
    line.push_back('"');
    for (char c : utf8) {
        if (c == '"') line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

}  // namespace

std::string FieldHeaderCell(const FieldDefinition& field) {
    std::string cell = HeaderName(field.name);
    cell += ':';
    switch (field.type) {
        case 0:
            cell += "texto";
            break;
        case 8:
            cell += "fecha";
            break;
        case 9:
            cell += "lista";
            break;
        default:
            cell += std::to_string(field.type);
            break;
    }
    if (field.searchFlag != 1 || !field.options.empty()) cell += ':' + std::to_string(field.searchFlag);
    if (!field.options.empty()) cell += ':' + Cp1252ToUtf8(field.options);
    return cell;
}

std::variant<DatabaseContent, CsvProblem> ParseDatabaseCsv(std::string_view bytes, CsvEncoding encoding,
                                                           CsvEncoding* used) {
    const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (marked && encoding != CsvEncoding::Windows1252) {
        bytes.remove_prefix(kByteOrderMark.size());
        encoding = CsvEncoding::Utf8;
    }
    // Every character goes into the database, so every one must have a byte
    // in the code page; checking the whole file first gives the exact place.
    Utf8Problem problem;
    std::string converted;
    std::string_view utf8 = bytes;
    if (encoding == CsvEncoding::Windows1252 ||
        (encoding == CsvEncoding::Detect && !Utf8ToCp1252(bytes, &problem) && problem.malformed)) {
        // A spreadsheet's own CSV: one byte per character, every byte a character.
        encoding = CsvEncoding::Windows1252;
        converted = Cp1252ToUtf8(bytes);
        utf8 = converted;
    } else {
        encoding = CsvEncoding::Utf8;
    }
    if (used) *used = encoding;
    if (!Utf8ToCp1252(utf8, &problem)) {
        if (problem.malformed) return ProblemAt(utf8, problem.offset, "el fichero no es texto UTF-8 v\xC3\xA1lido");
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(problem.codePoint));
        return ProblemAt(utf8, problem.offset,
                         std::string("el car\xC3\xA1"
                                     "cter ") +
                             code +
                             " no existe en la p\xC3\xA1gina de c\xC3\xB3"
                             "digos Windows-1252 de las bases de datos");
    }

    auto split = SplitCsv(utf8, SeparatorOf(utf8));
    if (auto* problem = std::get_if<SplitProblem>(&split)) return ProblemAt(utf8, problem->offset, problem->reason);
    const std::vector<CsvRow>& rows = std::get<std::vector<CsvRow>>(split);
    if (rows.empty()) return CsvProblem{1, 1, "el fichero est\xC3\xA1 vac\xC3\xADo: falta la fila de cabecera"};

    const CsvRow& header = rows.front();
    if (header[0].text != kRecordColumn) {
        return ProblemAt(utf8, header[0].offset,
                         "la primera columna de la cabecera debe llamarse " + Quoted(kRecordColumn) +
                             " y contener los n\xC3\xBAmeros de registro");
    }
    if (header.size() < 2) return ProblemAt(utf8, header[0].offset, "la cabecera no define ning\xC3\xBAn campo");

    DatabaseContent content;
    for (std::size_t c = 1; c < header.size(); ++c) {
        auto parsed = ParseFieldHeader(header[c].text);
        if (auto* why = std::get_if<std::string>(&parsed)) return ProblemAt(utf8, header[c].offset, *why);
        FieldDefinition& field = std::get<FieldDefinition>(parsed);
        for (std::size_t k = 0; k < content.fields.size(); ++k) {
            if (content.fields[k].name == field.name) {
                return ProblemAt(utf8, header[c].offset,
                                 "el campo " + Quoted(Cp1252ToUtf8(field.name)) + " ya est\xC3\xA1 en la columna " +
                                     std::to_string(k + 2));
            }
        }
        content.fields.push_back(std::move(field));
    }

    int64_t previous = 0;
    content.records.reserve(rows.size() - 1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        if (row.size() != header.size()) {
            std::size_t at = row.size() > header.size() ? row[header.size()].offset : row.front().offset;
            return ProblemAt(utf8, at,
                             "la fila tiene " + std::to_string(row.size()) + " columnas y la cabecera " +
                                 std::to_string(header.size()));
        }
        std::optional<int64_t> number = WholeNumber(row[0].text, 1, INT64_MAX);
        if (!number) {
            return ProblemAt(
                utf8, row[0].offset,
                "el n\xC3\xBAmero de registro " + Quoted(row[0].text) + " no es un n\xC3\xBAmero entero positivo");
        }
        if (*number <= previous) {
            return ProblemAt(utf8, row[0].offset,
                             "los n\xC3\xBAmeros de registro deben crecer de fila en fila: " + std::to_string(*number) +
                                 " no es mayor que " + std::to_string(previous));
        }
        previous = *number;
        DatabaseContent::Record record;
        record.number = *number;
        record.values.reserve(content.fields.size());
        for (std::size_t c = 1; c < row.size(); ++c) {
            if (row[c].text.empty()) {
                record.values.emplace_back();
                continue;
            }
            std::string why = TypedCellProblem(content.fields[c - 1], row[c].text);
            if (!why.empty()) return ProblemAt(utf8, row[c].offset, why);
            record.values.emplace_back(Ansi(row[c].text));
        }
        content.records.push_back(std::move(record));
    }
    return content;
}

std::string ExportDatabaseCsv(const LinkedDatabase& db, std::ostream& out, const RecordRuns* only, CsvStyle style) {
    // A definition file of a bad length is read as every reader reads it.
    if (CheckDatabaseFolder(db) == FolderCheck::NoDefinitionFile)
        return "la carpeta no es una base de datos: le falta el fichero .z04";
    LinkedDatabase linked = db;
    LoadFieldList(linked);
    const FieldList& fields = linked.fields;
    std::optional<ValueIndex> index = ValueIndex::Build(linked.ValueFilePath(), linked.yield);
    if (!index)
        return "el fichero de valores cambi\xC3\xB3 mientras se le\xC3\xAD"
               "a";
    const int64_t last = index->LastRecordNumber();
    RecordRuns all{{1, last}};
    if (last < 1) all.clear();
    const RecordRuns& runs = only ? *only : all;
    int64_t rows = 0;
    for (const auto& [first, end] : runs) {
        if (first <= last) rows += std::min(end, last) - first + 1;
        if (rows > index->CellCount() + kMaxEmptyRows) break;
    }
    if (rows > index->CellCount() + kMaxEmptyRows) {
        return "el \xC3\xBAltimo registro del fichero de valores (" + std::to_string(last) +
               ") dar\xC3\xAD"
               "a demasiadas filas vac\xC3\xAD"
               "as";
    }

    std::string line(style.byteOrderMark ? kByteOrderMark : "");
    line += kRecordColumn;
    for (int i = 1; i <= fields.Count(); ++i) {
        line.push_back(style.separator);
        WriteCell(line, FieldHeaderCell({fields.Name(i), fields.Type(i), fields.SearchFlag(i), fields.Options(i)}),
                  style.separator);
    }
    line += "\r\n";
    out << line;

    ValueIndex::Reader reader(*index);
    int64_t written = 0;
    for (const auto& [first, end] : runs) {
        for (int64_t record = std::max<int64_t>(first, 1); record <= std::min(end, last) && out; ++record) {
            RecordValues values = reader.ValuesOf(record);
            line = std::to_string(record);
            for (int i = 1; i <= fields.Count(); ++i) {
                line.push_back(style.separator);
                if (const std::string* value = values.Find(fields.Name(i)))
                    WriteCell(line, Cp1252ToUtf8(*value), style.separator);
            }
            line += "\r\n";
            out << line;
            if (++written % 4096 == 0) linked.YieldOnce();
        }
    }
    if (!index->Unchanged())
        return "el fichero de valores cambi\xC3\xB3 mientras se le\xC3\xAD"
               "a";
    if (!out) return "no se pudo escribir el fichero CSV";
    return {};
}

}  // namespace velmar
