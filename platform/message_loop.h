// The program's one user-interface thread: its message loop, the yield that
// long database scans call, and the set of dialogs whose keyboard input goes
// through the dialog manager (Tab, Alt mnemonics).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace velmar::platform {

class DialogRouter {
public:
    void Add(HWND dialog);
    void Remove(HWND dialog);
    // Offers `message` to the dialog manager of the registered dialog it is
    // meant for; true when the dialog manager took it.
    bool Route(MSG& message) const;
    // The registered dialogs, in the order they were registered.
    const std::vector<HWND>& Windows() const { return dialogs_; }
    // Destroys every registered dialog still open, the last registered first
    // (the program's main window, registered first, goes last).
    void DestroyAll();

private:
    std::vector<HWND> dialogs_;
};

// Processes one message: routed to its dialog, or translated and dispatched.
void ProcessMessage(MSG& message, const DialogRouter& dialogs);

// The yield: removes and processes one pending message, if any. Returns false
// when the queue was empty.
bool PumpOneMessage(const DialogRouter& dialogs);

// Runs until `done` holds, asked before each message is awaited and after it
// is processed (or until WM_QUIT arrives, which is posted again for an outer
// loop). Whatever makes `done` hold from outside the loop wakes it with a
// posted message.
void RunUntil(const std::function<bool()>& done, const DialogRouter& dialogs);

// Runs until `window` no longer exists.
void RunUntilDestroyed(HWND window, const DialogRouter& dialogs);

// A yield that a scan may call once per cell: it reads a clock and only every
// `interval` milliseconds processes what is pending, up to a bounded number of
// messages, so that millions of calls cost little while the windows still
// repaint and react several times a second.
class TimeSlicedYield {
public:
    using Clock = std::function<uint64_t()>;  // milliseconds, monotonic
    static constexpr uint64_t kDefaultIntervalMs = 30;
    static constexpr int kMaxMessagesPerSlice = 200;

    explicit TimeSlicedYield(const DialogRouter& dialogs, uint64_t intervalMs = kDefaultIntervalMs,
                             Clock clock = nullptr);
    void operator()();
    // How many slices have pumped so far (for tests and measurements).
    uint64_t SliceCount() const { return slices_; }

private:
    const DialogRouter* dialogs_;
    uint64_t interval_;
    Clock clock_;
    uint64_t lastPump_;
    uint64_t slices_ = 0;
};

}  // namespace velmar::platform
