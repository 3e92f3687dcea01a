#include "platform/message_loop.h"

#include <algorithm>

namespace velmar::platform {

void DialogRouter::Add(HWND dialog) {
    if (std::find(dialogs_.begin(), dialogs_.end(), dialog) == dialogs_.end()) dialogs_.push_back(dialog);
}

void DialogRouter::Remove(HWND dialog) {
    dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
}

void DialogRouter::DestroyAll() {
    // Destroying a dialog takes it off the list: work on a copy.
    std::vector<HWND> open = dialogs_;
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (IsWindow(*it)) DestroyWindow(*it);
}

bool DialogRouter::Route(MSG& message) const {
    for (HWND dialog : dialogs_) {
        if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) continue;
        return IsDialogMessageW(dialog, &message) != FALSE;
    }
    return false;
}

void ProcessMessage(MSG& message, const DialogRouter& dialogs) {
    if (dialogs.Route(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool PumpOneMessage(const DialogRouter& dialogs) {
    MSG message{};
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        // Not ours to act on inside a scan: leave it for the loop that owns the thread.
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    ProcessMessage(message, dialogs);
    return true;
}

void RunUntilDestroyed(HWND window, const DialogRouter& dialogs) {
    RunUntil([window] { return !IsWindow(window); }, dialogs);
}

void RunUntil(const std::function<bool()>& done, const DialogRouter& dialogs) {
    MSG message{};
    while (!done()) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got < 0) return;
        ProcessMessage(message, dialogs);
    }
}

TimeSlicedYield::TimeSlicedYield(const DialogRouter& dialogs, uint64_t intervalMs, Clock clock)
    : dialogs_(&dialogs), interval_(intervalMs), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return static_cast<uint64_t>(GetTickCount64()); };
    lastPump_ = clock_();
}

void TimeSlicedYield::operator()() {
    uint64_t now = clock_();
    if (now - lastPump_ < interval_) return;
    ++slices_;
    for (int i = 0; i < kMaxMessagesPerSlice; ++i)
        if (!PumpOneMessage(*dialogs_)) break;
    lastPump_ = clock_();
}

}  // namespace velmar::platform
