#include "fuzz/database_input.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "database/file_layout.h"

namespace velmar::fuzz {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

const int32_t kFlags[] = {0, 1, 257, 0x01000000, -1, 65537, 2, 0x100};
const int16_t kTypes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -1, -32768, 32767, 100, 9};
const int32_t kSearchFlags[] = {1, 0, 2, -1};
const char* const kCodes[] = {"=", ">", "<", ">=", "<=", "<>", "-*", "*-", "$", "", "x", "=="};
const char* const kValues[] = {"", "1", "A", "Ana", "5", "12", "0", "-3", "x", "9.5", "&H1F", "1E3", " 7", "Lugo"};
const char* const kFixedNames[] = {"Nombre", "", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"};  // the last fills a cell slot

class Reader {
public:
    Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
    std::string Text() { return Bytes(U8()); }
    std::string Bytes(std::size_t n) {
        n = std::min(n, size_ - pos_);
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::size_t Left() const { return size_ - pos_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class Writer {
public:
    void U8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v) {
        U8(v & 0xFF);
        U8(v >> 8 & 0xFF);
    }
    void Text(const std::string& s) {
        if (s.size() > 255) throw std::invalid_argument("text longer than 255 bytes");
        U8(static_cast<unsigned>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    std::vector<uint8_t> bytes;
};

int64_t RecordOf(uint8_t selector) { return RecordNumberOf(selector); }

unsigned RecordSelector(int64_t record) {
    std::optional<uint8_t> selector = RecordSelectorOf(record);
    if (!selector) throw std::invalid_argument("record number the input cannot name");
    return *selector;
}

template <typename T, std::size_t N>
unsigned IndexIn(const T (&table)[N], const T& value) {
    for (std::size_t i = 0; i < N; ++i)
        if (table[i] == value) return static_cast<unsigned>(i);
    throw std::invalid_argument("value the input cannot name");
}

unsigned IndexOfText(const char* const* table, std::size_t n, const std::string& value) {
    for (std::size_t i = 0; i < n; ++i)
        if (value == table[i]) return static_cast<unsigned>(i);
    throw std::invalid_argument("text the input cannot name: " + value);
}

std::string SlotFilled(std::string text, std::size_t width, char filler) {
    if (text.size() < width) text.append(width - text.size(), filler);
    return text;
}

void BuildPool(DatabaseInput& in) {
    in.namePool.clear();
    auto add = [&](const std::string& name) {
        if (std::find(in.namePool.begin(), in.namePool.end(), name) == in.namePool.end()) in.namePool.push_back(name);
    };
    for (const DefinitionSpec& d : in.definitions) {
        std::string name = d.nameFillsSlot ? SlotFilled(d.name, layout::kDefNameSlot, 'D') : d.name;
        add(name.substr(0, std::min({name.find('\0'), name.size(), layout::kDefNameSlot})));
    }
    for (const std::string& name : in.criteria.names) add(name);
    for (const char* name : kFixedNames) add(name);
}

std::vector<unsigned char> DefinitionFile(const DatabaseInput& in) {
    std::vector<unsigned char> bytes(in.definitions.size() * layout::kDefinitionSize + in.definitionTail, 0);
    for (std::size_t i = 0; i < in.definitions.size(); ++i) {
        const DefinitionSpec& d = in.definitions[i];
        unsigned char* p = bytes.data() + i * layout::kDefinitionSize;
        layout::StoreI32(p + layout::kDefSearchFlagOffset, d.searchFlag);
        std::string name = d.nameFillsSlot ? SlotFilled(d.name, layout::kDefNameSlot, 'D') : d.name;
        std::copy_n(name.begin(), std::min(name.size(), layout::kDefNameSlot), p + layout::kDefNameOffset);
        layout::StoreI16(p + layout::kDefTypeOffset, d.type);
        std::string options = d.optionsFillSlot ? SlotFilled(d.options, layout::kDefOptionsSlot, '|') : d.options;
        std::copy_n(options.begin(), std::min(options.size(), layout::kDefOptionsSlot), p + layout::kDefOptionsOffset);
    }
    // A partial definition at the end, with bytes that are not zeros.
    std::fill(bytes.end() - static_cast<std::ptrdiff_t>(in.definitionTail), bytes.end(), 'T');
    return bytes;
}

std::vector<unsigned char> ValueFile(const DatabaseInput& in) {
    std::vector<unsigned char> bytes(in.cells.size() * layout::kCellSize + in.cellTail, 0);
    for (std::size_t i = 0; i < in.cells.size(); ++i) {
        const CellSpec& c = in.cells[i];
        unsigned char* p = bytes.data() + i * layout::kCellSize;
        p[layout::kCellCharOffset] = c.character;
        std::copy_n(c.name.begin(), std::min(c.name.size(), layout::kCellNameSlot), p + layout::kCellNameOffset);
        layout::StoreI64(p + layout::kCellRecordOffset, c.record);
        layout::StoreI32(p + layout::kCellLastFlagOffset, c.lastFlag);
    }
    std::fill(bytes.end() - static_cast<std::ptrdiff_t>(in.cellTail), bytes.end(), 0xFF);
    return bytes;
}

}  // namespace

const std::vector<int64_t>& SpecialRecordNumbers() {
    static const std::vector<int64_t> specials = {
        kMax,          kMin,          kMax - 1,         kMin + 1,      1000000000000000,  1000000000000001,
        -1000000000000000, 2147483647, 2147483648,      4294967296,    4294967297,        9007199254740992,
        9007199254740993, 1000,       5000,             100000,        1000000,           -1000,
        -2147483648,   199,           200,              201,           250,               301,
        kMax / 100,    kMax / 100 + 1, 92233720368547759, 1000000007,   256,               65536,
    };
    return specials;
}

int64_t RecordNumberOf(uint8_t selector) {
    if (selector < 200) return int64_t{selector} - 4;
    const std::vector<int64_t>& specials = SpecialRecordNumbers();
    return specials[(selector - 200u) % specials.size()];
}

std::optional<uint8_t> RecordSelectorOf(int64_t record) {
    if (record >= -4 && record <= 195) return static_cast<uint8_t>(record + 4);
    const std::vector<int64_t>& specials = SpecialRecordNumbers();
    auto it = std::find(specials.begin(), specials.end(), record);
    if (it == specials.end()) return std::nullopt;
    return static_cast<uint8_t>(200 + (it - specials.begin()));
}

DatabaseInput DecodeDatabaseInput(const uint8_t* data, std::size_t size) {
    Reader r(data, size);
    DatabaseInput in;
    uint8_t mode = r.U8();
    in.criteriaCount = 1 + mode % 4 % 3;
    in.orderCriteria = mode & 0x04;
    in.rawValues = mode & 0x08;
    in.rawDefinitions = mode & 0x10;
    in.secondSearch = mode & 0x20;
    in.scanRecord = RecordOf(r.U8());
    for (int k = 0; k < 3; ++k) {
        in.criteria.names[k] = r.Text();
        in.criteria.values[k] = r.Text();
        in.criteria.codes[k] = r.Text();
    }

    if (in.rawDefinitions) {
        in.definitionBytes.assign(0, 0);
        std::string raw = r.Bytes(r.U16());
        in.definitionBytes.assign(raw.begin(), raw.end());
    } else {
        int count = r.U8() % 9;
        for (int i = 0; i < count; ++i) {
            DefinitionSpec d;
            d.searchFlag = kSearchFlags[r.U8() % 4];
            d.name = r.Text();
            d.type = kTypes[r.U8() % 16];
            d.options = r.Text();
            uint8_t fill = r.U8();
            d.nameFillsSlot = fill & 1;
            d.optionsFillSlot = fill & 2;
            in.definitions.push_back(std::move(d));
        }
        in.definitionTail = r.U16() % layout::kDefinitionSize;
        in.definitionBytes = DefinitionFile(in);
    }
    BuildPool(in);

    if (in.rawValues) {
        std::string raw = r.Bytes(r.Left());
        in.valueBytes.assign(raw.begin(), raw.end());
        return in;
    }
    int cells = r.U16() % 4097;
    for (int i = 0; i < cells && r.Left() > 0; ++i) {
        CellSpec c;
        uint8_t nameSelector = r.U8();
        c.name = nameSelector < 0xF0 ? in.namePool[nameSelector % in.namePool.size()] : r.Text();
        c.character = r.U8();
        c.record = RecordOf(r.U8());
        c.lastFlag = kFlags[r.U8() % 8];
        in.cells.push_back(std::move(c));
    }
    in.cellTail = r.U8() % layout::kCellSize;
    in.valueBytes = ValueFile(in);

    std::vector<std::string> values(std::begin(kValues), std::end(kValues));
    for (const std::string& v : in.criteria.values) values.push_back(v);
    while (r.Left() >= 4) {
        LookupSpec l;
        l.field = in.namePool[r.U8() % in.namePool.size()];
        l.record = RecordOf(r.U8());
        l.value = values[r.U8() % values.size()];
        l.code = kCodes[r.U8() % std::size(kCodes)];
        in.lookups.push_back(std::move(l));
    }
    return in;
}

std::vector<uint8_t> EncodeDatabaseInput(const DatabaseInput& input) {
    if (input.rawDefinitions || input.rawValues) throw std::invalid_argument("raw files are not encoded");
    Writer w;
    unsigned mode = static_cast<unsigned>(input.criteriaCount - 1);
    if (input.orderCriteria) mode |= 0x04;
    if (input.secondSearch) mode |= 0x20;
    w.U8(mode);
    w.U8(RecordSelector(input.scanRecord));
    for (int k = 0; k < 3; ++k) {
        w.Text(input.criteria.names[k]);
        w.Text(input.criteria.values[k]);
        w.Text(input.criteria.codes[k]);
    }
    w.U8(static_cast<unsigned>(input.definitions.size()));
    for (const DefinitionSpec& d : input.definitions) {
        w.U8(IndexIn(kSearchFlags, d.searchFlag));
        w.Text(d.name);
        w.U8(IndexIn(kTypes, d.type));
        w.Text(d.options);
        w.U8((d.nameFillsSlot ? 1u : 0u) | (d.optionsFillSlot ? 2u : 0u));
    }
    w.U16(static_cast<unsigned>(input.definitionTail));

    DatabaseInput pooled = input;
    BuildPool(pooled);
    w.U16(static_cast<unsigned>(input.cells.size()));
    for (const CellSpec& c : input.cells) {
        auto it = std::find(pooled.namePool.begin(), pooled.namePool.end(), c.name);
        if (it != pooled.namePool.end()) {
            w.U8(static_cast<unsigned>(it - pooled.namePool.begin()));
        } else {
            w.U8(0xF0);
            w.Text(c.name);
        }
        w.U8(c.character);
        w.U8(RecordSelector(c.record));
        w.U8(IndexIn(kFlags, c.lastFlag));
    }
    w.U8(static_cast<unsigned>(input.cellTail));

    std::vector<std::string> values(std::begin(kValues), std::end(kValues));
    for (const std::string& v : input.criteria.values) values.push_back(v);
    for (const LookupSpec& l : input.lookups) {
        auto field = std::find(pooled.namePool.begin(), pooled.namePool.end(), l.field);
        if (field == pooled.namePool.end()) throw std::invalid_argument("lookup of a name outside the pool");
        w.U8(static_cast<unsigned>(field - pooled.namePool.begin()));
        w.U8(RecordSelector(l.record));
        auto value = std::find(values.begin(), values.end(), l.value);
        if (value == values.end()) throw std::invalid_argument("lookup value outside the pool");
        w.U8(static_cast<unsigned>(value - values.begin()));
        w.U8(IndexOfText(kCodes, std::size(kCodes), l.code));
    }
    return w.bytes;
}

}  // namespace velmar::fuzz
