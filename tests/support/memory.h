// The process's resident memory, for tests that check that an operation on a
// damaged or huge file keeps its memory bounded.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace velmar::test {

// Bytes of memory the process holds in RAM now; -1 where it cannot be told.
int64_t ResidentBytes();

// The highest resident memory seen by Sample() since construction, less what
// the process held at construction. Sample() is cheap enough to call from a
// yield hook: it reads the figure only every `every` calls.
class MemoryGrowth {
public:
    explicit MemoryGrowth(int every = 4096);
    void Sample();
    bool Measurable() const { return start_ >= 0; }
    int64_t PeakGrowth() const { return peak_ - start_; }
    int64_t Samples() const { return samples_; }

private:
    int every_;
    int calls_ = 0;
    int64_t start_;
    int64_t peak_;
    int64_t samples_ = 0;
};

// Samples the resident memory on a thread of its own, every millisecond, from
// construction to Stop() (or destruction): catches a peak inside code that
// calls no hook.
class MemoryWatch {
public:
    MemoryWatch();
    ~MemoryWatch();
    MemoryWatch(const MemoryWatch&) = delete;
    MemoryWatch& operator=(const MemoryWatch&) = delete;
    void Stop();
    bool Measurable() const { return start_ >= 0; }
    int64_t PeakGrowth() const { return peak_ - start_; }
    int64_t Samples() const { return samples_; }

private:
    int64_t start_;
    std::atomic<int64_t> peak_;
    std::atomic<int64_t> samples_{0};
    std::atomic<bool> running_{true};
    std::thread sampler_;
};

}  // namespace velmar::test
