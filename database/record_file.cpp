#include "database/record_file.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>

namespace velmar {
namespace {

// The C runtime's 64-bit seek and stat; plain fopen/stat take the path in the
// program's 8-bit code page on every platform.
#if defined(_WIN32)
int Seek64(std::FILE* f, int64_t offset) { return _fseeki64(f, offset, SEEK_SET); }
int64_t Tell64(std::FILE* f) { return _ftelli64(f); }
int SeekEnd(std::FILE* f) { return _fseeki64(f, 0, SEEK_END); }
using StatBuf = struct _stat64;
int Stat64(const char* p, StatBuf* s) { return _stat64(p, s); }
#else
int Seek64(std::FILE* f, int64_t offset) { return fseeko(f, static_cast<off_t>(offset), SEEK_SET); }
int64_t Tell64(std::FILE* f) { return static_cast<int64_t>(ftello(f)); }
int SeekEnd(std::FILE* f) { return fseeko(f, 0, SEEK_END); }
using StatBuf = struct stat;
int Stat64(const char* p, StatBuf* s) { return stat(p, s); }
#endif

}  // namespace

PathKind KindOfPath(const std::string& path) {
    StatBuf s{};
    if (path.empty() || path.find('\0') != std::string::npos || Stat64(path.c_str(), &s) != 0) return PathKind::Missing;
    return (s.st_mode & S_IFMT) == S_IFDIR ? PathKind::Folder : PathKind::File;
}

RecordFile::RecordFile(const std::string& path, std::size_t recordSize, std::size_t bufferBytes)
    : recordSize_(recordSize) {
    PathKind kind = KindOfPath(path);
    if (kind == PathKind::Folder) return;
    if (kind == PathKind::Missing) {
        if (path.empty() || path.find('\0') != std::string::npos) return;
        // Opening a missing database file creates it empty, as the original
        // read-only open-always did; a failure here just means no records.
        if (std::FILE* created = std::fopen(path.c_str(), "ab")) std::fclose(created);
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return;
    // Reads go straight into the buffer below, not through a second one.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (SeekEnd(file_) == 0) {
        int64_t end = Tell64(file_);
        if (end > 0) length_ = static_cast<uint64_t>(end);
    }
    count_ = static_cast<int64_t>(length_ / recordSize_);
    std::size_t perBuffer = std::max<std::size_t>(1, bufferBytes / recordSize_);
    buffer_.resize(std::min<std::size_t>(perBuffer, static_cast<std::size_t>(std::max<int64_t>(count_, 1))) *
                   recordSize_);
}

RecordFile::~RecordFile() {
    if (file_) std::fclose(file_);
}

const unsigned char* RecordFile::Load(int64_t n) {
    if (!file_ || n < 1 || n > count_) return nullptr;
    bufferCount_ = 0;
    int64_t capacity = static_cast<int64_t>(buffer_.size() / recordSize_);
    int64_t wanted = std::min(capacity, count_ - n + 1);
    const int64_t offset = (n - 1) * static_cast<int64_t>(recordSize_);
    // A pass front to back reads on from where the last read ended.
    if (offset != filePosition_) {
        filePosition_ = -1;
        if (Seek64(file_, offset) != 0) return nullptr;
    }
    std::size_t got = std::fread(buffer_.data(), recordSize_, static_cast<std::size_t>(wanted), file_);
    if (got != static_cast<std::size_t>(wanted)) {
        // A short read leaves the position unknown (a partial record may
        // have been consumed); the next read seeks.
        std::clearerr(file_);
        filePosition_ = -1;
    } else {
        filePosition_ = offset + static_cast<int64_t>(got * recordSize_);
    }
    if (got == 0) return nullptr;
    bufferFirst_ = n;
    bufferCount_ = static_cast<int64_t>(got);
    return buffer_.data();
}

}  // namespace velmar
