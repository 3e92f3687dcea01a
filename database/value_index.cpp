#include "database/value_index.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "database/file_layout.h"

namespace velmar {

using layout::CellView;

namespace {

// Cells read between two calls of the yield hook while the index is built.
constexpr int64_t kCellsPerYield = 65536;
// Buffer of a reader: a record's cells usually lie within a few hundred bytes.
constexpr std::size_t kReaderBuffer = std::size_t{64} << 10;

}  // namespace

const std::string* RecordValues::Find(std::string_view field) const {
    for (const auto& [name, value] : values_) {
        if (name == field) return &value;
    }
    return nullptr;
}

namespace {

void PutVarint(std::vector<unsigned char>& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<unsigned char>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<unsigned char>(value));
}

uint64_t GetVarint(const unsigned char*& p) {
    uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        unsigned char byte = *p++;
        value |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return value;
    }
}

// Small changes of either sign in few bytes; the arithmetic wraps, so any
// two 64-bit record numbers give back the exact second one.
uint64_t ZigZag(uint64_t difference) {
    return (difference << 1) ^ (0 - (difference >> 63));
}
uint64_t UnZigZag(uint64_t coded) { return (coded >> 1) ^ (0 - (coded & 1)); }

int64_t RecordOf(const unsigned char* cell) {
    if constexpr (std::endian::native == std::endian::little) {
        int64_t value;
        std::memcpy(&value, cell + layout::kCellRecordOffset, sizeof value);
        return value;
    } else {
        return layout::LoadI64(cell + layout::kCellRecordOffset);
    }
}

}  // namespace

std::optional<ValueIndex> ValueIndex::Build(const std::string& path, const YieldHook& yield) {
    ValueIndex index;
    index.path_ = path;
    RecordFile file(path, layout::kCellSize);
    index.stamp_ = StampOf(path);
    if (index.stamp_.size != file.ByteLength()) return std::nullopt;
    index.cells_ = file.Count();
    index.stream_.reserve(static_cast<std::size_t>(std::min<int64_t>(index.cells_ / 8 + 64, int64_t{1} << 24)));

    bool ascending = true;
    int64_t previousRecord = 0, previousFirst = 0;
    auto startSegment = [&](int64_t first, int64_t record) {
        if (index.segments_ % kBlock == 0) {
            index.blockRecord_.push_back(record);
            index.blockOffset_.push_back(index.stream_.size());
            previousRecord = 0;
            previousFirst = 0;
        }
        PutVarint(index.stream_, ZigZag(static_cast<uint64_t>(record) - static_cast<uint64_t>(previousRecord)));
        PutVarint(index.stream_, static_cast<uint64_t>(first - previousFirst));
        if (index.segments_ > 0 && record <= index.lastRecord_) ascending = false;
        previousRecord = record;
        previousFirst = first;
        index.lastRecord_ = record;
        ++index.segments_;
    };

    int64_t sinceYield = 0;
    for (int64_t i = 1; i <= index.cells_;) {
        const unsigned char* bytes = file.Record(i);
        if (!bytes) return std::nullopt;
        const int64_t buffered = file.BufferedFrom(i);
        int64_t current = index.segments_ > 0 ? index.lastRecord_ : 0;
        for (int64_t k = 0; k < buffered; ++k, bytes += layout::kCellSize) {
            int64_t record = RecordOf(bytes);
            if (record != current || (i == 1 && k == 0)) {
                startSegment(i + k, record);
                current = record;
            }
        }
        i += buffered;
        sinceYield += buffered;
        if (yield && sinceYield >= kCellsPerYield) {
            yield();
            sinceYield = 0;
        }
    }
    if (StampOf(path) != index.stamp_) return std::nullopt;

    if (!ascending) {
        // A damaged file: keep every segment, sorted by record.
        index.sorted_.reserve(static_cast<std::size_t>(index.segments_));
        const unsigned char* p = index.stream_.data();
        int64_t record = 0, first = 0;
        for (int64_t s = 0; s < index.segments_; ++s) {
            if (s % kBlock == 0) record = first = 0;
            record = static_cast<int64_t>(static_cast<uint64_t>(record) + UnZigZag(GetVarint(p)));
            first += static_cast<int64_t>(GetVarint(p));
            if (s > 0) index.sorted_.back().last = first - 1;
            index.sorted_.push_back({record, first, index.cells_});
        }
        std::stable_sort(index.sorted_.begin(), index.sorted_.end(),
                         [](const Segment& a, const Segment& b) { return a.record < b.record; });
        index.stream_ = {};
        index.blockRecord_ = {};
        index.blockOffset_ = {};
    } else {
        index.stream_.shrink_to_fit();
    }
    return index;
}

