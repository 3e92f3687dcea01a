// Small helpers shared by the fuzz targets: a scratch database folder that
// lives as long as the fuzzing process, file writing, and a check that stops
// the run (as a crash, which libFuzzer records with its input) on a mismatch.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "database/linked_database.h"

namespace velmar::fuzz {

// A folder named "F" under a fresh scratch folder (in memory where the
// system offers one), removed when the process ends.
const std::string& ScratchDatabaseFolder();

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

[[noreturn]] void Fail(const std::string& what);

inline void Check(bool holds, const std::string& what) {
    if (!holds) Fail(what);
}

// "..." with non-printable bytes written as \xNN, for failure messages.
std::string Printable(const std::string& text);

}  // namespace velmar::fuzz
