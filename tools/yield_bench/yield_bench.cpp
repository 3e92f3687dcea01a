// How much a database scan pays for keeping the windows responsive: the cost
// of one call of each yield, per cell, measured in one run and printed as
// ratios to a call of an empty hook (what a scan costs with no windows).
//
//   velmar-yield-bench [CALLS]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/message_loop.h"

namespace {

double NanosecondsPerCall(const std::function<void()>& hook, long calls) {
    auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) hook();
    std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / static_cast<double>(calls);
}

}  // namespace

int main(int argc, char** argv) {
    long calls = argc > 1 ? std::atol(argv[1]) : 10000000;
    velmar::platform::DialogRouter dialogs;
    velmar::platform::TimeSlicedYield sliced(dialogs);

    volatile long sink = 0;
    double empty = NanosecondsPerCall([&] { sink = sink + 1; }, calls);
    double timeSliced = NanosecondsPerCall([&] { sliced(); }, calls);
    long pumpCalls = calls / 100 > 1000 ? calls / 100 : 1000;  // the one-message yield is slow: fewer calls
    double oneMessage = NanosecondsPerCall([&] { velmar::platform::PumpOneMessage(dialogs); }, pumpCalls);

    std::printf("calls per yield kind: %ld (one-message yield: %ld)\n", calls, pumpCalls);
    std::printf("empty hook          %10.1f ns/call  1.00\n", empty);
    std::printf("time-sliced yield   %10.1f ns/call  %.2f x empty hook\n", timeSliced, timeSliced / empty);
    std::printf("one-message yield   %10.1f ns/call  %.2f x empty hook, %.1f x time-sliced\n", oneMessage,
                oneMessage / empty, oneMessage / timeSliced);
    std::printf("slices pumped by the time-sliced yield: %llu\n", static_cast<unsigned long long>(sliced.SliceCount()));
    return 0;
}
