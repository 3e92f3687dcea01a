// The yield, the time-sliced yield and the loop, on this thread's real queue.
#include "platform/message_loop.h"

#include <gtest/gtest.h>

#include "platform/dialog_template.h"
#include "tests/ui/ui_test_support.h"

namespace velmar::test {
namespace {

constexpr UINT kCounted = WM_APP + 1;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCounted) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        PumpPending();
        WNDCLASSW cls{};
        cls.lpfnWndProc = CountingProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"VelmarCountingWindow";
        RegisterClassW(&cls);
        window_ = CreateWindowW(L"VelmarCountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count_));
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        PumpPending();
    }
    void Post(int n) {
        for (int i = 0; i < n; ++i) PostMessageW(window_, kCounted, 0, 0);
    }

    HWND window_ = nullptr;
    int count_ = 0;
    platform::DialogRouter dialogs_;
};

TEST_F(MessageLoopTest, YieldProcessesExactlyOnePendingMessage) {
    Post(3);
    EXPECT_TRUE(platform::PumpOneMessage(dialogs_));
    EXPECT_EQ(count_, 1);
    EXPECT_TRUE(platform::PumpOneMessage(dialogs_));
    EXPECT_TRUE(platform::PumpOneMessage(dialogs_));
    EXPECT_EQ(count_, 3);
    EXPECT_FALSE(platform::PumpOneMessage(dialogs_));
}

TEST_F(MessageLoopTest, YieldLeavesQuitForTheLoopThatOwnsTheThread) {
    PostQuitMessage(7);
    EXPECT_FALSE(platform::PumpOneMessage(dialogs_));
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

TEST_F(MessageLoopTest, TimeSlicedYieldPumpsOnlyOnceEachIntervalHasPassed) {
    uint64_t now = 1000;
    platform::TimeSlicedYield yield(dialogs_, 30, [&] { return now; });
    Post(5);
    for (int i = 0; i < 1000; ++i) yield();  // many cells within one slice
    now += 29;
    yield();
    EXPECT_EQ(count_, 0);
    EXPECT_EQ(yield.SliceCount(), 0u);

    now += 1;
    yield();
    EXPECT_EQ(count_, 5) << "everything pending is processed in one slice";
    EXPECT_EQ(yield.SliceCount(), 1u);

    Post(2);
    now += 15;
    yield();
    EXPECT_EQ(count_, 5);
    now += 15;
    yield();
    EXPECT_EQ(count_, 7);
    EXPECT_EQ(yield.SliceCount(), 2u);
}

TEST_F(MessageLoopTest, OneSliceProcessesABoundedNumberOfMessages) {
    uint64_t now = 0;
    platform::TimeSlicedYield yield(dialogs_, 30, [&] { return now; });
    int posted = platform::TimeSlicedYield::kMaxMessagesPerSlice + 50;
    Post(posted);
    now = 30;
    yield();
    EXPECT_EQ(count_, platform::TimeSlicedYield::kMaxMessagesPerSlice);
    now = 60;
    yield();
    EXPECT_EQ(count_, posted);
}

TEST_F(MessageLoopTest, LoopReturnsOnceTheWindowIsDestroyed) {
    HWND top = CreateWindowW(L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    ASSERT_NE(top, nullptr);
    Post(2);
    PostMessageW(top, WM_CLOSE, 0, 0);  // the default handling destroys it
    platform::RunUntilDestroyed(top, dialogs_);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(count_, 2) << "messages before the close were processed";
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST_F(MessageLoopTest, TabMovesTheFocusOnlyInRegisteredDialogs) {
    LoadWindowLibraries();
    platform::DialogTemplate t(L"Tab", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 0, 100, 60);
    t.Add({101, L"EDIT", L"", 5, 5, 80, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0});
    t.Add({102, L"EDIT", L"", 5, 25, 80, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0});
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    SetForegroundWindow(dialog);
    HWND first = GetDlgItem(dialog, 101);
    HWND second = GetDlgItem(dialog, 102);

    auto pressTab = [&] {
        SetFocus(first);
        PumpPending();
        PostMessageW(first, WM_KEYDOWN, VK_TAB, 0);
        while (platform::PumpOneMessage(dialogs_)) {
        }
    };
    pressTab();
    EXPECT_EQ(GetFocus(), first) << "not registered: the edit gets the key";
    dialogs_.Add(dialog);
    pressTab();
    EXPECT_EQ(GetFocus(), second);
    dialogs_.Remove(dialog);
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace velmar::test
