// The benchmarks' database: `records` records of six text fields (Nombre,
// Apellido, Ciudad, Edad, Codigo, Notas) from a fixed seed, about 2.4 KB of
// value cells per record (50000 records: about 118 MB).
#pragma once

#include "tests/support/fixture.h"

namespace velmar::bench {

inline constexpr int kDefaultRecords = 50000;

void GenerateDatabase(const test::DatabaseFixture& fx, int records);

}  // namespace velmar::bench
