// Buffered, bounds-checked access to a file of fixed-size records: the one way
// the database code reads its files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace velmar {

enum class PathKind { Missing, File, Folder };

// What the file system holds at `path` (a folder counts as existing).
PathKind KindOfPath(const std::string& path);

// Opens a database file read-only the way every database operation does: a
// missing file is created empty first, and a file that cannot be opened (a
// folder, no permission, locked) reads as a file without records.
class RecordFile {
public:
    // The buffer is sized to stay in the processor's cache while a pass
    // works through it: a larger one made a whole pass slower, not faster.
    static constexpr std::size_t kDefaultBufferBytes = std::size_t{128} << 10;

    RecordFile(const std::string& path, std::size_t recordSize, std::size_t bufferBytes = kDefaultBufferBytes);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    uint64_t ByteLength() const { return length_; }
    // Whole records in the file; a trailing partial record does not count.
    int64_t Count() const { return count_; }
    std::size_t RecordSize() const { return recordSize_; }

    // Record n (1-based). Valid until the next call; nullptr when n is outside
    // 1..Count() or the read failed.
    const unsigned char* Record(int64_t n) {
        if (n >= bufferFirst_ && n < bufferFirst_ + bufferCount_)
            return buffer_.data() + static_cast<std::size_t>(n - bufferFirst_) * recordSize_;
        return Load(n);
    }

    // How many records, from n on, lie one after another in the buffer (at
    // the pointer Record(n) returns); 0 when record n is not buffered. Lets a
    // pass over the whole file work through each buffer in a tight loop.
    int64_t BufferedFrom(int64_t n) const {
        return n >= bufferFirst_ && n < bufferFirst_ + bufferCount_ ? bufferFirst_ + bufferCount_ - n : 0;
    }

private:
    const unsigned char* Load(int64_t n);

    std::FILE* file_ = nullptr;
    std::size_t recordSize_;
    uint64_t length_ = 0;
    int64_t count_ = 0;
    std::vector<unsigned char> buffer_;
    int64_t bufferFirst_ = 0;
    int64_t bufferCount_ = 0;
    int64_t filePosition_ = -1;  // where the next read starts; -1 when unknown
};

}  // namespace velmar
