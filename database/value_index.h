// Where each record's cells lie in a value file, so that the values of one
// record are found without scanning the file from its start.
//
// One pass over the file notes the segments: maximal runs of consecutive
// cells with the same record number. A healthy file has one segment per
// record. To read a record, its segments are read in file order and the
// collecting rule of ReadFieldValue is replayed on them:
//  - a field's collected text is emptied by any cell of another field, so at
//    any moment only the field of the latest cell can hold collected text;
//  - a value is complete at the first cell of its field and record that
//    carries the last-cell flag 1; later cells of that field and record are
//    never looked at.
// Cells of other records between two segments matter only when collected
// text is pending across the gap: then the gap is read until a cell of
// another field empties it. So every outcome equals ReadFieldValue's on the
// same file, damaged files included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "database/file_stamp.h"
#include "database/linked_database.h"
#include "database/record_file.h"

namespace velmar {

// The complete values of one record, by field name, in the order they were
// completed. A field that is missing has no value ("No datos").
class RecordValues {
public:
    const std::string* Find(std::string_view field) const;
    void Add(std::string name, std::string value) { values_.emplace_back(std::move(name), std::move(value)); }
    std::size_t Size() const { return values_.size(); }

private:
    std::vector<std::pair<std::string, std::string>> values_;
};

class ValueIndex {
public:
    // Reads the value file at `path` once, calling `yield` (when set) now and
    // then; `clock` tells when the pass began. Nothing when a read failed or
    // the file changed during the pass.
    static std::optional<ValueIndex> Build(const std::string& path, const YieldHook& yield = {},
                                           const FileClock& clock = SystemFileTime);

    const std::string& Path() const { return path_; }
    // True while the file keeps the stamp it had when read.
    bool Unchanged() const { return StampOf(path_) == stamp_.file; }
    // True while a later display may use the index again: the file is
    // unchanged, and its stamp was safely old when read (file_stamp.h).
    bool IsCurrent() const { return stamp_.Current(path_); }

    int64_t CellCount() const { return cells_; }
    // The record number of the last cell, or 0 without cells.
    int64_t LastRecordNumber() const { return lastRecord_; }
    int64_t SegmentCount() const { return segments_; }
    std::size_t MemoryBytes() const;

    // Reads records through one open file; cheaper than ValuesOf for many records.
    class Reader {
    public:
        explicit Reader(const ValueIndex& index);
        RecordValues ValuesOf(int64_t record);

    private:
        // True when some cell in first..last (1-based) names another field than `field`.
        bool GapChangesField(int64_t first, int64_t last, std::string_view field);

        const ValueIndex& index_;
        RecordFile file_;
    };

    RecordValues ValuesOf(int64_t record) const;

    // The runs of cells (first and last, from 1) that hold `record`, in file order.
    std::vector<std::pair<int64_t, int64_t>> CellRangesOf(int64_t record) const;

private:
    struct Segment {
        int64_t record;
        int64_t first;  // first cell, from 1
        int64_t last;   // last cell
    };

    ValueIndex() = default;
    // The pass over the file that notes its segments; false when the file is
    // not the size stamped or a read failed.
    bool Read(const FileStamp& stamp, const YieldHook& yield);
    // The segments of `record`, in file order.
    std::vector<Segment> SegmentsOf(int64_t record) const;

    std::string path_;
    CacheStamp stamp_;
    int64_t cells_ = 0;
    int64_t segments_ = 0;
    int64_t lastRecord_ = 0;

    // Segments whose records ascend, as a healthy file has them, as runs:
    // each entry of `runs_` is three varints, the change of record number
    // from the segment before (zigzag), the segment length in cells, and how
    // many segments in a row share both. A file with one character per record
    // is then a single entry; a usual one takes about three bytes a record.
    // Every kEntriesPerMark entries a mark keeps where decoding may start.
    struct Mark {
        int64_t firstRecord;     // record of the first segment of the entry
        int64_t previousRecord;  // record of the segment before it (0 at the start)
        int64_t nextCell;        // first cell of the entry's first segment
        std::size_t offset;      // where the entry begins in runs_
    };
    static constexpr int64_t kEntriesPerMark = 32;
    std::vector<unsigned char> runs_;
    std::vector<Mark> marks_;

    // Segments of a damaged file, whose records do not ascend: sorted by
    // record, in file order within a record.
    std::vector<Segment> sorted_;
};

}  // namespace velmar
