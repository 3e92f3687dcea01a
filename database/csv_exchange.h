// Databases as CSV files (RFC 4180): one row per record, the record
// number first, then one column per field in definition order. The header
// row names the columns: "Registro", then one cell per field in the compact
// form
//
//     NAME[:TYPE[:FLAG[:OPTIONS]]]
//
// NAME is the field name, with ":" written "\:" and "\" written "\\". TYPE is
// "texto" (0), "fecha" (8), "lista" (9) or the type's number (-32768..32767);
// without it the field is a text field. FLAG is the search flag (1 offers the
// field in searches; any 32-bit number is kept), 1 when left out. OPTIONS is
// everything after the third ":", taken as it stands (it may hold ":"), the
// option list of a list field. Examples: "Nombre", "Alta:fecha",
// "Provincia:lista:1:Madrid|Sevilla", "Codigo:0:0".
//
// An empty cell is a field without a value for that record. A cell of a date
// field (type 8) must be a real date DD/MM/AAAA, and a cell of a list field
// (type 9) the number of one of its options, 1 to the number of options.
//
// Cells are separated by "," or, as a spreadsheet set up for Spanish writes
// them, by ";": the character after the header's first cell decides. The text
// is UTF-8 (with or without a byte-order mark) or Windows-1252.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "database/database_writer.h"
#include "database/linked_database.h"

namespace velmar {

// Where and why a CSV file was refused: line and column from 1 (the column
// counts characters), and a reason in Spanish for the user.
struct CsvProblem {
    int64_t line = 0;
    int64_t column = 0;
    std::string reason;
};

// The header cell of a field, in UTF-8.
std::string FieldHeaderCell(const FieldDefinition& field);

// The text encoding of a CSV file. Detect takes UTF-8 when the file begins
// with a byte-order mark or is valid UTF-8, and Windows-1252 otherwise.
enum class CsvEncoding { Detect, Utf8, Windows1252 };

// Reads a whole CSV file into database content in the Windows-1252 code page,
// or tells what is wrong with it. `used` (when given) receives the encoding
// the file was read in.
std::variant<DatabaseContent, CsvProblem> ParseDatabaseCsv(std::string_view bytes,
                                                           CsvEncoding encoding = CsvEncoding::Detect,
                                                           CsvEncoding* used = nullptr);

// How an export writes its cells: the separator, and whether the file begins
// with the UTF-8 byte-order mark.
struct CsvStyle {
    char separator = ',';
    bool byteOrderMark = false;
};
// What a spreadsheet set up for Spanish opens by double-click: ";" between
// cells (the comma is its decimal separator) and the byte-order mark that
// tells it the text is UTF-8.
inline constexpr CsvStyle kSpreadsheetStyle{';', true};

// Writes the linked database as CSV, one row per record number from 1 to the
// record count, or only the rows of the records in `only` (those up to the
// record count). Empty on success; otherwise why nothing sensible was written.
std::string ExportDatabaseCsv(const LinkedDatabase& db, std::ostream& out, const RecordRuns* only = nullptr,
                              CsvStyle style = {});

}  // namespace velmar
