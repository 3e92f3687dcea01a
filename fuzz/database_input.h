// The input of the database fuzz target: a compact description of a database
// folder (its definitions and value cells), the search criteria and a list of
// single lookups, turned into the two files' bytes. Damage is part of the
// description: names that fill their slots, odd record numbers and last-cell
// flags, partial records at a file's end, or file bytes taken as they come.
//
// Format (every read past the end yields zeros, so every input decodes):
//   u8 mode        bits 0-1 criteria count (1 + value % 3); bit 2 order the
//                  criteria by fields first; bit 3 the value file is the raw
//                  remaining bytes; bit 4 the definition file is raw bytes
//                  (u16 length + bytes); bit 5 run a second search after the first
//   u8 scanRecord  the scan record left by an earlier search
//   3 x (name, value, code)                   text = u8 length + bytes
//   definitions    u8 count (% 9), each: u8 search flag, text name, u8 type
//                  selector, text options, u8 fill (bit 0: name fills the slot,
//                  bit 1: options fill the slot); then u16 tail bytes (% 12042)
//   cells          u16 count (% 4097), each: u8 name selector (below 0xF0: a
//                  pool name, else a text), u8 character, u8 record selector,
//                  u8 flag selector; then u8 tail bytes (% 54)
//   lookups        the rest, 4 bytes each: field selector, record selector,
//                  value selector, code selector
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/linked_database.h"
#include "search/criteria.h"

namespace velmar::fuzz {

struct DefinitionSpec {
    int32_t searchFlag = 1;
    std::string name;
    int16_t type = 0;
    std::string options;
    bool nameFillsSlot = false;
    bool optionsFillSlot = false;
};

struct CellSpec {
    std::string name;
    unsigned char character = 0;
    int64_t record = 0;
    int32_t lastFlag = 0;
};

struct LookupSpec {
    std::string field;
    int64_t record = 0;
    std::string value;
    std::string code;
};

struct DatabaseInput {
    int criteriaCount = 1;
    bool orderCriteria = false;
    bool secondSearch = false;
    int64_t scanRecord = 0;
    SearchCriteria criteria;

    bool rawDefinitions = false;
    std::vector<DefinitionSpec> definitions;  // when not raw
    std::size_t definitionTail = 0;           // partial definition bytes at the end
    bool rawValues = false;
    std::vector<CellSpec> cells;  // when not raw
    std::size_t cellTail = 0;     // partial cell bytes at the end
    std::vector<LookupSpec> lookups;

    std::vector<unsigned char> definitionBytes;  // the .z04 to write
    std::vector<unsigned char> valueBytes;       // the .zbd to write
    std::vector<std::string> namePool;           // names the checks look up
};

DatabaseInput DecodeDatabaseInput(const uint8_t* data, std::size_t size);

// The inverse for seeds: an input whose decoding gives these definitions,
// cells, criteria and lookups (record numbers must be among those the
// record selector can name: -4..195 or one of the special values).
std::vector<uint8_t> EncodeDatabaseInput(const DatabaseInput& input);

// Record numbers the record selector names besides -4..195.
const std::vector<int64_t>& SpecialRecordNumbers();
// The record number that a record selector byte names, and back (nullopt for
// a number no selector names).
int64_t RecordNumberOf(uint8_t selector);
std::optional<uint8_t> RecordSelectorOf(int64_t record);

}  // namespace velmar::fuzz
