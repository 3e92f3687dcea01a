// How the record display's caches know that what they read of a file is
// still what the file holds.
//
// A stamp is the file's size, its last write time and its change time, at
// the file system's full resolution. The change time moves on every write and
// on every change of the file's times, and no program can set it back, so a
// file rewritten and given its old modification time again (a restored
// backup, a copy that keeps times) still gets a new stamp.
//
// What a stamp cannot tell apart are two writes within one tick of the file
// system's clock. So a read is trusted only when the file's times were safely
// older than the moment it was read; until then every use reads the file
// again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace velmar {

struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    int64_t modified = 0;  // last write, nanoseconds since 1 January 1970 UTC
    int64_t changed = 0;   // last change of content or times, same clock
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// The time now, on the clock that stamps files: nanoseconds since 1 January
// 1970 UTC. Caches take it from a FileClock so that tests can set it.
using FileClock = std::function<int64_t()>;
int64_t SystemFileTime();

// How much older than the moment of a read a file's times must be for the
// read to be trusted: the coarsest timestamp granularity of the file systems
// the databases live on (two seconds on FAT).
inline constexpr int64_t kStampSafetyNs = int64_t{2'000'000'000};

// What a cache keeps of one read of a file.
struct CacheStamp {
    FileStamp file;        // taken before the read
    bool trusted = false;  // false: the next use reads the file again

    // True when what the read gave may be used again now.
    bool Current(const std::string& path) const { return trusted && StampOf(path) == file; }
};

struct StampedRead {
    CacheStamp stamp;
    // The read got the whole file as stamped, and the file did not change
    // while it was read.
    bool whole = false;
};

// The one way a cache reads a file: the time and the file's stamp are taken
// before `read` runs and the stamp again after it. `read` is given the stamp
// taken before and answers whether it read the whole file of that size. The
// result is trusted only when the read was whole and the file's times were
// at least kStampSafetyNs older than the moment the read began.
StampedRead ReadStamped(const std::string& path, const FileClock& clock,
                        const std::function<bool(const FileStamp& before)>& read);

}  // namespace velmar
