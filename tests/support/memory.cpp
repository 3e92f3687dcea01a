#include "tests/support/memory.h"

#include <algorithm>
#include <chrono>

#if defined(_WIN32)
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>
#else
#include <unistd.h>

#include <cstdio>
#endif

namespace velmar::test {

int64_t ResidentBytes() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS counters{};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<int64_t>(counters.WorkingSetSize);
#else
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return -1;
    long long total = 0, resident = -1;
    int read = std::fscanf(statm, "%lld %lld", &total, &resident);
    std::fclose(statm);
    if (read != 2 || resident < 0) return -1;
    return static_cast<int64_t>(resident) * static_cast<int64_t>(sysconf(_SC_PAGESIZE));
#endif
}

MemoryGrowth::MemoryGrowth(int every) : every_(std::max(every, 1)), start_(ResidentBytes()), peak_(start_) {}

void MemoryGrowth::Sample() {
    if (start_ < 0 || ++calls_ < every_) return;
    calls_ = 0;
    ++samples_;
    peak_ = std::max(peak_, ResidentBytes());
}

MemoryWatch::MemoryWatch() : start_(ResidentBytes()), peak_(start_) {
    if (start_ < 0) return;
    std::atomic<bool> started{false};
    sampler_ = std::thread([this, &started] {
        // The baseline is taken here, so that the thread's own memory is in it.
        start_ = ResidentBytes();
        peak_.store(start_);
        started.store(true);
        while (running_.load()) {
            int64_t now = ResidentBytes();
            if (now > peak_.load()) peak_.store(now);
            ++samples_;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (!started.load()) std::this_thread::yield();
}

MemoryWatch::~MemoryWatch() { Stop(); }

void MemoryWatch::Stop() {
    running_.store(false);
    if (sampler_.joinable()) sampler_.join();
}

}  // namespace velmar::test
