// The byte layout of both database files, pinned by hand-typed bytes. Every
// other test builds its files with the project's own writer, which shares its
// offsets with the readers: a wrong offset would write and read back alike and
// pass. Here the bytes are written out member by member from the layout of a
// value cell (54 bytes: 4 not read, the character, a 35-byte name slot, the
// record number as signed 64-bit little-endian, 2 not read, the 32-bit
// last-cell flag) and of a field definition (12042 bytes: 32-bit search flag,
// a 31-byte name slot, 16-bit field type, 4 not read, a 12001-byte option
// list slot). The readers must decode them, and the writer must produce them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/file_layout.h"
#include "database/linked_database.h"
#include "database/value_index.h"
#include "search/read_search_value.h"
#include "tests/support/fixture.h"

namespace velmar {
namespace {

using test::DatabaseFixture;

// Hexadecimal bytes; blanks separate nothing but the reader's eye, and "XX*N "
// (the count ends at a blank) is the byte XX written N times.
std::vector<unsigned char> Hex(const std::string& text) {
    std::vector<unsigned char> bytes;
    std::size_t i = 0;
    auto nibble = [&](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        throw std::invalid_argument("not a hex digit in fixture: " + std::string(1, c));
    };
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const auto byte = static_cast<unsigned char>(nibble(text.at(i)) * 16 + nibble(text.at(i + 1)));
        i += 2;
        std::size_t count = 1;
        if (i < text.size() && text[i] == '*') {
            std::size_t end = text.find(' ', i);
            if (end == std::string::npos) end = text.size();
            count = std::stoul(text.substr(i + 1, end - i - 1));
            i = end;
        }
        bytes.insert(bytes.end(), count, byte);
    }
    return bytes;
}

const std::string kFullCellName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678";  // 35 characters: no NUL
constexpr int64_t kHighRecord = 72623859790382856;                        // 08 07 06 05 04 03 02 01
constexpr int64_t kNegativeRecord = -283686952306184;                     // f8 f9 fa fb fc fd fe ff

// Value cells:      not read | char | name slot (35)                          | record            | n.r. | flag
const std::string kValueFile =
    "00000000 41 4e6f6d627265 00*29                                             0100000000000000 0000 00000000"
    "00000000 42 4e6f6d627265 00*29                                             0100000000000000 0000 01000000"
    "00000000 78 4142434445464748494a4b4c4d4e4f505152535455565758595a303132333435363738 0807060504030201 0000 01000000"
    "00000000 43 4e6f6d627265 00*29                                             f8f9fafbfcfdfeff 0000 01010000"
    "00000000 44 4e6f6d627265 00*29                                             f8f9fafbfcfdfeff 0000 01000000";

const std::string kFullDefinitionName = "Observaciones del cliente 1234x";  // 31 characters: no NUL

// Field definitions: search flag | name slot (31)              | type | not read | option list slot (12001)
const std::string kDefinitionFile =
    "01000000 4e6f6d627265 00*25                                0100 00000000 00*12001 "
    "00000001 50726f76696e636961 00*22                          0900 00000000 4c75676f7c4f7572656e7365 00*11989 "
    "00000000 4f62736572766163696f6e65732064656c20636c69656e7465203132333478 f7ff 00000000 78*12001";

// The same files with every byte that readers must ignore overwritten, and a
// partial cell and definition at the ends.
std::vector<unsigned char> Poisoned(std::vector<unsigned char> bytes, std::size_t recordSize,
                                    std::vector<std::size_t> ignored) {
    for (std::size_t start = 0; start + recordSize <= bytes.size(); start += recordSize)
        for (std::size_t offset : ignored) bytes[start + offset] = 0xee;
    bytes.insert(bytes.end(), recordSize - 1, 0x01);
    return bytes;
}

TEST(FileLayout, TheTypedBytesHaveTheSizesOfWholeRecords) {
    EXPECT_EQ(Hex(kValueFile).size(), 5u * 54);
    EXPECT_EQ(Hex(kDefinitionFile).size(), 3u * 12042);
}

TEST(FileLayout, TheWriterProducesTheTypedBytes) {
    EXPECT_EQ(test::EncodeCells({{"Nombre", 1, 'A', 0},
                                 {"Nombre", 1, 'B', 1},
                                 {kFullCellName, kHighRecord, 'x', 1},
                                 {"Nombre", kNegativeRecord, 'C', 257},
                                 {"Nombre", kNegativeRecord, 'D', 1}}),
              Hex(kValueFile));
    EXPECT_EQ(test::EncodeDefinitions({{"Nombre", 1, 1, ""},
                                       {"Provincia", 9, 16777216, "Lugo|Ourense"},
                                       {kFullDefinitionName, -9, 0, std::string(12001, 'x')}}),
              Hex(kDefinitionFile));
}

TEST(FileLayout, TheReadersDecodeTheTypedBytes) {
    DatabaseFixture fx;
    fx.WriteValueBytes(Poisoned(Hex(kValueFile), 54, {0, 1, 2, 3, 48, 49}));
    fx.WriteDefinitionBytes(Poisoned(Hex(kDefinitionFile), 12042, {37, 38, 39, 40}));
    LinkedDatabase db = fx.Database();

    EXPECT_EQ(LastRecordNumber(db), kNegativeRecord);
    const std::optional<ValueIndex> index = ValueIndex::Build(fx.ValuePath());
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(index->CellCount(), 5);
    EXPECT_EQ(index->LastRecordNumber(), kNegativeRecord);

    struct Case {
        std::string field;
        int64_t record;
        std::string value;
    };
    const Case cases[] = {
        {"Nombre", 1, "AB"},
        {kFullCellName, kHighRecord, "x"},
        {"Nombre", kNegativeRecord, "CD"},  // a flag of 257 does not end a value
        {kFullCellName.substr(0, 34), kHighRecord, "No datos"},
        {"Nombre", kHighRecord, "No datos"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field + " " + std::to_string(c.record));
        EXPECT_EQ(ReadFieldValue(db, c.field, c.record), c.value);
        const RecordValues values = index->ValuesOf(c.record);
        const std::string* shown = values.Find(c.field);
        EXPECT_EQ(shown ? *shown : "No datos", c.value);
        SearchState state;
        const std::string found = ReadSearchValue(db, state, c.field, c.record, "x", "$");
        if (c.record > 0) {
            EXPECT_EQ(found.empty() ? "No datos" : found, c.value);
        }
    }

    ASSERT_EQ(LoadFieldList(db), 3);
    EXPECT_EQ(db.fields.Name(1), "Nombre");
    EXPECT_EQ(db.fields.Type(1), 1);
    EXPECT_EQ(db.fields.SearchFlag(1), 1);
    EXPECT_EQ(db.fields.Options(1), "");
    EXPECT_EQ(db.fields.Name(2), "Provincia");
    EXPECT_EQ(db.fields.Type(2), 9);
    EXPECT_EQ(db.fields.SearchFlag(2), 16777216);
    EXPECT_EQ(db.fields.Options(2), "Lugo|Ourense");
    EXPECT_EQ(db.fields.Name(3), kFullDefinitionName);
    EXPECT_EQ(db.fields.Type(3), -9);
    EXPECT_EQ(db.fields.SearchFlag(3), 0);
    EXPECT_EQ(db.fields.Options(3), std::string(12001, 'x'));
    EXPECT_EQ(FieldTypeOf(db, "Provincia"), 9);
    EXPECT_EQ(FieldTypeOf(db, kFullDefinitionName), -9);
}

// The scan's eight-bytes-at-a-time name test must say what the plain slot
// comparison says, for names ending on and around every word boundary, names
// that fill or overflow the slot, and slots with bytes after their NUL and a
// record number right after the slot.
TEST(FileLayout, TheCellNameKeyAgreesWithTheSlotComparison) {
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklm";
    std::vector<std::string> slotTexts;
    for (std::size_t length : {0, 1, 6, 7, 8, 9, 15, 16, 17, 23, 24, 25, 31, 32, 33, 34, 35}) {
        const std::string text = letters.substr(0, length);
        slotTexts.push_back(text);
        for (std::size_t at = 0; at < length; ++at) {  // one byte different at each place
            std::string changed = text;
            changed[at] = '#';
            slotTexts.push_back(changed);
        }
    }
    int compared = 0;
    for (const std::string& slotText : slotTexts) {
        unsigned char cell[layout::kCellSize];
        std::memset(cell, 0xA5, sizeof cell);  // bytes after the NUL and after the slot are not the name
        std::memcpy(cell + layout::kCellNameOffset, slotText.data(), slotText.size());
        if (slotText.size() < layout::kCellNameSlot) cell[layout::kCellNameOffset + slotText.size()] = 0;
        for (std::size_t length = 0; length <= 36; ++length) {
            for (std::string name : {letters.substr(0, length), letters.substr(0, length) + std::string(1, '\0')}) {
                const bool expected = layout::SlotEquals(cell + layout::kCellNameOffset, layout::kCellNameSlot, name);
                ASSERT_EQ(layout::CellNameKey(name).Matches(cell), expected)
                    << "slot '" << slotText << "', name of " << name.size() << " bytes";
                compared += expected;
            }
        }
    }
    EXPECT_EQ(compared, 17) << "each unchanged slot text matches its own name once";
}

}  // namespace
}  // namespace velmar
