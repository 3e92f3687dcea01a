// Byte layout of the two files of a database folder. Shared by every reader
// and by the writers that tests, benchmarks and the CSV import use.
//
// Value file (.zbd): a plain sequence of 54-byte value cells, one character of
// one field value each.
//   offset  width  meaning
//   0       4      not read
//   4       1      the character held by this cell
//   5       35     field name, NUL-terminated unless it fills the slot
//   40      8      record number, signed 64-bit little-endian
//   48      2      not read
//   50      4      last-cell flag, 32-bit little-endian; 1 on a value's last cell
//
// Field definition file (.z04): a plain sequence of 12042-byte definitions.
//   offset  width  meaning
//   0       4      search flag, 32-bit little-endian; 1 = offered for searching
//   4       31     field name, NUL-terminated unless it fills the slot
//   35      2      field type, signed 16-bit little-endian
//   37      4      not read
//   41      12001  option list, NUL-terminated unless it fills the slot
//
// Both files have no header and no trailer; a partial record at the end is
// never read.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace velmar::layout {

inline constexpr std::size_t kCellSize = 54;
inline constexpr std::size_t kCellCharOffset = 4;
inline constexpr std::size_t kCellNameOffset = 5;
inline constexpr std::size_t kCellNameSlot = 35;
inline constexpr std::size_t kCellRecordOffset = 40;
inline constexpr std::size_t kCellLastFlagOffset = 50;

inline constexpr std::size_t kDefinitionSize = 12042;
inline constexpr std::size_t kDefSearchFlagOffset = 0;
inline constexpr std::size_t kDefNameOffset = 4;
inline constexpr std::size_t kDefNameSlot = 31;
inline constexpr std::size_t kDefTypeOffset = 35;
inline constexpr std::size_t kDefOptionsOffset = 41;
inline constexpr std::size_t kDefOptionsSlot = 12001;

// Little-endian loads, one machine load each on a little-endian processor (a
// scan reads the record number of every cell it passes).
inline uint64_t LoadLittle(const unsigned char* p, std::size_t width) {
    uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, width);
    } else {
        for (std::size_t i = width; i-- > 0;) v = (v << 8) | p[i];
    }
    return v;
}
inline int64_t LoadI64(const unsigned char* p) { return static_cast<int64_t>(LoadLittle(p, 8)); }
inline int32_t LoadI32(const unsigned char* p) { return static_cast<int32_t>(static_cast<uint32_t>(LoadLittle(p, 4))); }
inline int16_t LoadI16(const unsigned char* p) { return static_cast<int16_t>(static_cast<uint16_t>(LoadLittle(p, 2))); }
inline void StoreI64(unsigned char* p, int64_t value) {
    auto v = static_cast<uint64_t>(value);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void StoreI32(unsigned char* p, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void StoreI16(unsigned char* p, int16_t value) {
    auto v = static_cast<uint16_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// The text of a NUL-terminated slot: up to the first NUL, or the whole slot.
inline std::string_view SlotText(const unsigned char* slot, std::size_t width) {
    const void* nul = std::memchr(slot, 0, width);
    std::size_t n = nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - slot) : width;
    return {reinterpret_cast<const char*>(slot), n};
}

// True when the slot's text is exactly `name` (byte for byte, same length).
// A name that holds a NUL equals no slot text, which ends at its first NUL.
inline bool SlotEquals(const unsigned char* slot, std::size_t width, std::string_view name) {
    if (name.size() > width) return false;
    // Most cells a scan meets belong to another field: the first byte tells.
    if (!name.empty() && slot[0] != static_cast<unsigned char>(name[0])) return false;
    if (std::memcmp(slot, name.data(), name.size()) != 0) return false;
    if (std::memchr(slot, 0, name.size()) != nullptr) return false;
    return name.size() == width || slot[name.size()] == 0;
}

// A view of one value cell.
struct CellView {
    const unsigned char* bytes;
    unsigned char Character() const { return bytes[kCellCharOffset]; }
    std::string_view Name() const { return SlotText(bytes + kCellNameOffset, kCellNameSlot); }
    bool NameIs(std::string_view name) const { return SlotEquals(bytes + kCellNameOffset, kCellNameSlot, name); }
    int64_t Record() const { return LoadI64(bytes + kCellRecordOffset); }
    bool IsLast() const { return LoadI32(bytes + kCellLastFlagOffset) == 1; }
};

// A field name made ready to be compared with the name slot of many cells:
// the name and the NUL that ends it (unless it fills the slot), compared eight
// bytes at a time. Matches(cell) is CellView{cell}.NameIs(name).
class CellNameKey {
public:
    explicit CellNameKey(std::string_view name) {
        // A name longer than the slot, or holding a NUL, equals no slot text.
        if (name.size() > kCellNameSlot || name.find('\0') != std::string_view::npos) return;
        unsigned char text[kWords * 8] = {};
        unsigned char mask[kWords * 8] = {};
        std::memcpy(text, name.data(), name.size());
        const std::size_t compared = name.size() < kCellNameSlot ? name.size() + 1 : kCellNameSlot;
        std::memset(mask, 0xFF, compared);
        words_ = static_cast<int>((compared + 7) / 8);
        std::memcpy(text_, text, sizeof text_);
        std::memcpy(mask_, mask, sizeof mask_);
    }
    bool Matches(const unsigned char* cell) const {
        // The first word settles nearly every cell of another field. A key
        // that can match nothing has words_ == 0 (and an all-zero first
        // mask, which every slot passes), so that is checked last.
        if ((Word(cell, 0) ^ text_[0]) & mask_[0]) return false;
        for (int i = 1; i < words_; ++i)
            if ((Word(cell, i) ^ text_[i]) & mask_[i]) return false;
        return words_ != 0;
    }

private:
    static constexpr std::size_t kWords = (kCellNameSlot + 7) / 8;
    // Word i of the name slot. The last one reads past the slot (cell bytes
    // 37..44), still inside the cell; the mask ignores those bytes.
    static uint64_t Word(const unsigned char* cell, int i) {
        uint64_t word;
        std::memcpy(&word, cell + kCellNameOffset + 8 * static_cast<std::size_t>(i), 8);
        return word;
    }
    static_assert(kCellNameOffset + kWords * 8 <= kCellSize, "the last word stays inside the cell");
    uint64_t text_[kWords] = {};
    uint64_t mask_[kWords] = {};
    int words_ = 0;  // 0: the name can match no cell
};

// A view of one field definition.
struct DefinitionView {
    const unsigned char* bytes;
    int32_t SearchFlag() const { return LoadI32(bytes + kDefSearchFlagOffset); }
    std::string_view Name() const { return SlotText(bytes + kDefNameOffset, kDefNameSlot); }
    bool NameIs(std::string_view name) const { return SlotEquals(bytes + kDefNameOffset, kDefNameSlot, name); }
    int16_t Type() const { return LoadI16(bytes + kDefTypeOffset); }
    std::string_view Options() const { return SlotText(bytes + kDefOptionsOffset, kDefOptionsSlot); }
};

}  // namespace velmar::layout
