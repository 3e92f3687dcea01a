#include "database/value_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

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

namespace {

// Appends varints to a byte list through a small buffer, so that a file
// with a segment per cell costs a few large copies, not one per segment.
class VarintWriter {
public:
    explicit VarintWriter(std::vector<unsigned char>& out) : out_(out) {}
    ~VarintWriter() { Flush(); }
    VarintWriter(const VarintWriter&) = delete;
    VarintWriter& operator=(const VarintWriter&) = delete;

    void Put(uint64_t value) {
        if (used_ > sizeof pending_ - 10) Flush();
        while (value >= 0x80) {
            pending_[used_++] = static_cast<unsigned char>(value | 0x80);
            value >>= 7;
        }
        pending_[used_++] = static_cast<unsigned char>(value);
    }
    // Bytes written so far, the pending ones included.
    std::size_t Size() const { return out_.size() + used_; }
    void Flush() {
        out_.insert(out_.end(), pending_, pending_ + used_);
        used_ = 0;
    }

private:
    std::vector<unsigned char>& out_;
    unsigned char pending_[1 << 14];
    std::size_t used_ = 0;
};

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
uint64_t UnZigZag(uint64_t coded) {
    return (coded >> 1) ^ (0 - (coded & 1));
}

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

namespace {

struct Run {
    uint64_t recordStep;  // change of record number from the segment before (wrapping)
    int64_t length;       // cells of each segment
    int64_t count;        // segments
};

Run ReadRun(const unsigned char*& p) {
    Run run;
    run.recordStep = UnZigZag(GetVarint(p));
    run.length = static_cast<int64_t>(GetVarint(p));
    run.count = static_cast<int64_t>(GetVarint(p));
    return run;
}

}  // namespace

std::optional<ValueIndex> ValueIndex::Build(const std::string& path, const YieldHook& yield, const FileClock& clock) {
    ValueIndex index;
    index.path_ = path;
    const StampedRead read =
        ReadStamped(path, clock, [&](const FileStamp& before) { return index.Read(before, yield); });
    if (!read.whole) return std::nullopt;
    index.stamp_ = read.stamp;
    return index;
}

bool ValueIndex::Read(const FileStamp& stamp, const YieldHook& yield) {
    RecordFile file(path_, layout::kCellSize);
    if (stamp.size != file.ByteLength()) return false;
    const int64_t cells = file.Count();
    cells_ = cells;

    // The run being collected, and the segment being read. Plain locals, so
    // that the per-cell loop keeps them in registers.
    bool ascending = true;
    bool haveRun = false;
    Run run{0, 0, 0};
    int64_t runFirstRecord = 0, runPreviousRecord = 0, runNextCell = 1;
    int64_t segmentRecord = 0, segmentFirst = 1;
    int64_t lastRecord = 0, segments = 0, entries = 0;
    auto writer = std::make_unique<VarintWriter>(runs_);
    auto endRun = [&] {
        if (entries++ % kEntriesPerMark == 0) {
            marks_.push_back({runFirstRecord, runPreviousRecord, runNextCell, writer->Size()});
        }
        writer->Put(ZigZag(run.recordStep));
        writer->Put(static_cast<uint64_t>(run.length));
        writer->Put(static_cast<uint64_t>(run.count));
    };
    // Segment `segmentRecord` ends before cell `next`.
    auto endSegment = [&](int64_t next) {
        const uint64_t step = static_cast<uint64_t>(segmentRecord) - static_cast<uint64_t>(lastRecord);
        const int64_t length = next - segmentFirst;
        if (segments > 0 && segmentRecord <= lastRecord) ascending = false;
        if (haveRun && run.recordStep == step && run.length == length) {
            ++run.count;
        } else {
            if (haveRun) endRun();
            haveRun = true;
            run = Run{step, length, 1};
            runFirstRecord = segmentRecord;
            runPreviousRecord = lastRecord;
            runNextCell = segmentFirst;
        }
        lastRecord = segmentRecord;
        ++segments;
    };

    int64_t sinceYield = 0;
    for (int64_t i = 1; i <= cells;) {
        const unsigned char* bytes = file.Record(i);
        if (!bytes) return false;
        const int64_t buffered = file.BufferedFrom(i);
        for (int64_t k = 0; k < buffered; ++k, bytes += layout::kCellSize) {
            const int64_t record = RecordOf(bytes);
            if (record != segmentRecord || i + k == 1) {
                if (i + k > 1) endSegment(i + k);
                segmentRecord = record;
                segmentFirst = i + k;
            }
        }
        i += buffered;
        sinceYield += buffered;
        if (yield && sinceYield >= kCellsPerYield) {
            yield();
            sinceYield = 0;
        }
    }
    if (cells > 0) endSegment(cells + 1);
    if (haveRun) endRun();
    writer.reset();
    lastRecord_ = lastRecord;
    segments_ = segments;

    if (!ascending) {
        // A damaged file: every segment, sorted by record.
        sorted_.reserve(static_cast<std::size_t>(segments_));
        const unsigned char* p = runs_.data();
        uint64_t record = 0;
        int64_t next = 1;
        for (int64_t e = 0; e < entries; ++e) {
            Run r = ReadRun(p);
            for (int64_t j = 0; j < r.count; ++j) {
                record += r.recordStep;
                sorted_.push_back({static_cast<int64_t>(record), next, next + r.length - 1});
                next += r.length;
            }
        }
        std::stable_sort(sorted_.begin(), sorted_.end(),
                         [](const Segment& a, const Segment& b) { return a.record < b.record; });
        runs_ = {};
        marks_ = {};
    } else {
        runs_.shrink_to_fit();
        marks_.shrink_to_fit();
    }
    return true;
}

std::size_t ValueIndex::MemoryBytes() const {
    return sizeof(*this) + runs_.capacity() + marks_.capacity() * sizeof(Mark) + sorted_.capacity() * sizeof(Segment) +
           path_.capacity();
}

std::vector<ValueIndex::Segment> ValueIndex::SegmentsOf(int64_t record) const {
    if (!sorted_.empty() || marks_.empty()) {
        auto [first, last] = std::equal_range(sorted_.begin(), sorted_.end(), Segment{record, 0, 0},
                                              [](const Segment& a, const Segment& b) { return a.record < b.record; });
        return {first, last};
    }
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), record,
                                 [](int64_t r, const Mark& m) { return r < m.firstRecord; });
    if (mark == marks_.begin()) return {};
    --mark;
    const unsigned char* p = runs_.data() + mark->offset;
    const unsigned char* end = runs_.data() + runs_.size();
    int64_t previous = mark->previousRecord, next = mark->nextCell;
    while (p < end) {
        Run run = ReadRun(p);
        // The records of the run: previous + step, previous + 2 step, ...; all
        // ascend, so the differences below are exact in unsigned arithmetic.
        const int64_t first = static_cast<int64_t>(static_cast<uint64_t>(previous) + run.recordStep);
        const int64_t last =
            static_cast<int64_t>(static_cast<uint64_t>(previous) + run.recordStep * static_cast<uint64_t>(run.count));
        if (record < first) return {};
        if (record <= last) {
            // A step of 0 only starts the file (a first record 0), in a run of one.
            const uint64_t offset = static_cast<uint64_t>(record) - static_cast<uint64_t>(first);
            if (offset != 0 && offset % run.recordStep != 0) return {};
            const int64_t j = offset == 0 ? 0 : static_cast<int64_t>(offset / run.recordStep);
            const int64_t cell = next + j * run.length;
            return {Segment{record, cell, cell + run.length - 1}};
        }
        previous = last;
        next += run.length * run.count;
    }
    return {};
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
    std::string runField;     // field of the latest cell read
    CollectedText collected;  // what ReadFieldValue(runField, record) holds at this point
    int64_t previousLast = 0;
    for (const Segment& segment : index_.SegmentsOf(record)) {
        const int64_t first = segment.first, last = segment.last;
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
