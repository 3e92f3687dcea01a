#include "tools/driver/editor_steps.h"
#include "platform/unicode.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "tools/driver/database_steps.h"
#include "tools/driver/program_windows.h"

namespace velmar::driver {

namespace {


std::string Utf8(const std::wstring& text) { return velmar::platform::Utf8FromWide(text); }

HWND Control(HWND program, const wchar_t* id) {
    return GetDlgItem(program, static_cast<int>(std::wcstol(id, nullptr, 10)));
}

}  // namespace

const char* EditorStepsUsage() {
    return "  type TITLE ID TEXT              posts WM_CHAR for each character of TEXT to the control\n"
           "  expect TITLE ID TEXT MS         the control's text becomes TEXT within MS milliseconds\n"
           "  select TITLE ID START END       EM_SETSEL to the control\n"
           "  click TITLE ID                  BM_CLICK to the button, as a mouse click\n"
           "  checked TITLE ID                the button is checked (status 0) or not (1)\n"
           "  unchecked TITLE ID              the button exists and is not checked (status 0)\n"
           "  disabled TITLE ID               the control exists and is disabled (status 0)\n"
           "  filedialog TITLE PATH MS        in the program's open or save dialog: file name PATH, then OK\n"
           "  folder TITLE PATH MS            in the program's folder browser: selects the folder PATH\n"
           "  answer TITLE BOX BUTTON MS      prints the text of the program's message box titled BOX,\n"
           "                                  then presses the button with id BUTTON (1 OK, 6 Yes, 7 No)\n"
           "  nobox TITLE BOX MS              no message box titled BOX appears within MS milliseconds\n";
}

int RunEditorStep(const std::wstring& verb, int argc, wchar_t** argv) {
    static const wchar_t* const kVerbs[] = {L"type",   L"expect", L"select",     L"click",     L"checked",
                                            L"answer", L"nobox",  L"filedialog", L"unchecked", L"disabled", L"folder"};
    bool ours = false;
    for (const wchar_t* v : kVerbs) ours = ours || verb == v;
    if (!ours) return -1;
    if (argc < 1) return 2;
    HWND program = FindProgramWindow(argv[0]);
    if (!program) {
        std::fprintf(stderr, "velmar-driver: no window titled as given\n");
        return 1;
    }
    auto number = [&](int i) { return i < argc ? std::wcstoul(argv[i], nullptr, 10) : 0ul; };

    if (verb == L"type" && argc >= 3) {
        HWND control = Control(program, argv[1]);
        if (!control) return 1;
        for (const wchar_t* c = argv[2]; *c; ++c)
            if (!PostMessageW(control, WM_CHAR, static_cast<WPARAM>(*c), 1)) return 1;
        return 0;
    }
    if (verb == L"expect" && argc >= 4) {
        HWND control = Control(program, argv[1]);
        if (!control) return 1;
        std::wstring wanted = argv[2];
        if (PollFor(number(3), [&] { return TextOf(control) == wanted; })) return 0;
        std::fprintf(stderr, "velmar-driver: the text is \"%s\"\n", Utf8(TextOf(control)).c_str());
        return 1;
    }
    if (verb == L"select" && argc >= 4) {
        HWND control = Control(program, argv[1]);
        if (!control) return 1;
        SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(std::wcstol(argv[2], nullptr, 10)),
                     static_cast<LPARAM>(std::wcstol(argv[3], nullptr, 10)));
        return 0;
    }
    if (verb == L"click" && argc >= 2) {
        HWND control = Control(program, argv[1]);
        if (!control) return 1;
        SendMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == L"checked" && argc >= 2) {
        HWND control = Control(program, argv[1]);
        if (!control) return 1;
        return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
    }
    // The negative checks as positive steps: a missing window or control
    // fails them instead of passing as "not checked" or "unchanged".
    if ((verb == L"unchecked" || verb == L"disabled") && argc >= 2) {
        HWND control = Control(program, argv[1]);
        if (!control) {
            std::fprintf(stderr, "velmar-driver: no such control\n");
            return 1;
        }
        if (verb == L"unchecked") return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_UNCHECKED ? 0 : 1;
        return IsWindowEnabled(control) ? 1 : 0;
    }
    if (verb == L"filedialog" && argc >= 3) {
        HWND dialog = nullptr;
        if (!PollFor(number(2), [&] { return (dialog = FindFileDialog(program)) != nullptr; })) {
            std::fprintf(stderr, "velmar-driver: no file dialog\n");
            return 1;
        }
        SendMessageW(FileNameControl(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
        HWND ok = GetDlgItem(dialog, IDOK);
        if (!ok) return 1;
        PostMessageW(ok, BM_CLICK, 0, 0);
        return PollFor(number(2), [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ? 0 : 1;
    }
    if (verb == L"folder" && argc >= 3) {
        HWND browser = nullptr;
        if (!PollFor(number(2), [&] { return (browser = FindDialogOf(program, HasTreeView)) != nullptr; })) {
            std::fprintf(stderr, "velmar-driver: no folder browser\n");
            return 1;
        }
        return PollFor(number(2), [&] { return SelectFolder(browser, argv[1]); }) ? 0 : 1;
    }
    if (verb == L"answer" && argc >= 4) {
        HWND box = nullptr;
        if (!PollFor(number(3), [&] { return (box = FindMessageBox(program, argv[1])) != nullptr; })) {
            std::fprintf(stderr, "velmar-driver: no message box\n");
            return 1;
        }
        std::printf("%s\n", Utf8(TextOf(GetDlgItem(box, kMessageBoxText))).c_str());
        std::fflush(stdout);
        HWND button = GetDlgItem(box, static_cast<int>(number(2)));
        if (!button) {
            std::fprintf(stderr, "velmar-driver: the message box has no such button\n");
            return 1;
        }
        PostMessageW(button, BM_CLICK, 0, 0);
        return PollFor(number(3), [&] { return !IsWindow(box); }) ? 0 : 1;
    }
    if (verb == L"nobox" && argc >= 3) {
        bool appeared = PollFor(number(2), [&] { return FindMessageBox(program, argv[1]) != nullptr; });
        return appeared ? 1 : 0;
    }
    return 2;
}

}  // namespace velmar::driver
