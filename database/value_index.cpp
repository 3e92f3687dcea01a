#include "database/value_index.h"

#include <algorithm>
#include <numeric>

#include "database/collected_text.h"
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

std::optional<ValueIndex> ValueIndex::Build(const std::string& path, const YieldHook& yield) {
    ValueIndex index;
    index.path_ = path;
    RecordFile file(path, layout::kCellSize);
    index.stamp_ = StampOf(path);
    if (index.stamp_.size != file.ByteLength()) return std::nullopt;
    index.cells_ = file.Count();

    int64_t current = 0;
    for (int64_t i = 1; i <= index.cells_; ++i) {
        const unsigned char* bytes = file.Record(i);
        if (!bytes) return std::nullopt;
        int64_t record = layout::LoadI64(bytes + layout::kCellRecordOffset);
        if (record != current || i == 1) {
            index.segmentRecord_.push_back(record);
            index.segmentFirst_.push_back(i);
            current = record;
        }
        if (yield && i % kCellsPerYield == 0) yield();
    }
    if (StampOf(path) != index.stamp_) return std::nullopt;

    const std::vector<int64_t>& records = index.segmentRecord_;
    if (std::adjacent_find(records.begin(), records.end(), std::greater_equal<>()) != records.end()) {
        index.byRecord_.resize(records.size());
        std::iota(index.byRecord_.begin(), index.byRecord_.end(), std::size_t{0});
        std::stable_sort(index.byRecord_.begin(), index.byRecord_.end(),
                         [&](std::size_t a, std::size_t b) { return records[a] < records[b]; });
    }
    index.segmentRecord_.shrink_to_fit();
    index.segmentFirst_.shrink_to_fit();
    return index;
}

std::size_t ValueIndex::MemoryBytes() const {
    return sizeof(*this) + segmentRecord_.capacity() * sizeof(int64_t) + segmentFirst_.capacity() * sizeof(int64_t) +
           byRecord_.capacity() * sizeof(std::size_t) + path_.capacity();
}

std::vector<std::size_t> ValueIndex::SegmentsOf(int64_t record) const {
    std::vector<std::size_t> found;
    if (byRecord_.empty()) {
        auto at = std::lower_bound(segmentRecord_.begin(), segmentRecord_.end(), record);
        if (at != segmentRecord_.end() && *at == record) found.push_back(static_cast<std::size_t>(at - segmentRecord_.begin()));
        return found;
    }
    auto first = std::partition_point(byRecord_.begin(), byRecord_.end(),
                                      [&](std::size_t s) { return segmentRecord_[s] < record; });
    auto last = std::partition_point(first, byRecord_.end(), [&](std::size_t s) { return segmentRecord_[s] == record; });
    found.assign(first, last);
    return found;
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
    std::string runField;     // field of the latest cell read
    CollectedText collected;  // what ReadFieldValue(runField, record) holds at this point
    int64_t previousLast = 0;
    for (std::size_t segment : index_.SegmentsOf(record)) {
        const int64_t first = index_.segmentFirst_[segment];
        const int64_t last =
            segment + 1 < index_.segmentFirst_.size() ? index_.segmentFirst_[segment + 1] - 1 : index_.cells_;
        if (!collected.Empty() && first > previousLast + 1 && GapChangesField(previousLast + 1, first - 1, runField)) {
            collected.Clear();
        }
        for (int64_t i = first; i <= last; ++i) {
            const unsigned char* bytes = file_.Record(i);
            if (!bytes) continue;  // an unreadable cell is skipped, as the full scan does
            CellView cell{bytes};
            std::string_view name = cell.Name();
            if (name != runField) {
                collected.Clear();
                runField.assign(name);
            }
            if (values.Find(name)) continue;  // that field's scan has already ended
            collected.Append(i, static_cast<char>(cell.Character()));
            if (cell.IsLast()) {
                values.Add(runField, collected.Take(file_, runField, record, i, {}));
                collected.Clear();
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
