#include "tools/driver/database_steps.h"
#include "platform/unicode.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace velmar::driver {

namespace {

std::string Utf8(const std::wstring& text) { return velmar::platform::Utf8FromWide(text); }

// Item `index` of a combo box of another process (the platform carries the
// text across).
std::wstring ComboItem(HWND box, LRESULT index) {
    LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

}  // namespace

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

HWND FindProgramWindow(const wchar_t* title) {
    if (title[0] != L'#') return FindWindowW(nullptr, title);
    struct Search {
        int id;
        HWND found;
    } search{static_cast<int>(std::wcstol(title + 1, nullptr, 10)), nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!IsWindowVisible(window) || !GetDlgItem(window, s->id)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

const char* DatabaseStepsUsage() {
    return "  items TITLE ID                  prints the items of the combo box, one a line\n"
           "  pick TITLE ID TEXT              selects the combo box item TEXT (status 1 when it has none)\n"
           "  choose TITLE ID INDEX           selects the combo box item at INDEX (from 0)\n"
           "  (TITLE \"#ID\": the window that has a control with that id)\n";
}

int RunDatabaseStep(const std::wstring& verb, int argc, wchar_t** argv) {
    if (verb != L"items" && verb != L"pick" && verb != L"choose") return -1;
    if (argc < 2) return 2;
    HWND program = FindProgramWindow(argv[0]);
    if (!program) {
        std::fprintf(stderr, "velmar-driver: no window titled as given\n");
        return 1;
    }
    HWND box = GetDlgItem(program, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
    if (!box) return 1;

    if (verb == L"items") {
        LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) std::printf("%s\n", Utf8(ComboItem(box, i)).c_str());
        return 0;
    }
    if (argc < 3) return 2;
    if (verb == L"pick") {
        LRESULT index =
            SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(argv[2]));
        if (index == CB_ERR) return 1;
        return SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index ? 0 : 1;
    }
    LRESULT index = std::wcstol(argv[2], nullptr, 10);
    return SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index ? 0 : 1;
}

}  // namespace velmar::driver
