// Random databases for the display and CSV tests: healthy ones as content to
// write with the database writer, and damaged value files as raw cells.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "database/database_writer.h"

namespace velmar::test {

// A database of 1 to 6 fields (names that begin with one another, every kind
// of type) and up to `maxRecords` records; values hold any byte but NUL,
// among them the RTF and placeholder characters \ { } #, and some are missing.
DatabaseContent RandomContent(std::mt19937& rng, int maxRecords = 12);

// The names a damaged value file is made of, the empty name included.
const std::vector<std::string>& DamagedNames();

// A value file that breaks every invariant now and then: cells of one value
// split by other records or fields, records out of order, flags other than 0
// and 1, values without a last cell, names filling their slot, bytes after a
// name's NUL, and a trailing partial cell.
std::string RandomDamagedValueFile(std::mt19937& rng, int64_t maxRecord = 8);

// A display template for `fields`: RTF-like text with # and ## placeholders
// of the fields, of names they begin, and of unknown fields.
std::string RandomTemplate(std::mt19937& rng, const std::vector<FieldDefinition>& fields);

}  // namespace velmar::test
