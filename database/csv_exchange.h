// Databases as CSV files (UTF-8, RFC 4180): one row per record, the record
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
// An empty cell is a field without a value for that record.
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

// Reads a whole CSV file (UTF-8, an optional byte-order mark) into database
// content in the Windows-1252 code page, or tells what is wrong with it.
std::variant<DatabaseContent, CsvProblem> ParseDatabaseCsv(std::string_view utf8);

// Writes the linked database as CSV, one row per record number from 1 to the
// record count, or only the rows of the records in `only` (those up to the
// record count). Empty on success; otherwise why nothing sensible was written.
std::string ExportDatabaseCsv(const LinkedDatabase& db, std::ostream& out, const RecordRuns* only = nullptr);

}  // namespace velmar
