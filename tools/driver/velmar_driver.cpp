// Drives a running program from outside, the way another program or a user
// would: finds its window by title and posts it messages. Keys sent from the
// X side may never reach a Wine window when no window manager runs, so the
// end-to-end tests use this instead; every step reports whether it took effect.
//
//   velmar-driver wait TITLE MS          the window exists and is visible
//   velmar-driver close TITLE            posts WM_SYSCOMMAND / SC_CLOSE (close box, Alt+F4)
//   velmar-driver command TITLE ID       posts WM_COMMAND with a menu id
//   velmar-driver stays TITLE MS         the window still exists after MS milliseconds
//   velmar-driver gone TITLE MS          the window disappears within MS milliseconds
//   velmar-driver text TITLE ID          prints a control's text (0: the window's own)
//   velmar-driver move TITLE X Y         moves the window's top-left corner to X, Y on the screen
//   velmar-driver plain TITLE            shows an ordinary window until it is closed
//   and the editor's steps (tools/driver/editor_steps.h): type, expect, select,
//   click, checked, unchecked, disabled, filedialog, answer, nobox
//   and the database windows' steps (tools/driver/database_steps.h): items,
//   pick, choose; a TITLE "#ID" names the window that has a control ID
//   and the steps from outside (tools/driver/outside_steps.h): inject, probe
//
// Exit status 0 when the step did what it says, 1 when not, 2 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/unicode.h"
#include "tools/driver/database_steps.h"
#include "tools/driver/editor_steps.h"
#include "tools/driver/outside_steps.h"

namespace {

using velmar::driver::PollFor;

HWND Find(const wchar_t* title) {
    return velmar::driver::FindProgramWindow(title);
}

void PrintUtf8(const std::wstring& text) {
    std::printf("%s\n", velmar::platform::Utf8FromWide(text).c_str());
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

// An ordinary window: the default handling of SC_CLOSE closes it. It is the
// negative control that shows a posted close request does close a window.
int ShowPlainWindow(const wchar_t* title) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = PlainProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = L"VelmarDriverPlainWindow";
    RegisterClassW(&cls);
    HWND window = CreateWindowW(cls.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 120, nullptr,
                                nullptr, cls.hInstance, nullptr);
    if (!window) return 1;
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: velmar-driver wait|close|command|stays|gone|text|move|plain TITLE [ARG]\n%s%s%s",
                 velmar::driver::EditorStepsUsage(), velmar::driver::DatabaseStepsUsage(),
                 velmar::driver::OutsideStepsUsage());
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    std::wstring verb = argv[1];
    const wchar_t* title = argv[2];
    unsigned long number = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 0;

    if (verb == L"plain") return ShowPlainWindow(title);
    int editorStep = velmar::driver::RunEditorStep(verb, argc - 2, argv + 2);
    if (editorStep == 2) return Usage();
    if (editorStep >= 0) return editorStep;
    int databaseStep = velmar::driver::RunDatabaseStep(verb, argc - 2, argv + 2);
    if (databaseStep == 2) return Usage();
    if (databaseStep >= 0) return databaseStep;
    int outsideStep = velmar::driver::RunOutsideStep(verb, argc - 2, argv + 2);
    if (outsideStep == 2) return Usage();
    if (outsideStep >= 0) return outsideStep;
    if (verb == L"wait") return PollFor(number, [&] { return Find(title) && IsWindowVisible(Find(title)); }) ? 0 : 1;
    if (verb == L"gone") return PollFor(number, [&] { return Find(title) == nullptr; }) ? 0 : 1;
    if (verb == L"stays") {
        HWND window = Find(title);
        if (!window) return 1;
        Sleep(number);
        return IsWindow(window) && IsWindowVisible(window) ? 0 : 1;
    }

    HWND window = Find(title);
    if (!window) {
        std::fprintf(stderr, "velmar-driver: no window titled as given\n");
        return 1;
    }
    if (verb == L"close") return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    if (verb == L"command")
        return PostMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(number), 0), 0) ? 0 : 1;
    if (verb == L"move" && argc > 4) {
        return SetWindowPos(window, nullptr, static_cast<int>(number), std::wcstol(argv[4], nullptr, 10), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (verb == L"text") {
        HWND control = number == 0 ? window : GetDlgItem(window, static_cast<int>(number));
        if (!control) return 1;
        PrintUtf8(velmar::driver::TextOf(control));
        return 0;
    }
    return Usage();
}
