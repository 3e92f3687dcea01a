// What every benchmark here measures with: the best time of several runs, and
// the process's memory figures.
#pragma once

#include <functional>

namespace velmar::bench {

// The shortest of `repeats` runs of `work`, in seconds.
double Seconds(const std::function<void()>& work, int repeats);

// A memory figure of this process in KiB ("VmRSS:" resident now, "VmHWM:"
// the peak since the last ResetPeak); Linux only, 0 elsewhere.
long StatusKiB(const char* key);
void ResetPeak();

}  // namespace velmar::bench