std::size_t ValueIndex::MemoryBytes() const {
    return sizeof(*this) + stream_.capacity() + blockRecord_.capacity() * sizeof(int64_t) +
           blockOffset_.capacity() * sizeof(std::size_t) + sorted_.capacity() * sizeof(Segment) + path_.capacity();
}

std::vector<ValueIndex::Segment> ValueIndex::SegmentsOf(int64_t record) const {
    if (!sorted_.empty()) {
        auto [first, last] = std::equal_range(sorted_.begin(), sorted_.end(), Segment{record, 0, 0},
                                              [](const Segment& a, const Segment& b) { return a.record < b.record; });
        return {first, last};
    }
    auto block = std::upper_bound(blockRecord_.begin(), blockRecord_.end(), record);
    if (block == blockRecord_.begin()) return {};
    const int64_t b = static_cast<int64_t>(block - blockRecord_.begin()) - 1;
    const unsigned char* p = stream_.data() + blockOffset_[static_cast<std::size_t>(b)];
    int64_t current = 0, first = 0;
    std::optional<Segment> found;
    for (int64_t s = b * kBlock; s < segments_; ++s) {
        if (s % kBlock == 0) current = first = 0;
        current = static_cast<int64_t>(static_cast<uint64_t>(current) + UnZigZag(GetVarint(p)));
        first += static_cast<int64_t>(GetVarint(p));
        if (found) {
            found->last = first - 1;
            break;
        }
        if (current > record) return {};
        if (current == record) found = Segment{record, first, cells_};
    }
    if (!found) return {};
    return {*found};
}

std::vector<std::pair<int64_t, int64_t>> ValueIndex::CellRangesOf(int64_t record) const {
    std::vector<std::pair<int64_t, int64_t>> ranges;
    for (const Segment& segment : SegmentsOf(record)) ranges.emplace_back(segment.first, segment.last);
    return ranges;
}

ValueIndex::Reader::Reader(const ValueIndex& index)
    : index_(index), file_(index.path_, layout::kCellSize, kReaderBuffer) {}

bool ValueIndex::Reader::GapChangesField(int64_t first, int64_t last, std::string_view field) {
    for (int64_t i = first; i <= last; ++i) {
        const unsigned char* bytes = file_.Record(i);
        if (bytes && !CellView{bytes}.NameIs(field)) return true;
    }
    return false;
}

RecordValues ValueIndex::Reader::ValuesOf(int64_t record) {
    RecordValues values;
    std::string runField;   // field of the latest cell read
    std::string collected;  // what ReadFieldValue(runField, record) holds at this point
    int64_t previousLast = 0;
    for (const Segment& segment : index_.SegmentsOf(record)) {
        const int64_t first = segment.first, last = segment.last;
        if (!collected.empty() && first > previousLast + 1 && GapChangesField(previousLast + 1, first - 1, runField)) {
            collected.clear();
        }
        for (int64_t i = first; i <= last; ++i) {
            const unsigned char* bytes = file_.Record(i);
            if (!bytes) continue;  // an unreadable cell is skipped, as the full scan does
            CellView cell{bytes};
            std::string_view name = cell.Name();
            if (name != runField) {
                collected.clear();
                runField.assign(name);
            }
            if (values.Find(name)) continue;  // that field's scan has already ended
            collected.push_back(static_cast<char>(cell.Character()));
            if (cell.IsLast()) {
                values.Add(runField, std::move(collected));
                collected.clear();
            }
        }
        previousLast = last;
    }
    return values;
}

RecordValues ValueIndex::ValuesOf(int64_t record) const {
    Reader reader(*this);
    return reader.ValuesOf(record);
}

}  // namespace velmar
