#include "tools/driver/random_user.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/unicode.h"
#include "tools/driver/database_steps.h"
#include "tools/driver/outside_steps.h"
#include "tools/driver/program_windows.h"
#include "ui/link_dialog_ids.h"
#include "ui/main_window_ids.h"
#include "ui/record_navigator_ids.h"
#include "ui/search_dialog_ids.h"

namespace velmar::driver {

namespace {

namespace main_ids = ui::main_ids;
namespace nav_ids = ui::navigator_ids;
namespace search_ids = ui::search_ids;
namespace link_ids = ui::link_ids;

constexpr wchar_t kMainTitle[] = L"Velmar rtf";
constexpr wchar_t kNavigatorTitle[] = L"Registros Base Datos";
constexpr wchar_t kLinkTitle[] = L"Base de Datos Vinculada";
constexpr wchar_t kBoxTitle[] = L"Programador";
constexpr wchar_t kFailureText[] = L"No se ha podido completar la orden ...";
constexpr wchar_t kOverwriteText[] = L"El fichero existe ...";
constexpr wchar_t kSavedText[] = L"Fichero grabado ...";
constexpr wchar_t kNotSavedText[] = L"No se ha podido grabar el fichero ...";
constexpr wchar_t kAboutText[] = L"Este programa es tuyo";
constexpr wchar_t kBadFormatText[] = L"La carpeta NO es una base de dato";
// The documents the save dialogs are given: two of each kind, so that saves
// often replace what an earlier one wrote.
constexpr const wchar_t* kSavedNames[] = {L"uno.rtf", L"dos.rtf", L"uno.txt", L"dos.txt"};
constexpr UINT kAnswerMs = 5000;   // the program must answer a message within this
constexpr DWORD kEndMs = 120000;  // after "Salir", work in progress may still run this long

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }
std::wstring Wide(const std::string& text) { return platform::WideFromUtf8(text); }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// Line ends as the editor and the files may write them, and the final ones
// that a round trip through RTF may drop, do not count.
std::wstring Normalised(std::wstring text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out += L'\n';
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out += text[i];
        }
    }
    while (!out.empty() && out.back() == L'\n') out.pop_back();
    return out;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A window's text, asked for without waiting longer than the program may take.
std::optional<std::wstring> TextWithin(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length)) return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             kAnswerMs, &got))
        return std::nullopt;
    text.resize(std::min<std::size_t>(got, length));
    return text;
}

// ---- What is on screen -------------------------------------------------------

std::wstring ClassOf(HWND window);
std::vector<HWND> WindowsOf(DWORD process);

struct Box {
    HWND window = nullptr;
    std::wstring text;
    bool question = false;  // Yes and No
};

struct Screen {
    HWND main = nullptr;
    HWND navigator = nullptr;
    HWND search = nullptr;
    HWND link = nullptr;
    HWND fileDialog = nullptr;
    HWND browser = nullptr;
    HWND other = nullptr;  // the colour chooser
    std::vector<Box> boxes;
    int databaseWindows = 0;
    int linkDialogs = 0;
    int aboutBoxes = 0;
    std::wstring signature;  // what changes when anything on screen changes

    static bool Usable(HWND window) { return window && IsWindowEnabled(window); }
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The program's top-level windows, shown or not, front to back.
std::vector<HWND> WindowsOf(DWORD process) {
    struct Search {
        DWORD process;
        std::vector<HWND> found;
    } search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Screen Look(DWORD process) {
    Screen screen;
    for (HWND window : WindowsOf(process)) {
        if (!IsWindowVisible(window) || ClassOf(window) != L"#32770") continue;
        wchar_t title[128] = {};
        GetWindowTextW(window, title, 128);
        std::wstring caption = title;
        HWND text = GetDlgItem(window, kMessageBoxText);
        if (caption == kBoxTitle && text) {
            Box box{window, TextWithin(text).value_or(L""), GetDlgItem(window, IDYES) != nullptr};
            if (StartsWith(box.text, kAboutText)) ++screen.aboutBoxes;
            screen.boxes.push_back(box);
        } else if (FileNameControl(window)) {
            screen.fileDialog = window;
        } else if (FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr)) {
            screen.browser = window;
        } else if (caption == kMainTitle && GetDlgItem(window, main_ids::kEditor)) {
            screen.main = window;
        } else if (caption == kNavigatorTitle) {
            screen.navigator = window;
            ++screen.databaseWindows;
        } else if (caption == kLinkTitle) {
            screen.link = window;
            ++screen.linkDialogs;
        } else if (GetDlgItem(window, search_ids::kSearch) && GetDlgItem(window, search_ids::kFieldBox)) {
            screen.search = window;
            ++screen.databaseWindows;
        } else {
            screen.other = window;
        }
        wchar_t mark[48];
        std::swprintf(mark, 48, L"%p:%d;", static_cast<void*>(window), IsWindowEnabled(window) ? 1 : 0);
        screen.signature += mark;
    }
    for (const Box& box : screen.boxes) screen.signature += box.text;
    return screen;
}

HWND Item(HWND window, int id) { return window ? GetDlgItem(window, id) : nullptr; }

// ---- The run -------------------------------------------------------------------

struct Options {
    std::wstring program;  // velmar-rtf.exe, in the work folder, where its settings file is
    std::wstring work;     // the databases (one folder each) and docs\ for documents
    std::wstring probe;    // the DLL that reads the menu from inside (velmar-caption-recorder.dll)
    uint64_t seed = 0;
    long actions = 0;
    std::wstring replay;   // a file of actions, one a line: NAME TAB ARGUMENT
};

struct Save {
    std::wstring path;
    bool rtf = false;
    std::optional<std::string> before;  // the file before the save, if it existed
    long writesBefore = 0;              // saves done to any file before this one began
    HWND question = nullptr;            // its overwrite question, once on screen
    bool confirmed = false;             // answered, or a new file
    std::vector<std::wstring> seen;     // the editor's texts since it was confirmed
};

struct Stamp {
    int64_t size = 0;
    FILETIME written{};
    bool operator==(const Stamp& o) const {
        return size == o.size && CompareFileTime(&written, &o.written) == 0;
    }
};

class RandomUser;

struct Action {
    const char* name;
    double weight;
    std::function<bool(RandomUser&, const Screen&)> available;
    // Carries the action out; a replayed one gets its argument, a random one
    // chooses it. Returns false when the argument cannot be used now.
    std::function<bool(RandomUser&, const Screen&, std::wstring& argument)> perform;
};

class RandomUser {
public:
    explicit RandomUser(Options options) : options_(std::move(options)), random_(options_.seed) {}
    int Run();

    // What the actions use.
    std::mt19937_64& Random() { return random_; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random_)];
    }
    int Number(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }
    DWORD Process() const { return program_.dwProcessId; }
    bool Ending() const { return quitChosen_; }
    bool NavigatorAndSearchEnabled();
    std::wstring Docs() const { return options_.work + L"\\docs"; }
    std::vector<std::wstring> Folders() const { return folders_; }
    bool SaveDialogOpen() const { return fileCommand_ == main_ids::kWriteRtf || fileCommand_ == main_ids::kExportTxt; }
    // Which command's dialog is on screen: the dialog's own title (open or
    // save) and its file type list (the program's "RTF" or "TXT") tell, for a
    // command posted earlier may open its dialog only once the loops opened
    // meanwhile have closed.
    void SawFileDialog(HWND dialog);
    void ChoseQuit() {
        quitChosen_ = true;
        linkedAtQuit_ = linked_;
    }
    // The browser is answered at once, but the link dialog links what was
    // picked only when the browser's call returns, which a loop opened from
    // inside it meanwhile (a file dialog, a question) can hold back; the
    // dialog's "..." is enabled again once the pick is linked.
    void PickedFolder(const std::wstring& folder) { pendingPick_ = folder + L"\\"; }
    void ChoseFile(const std::wstring& name);
    void Answered(const Box& box, int button);
    [[noreturn]] void Fail(const std::string& why);

private:
    bool Start();
    void Settle();
    void AfterAction();
    void Notice(const Screen& screen);
    void Check(const Screen& screen);
    void CheckSave(Save& save, bool saved);
    void EndedProgram();
    std::wstring EditorText(const Screen& screen);
    std::map<std::wstring, Stamp> DatabaseStamps() const;
    std::map<std::wstring, uint64_t> DatabaseHashes() const;
    bool NextReplayed(std::string& name, std::wstring& argument);

    Options options_;
    std::mt19937_64 random_;
    PROCESS_INFORMATION program_{};
    std::vector<std::wstring> folders_;  // the folders the browser may pick
    std::wstring linked_;                // the linked folder as the program holds it
    std::wstring linkedAtQuit_;
    std::optional<std::wstring> pendingPick_;
    bool quitChosen_ = false;
    int fileCommand_ = 0;
    std::vector<Save> saves_;
    std::vector<Save> refused_;
    std::map<std::wstring, long> writes_;  // saves done, by file
    std::set<HWND> boxesSeen_;
    std::wstring editorText_;
    std::map<std::wstring, Stamp> stamps_;
    std::vector<std::string> done_;  // the actions so far, as NAME TAB ARGUMENT
    std::map<std::string, long> counts_;
    long savesChecked_ = 0;
    int starts_ = 0;
    HANDLE takenEvent_ = CreateEventW(nullptr, FALSE, FALSE, L"Local\\VelmarTaken");
    std::optional<bool> menuState_;  // asked once between two actions
    std::ifstream replay_;
    HMODULE richEditLibrary_ = nullptr;
    HWND reader_ = nullptr;  // a rich-edit control of our own that reads saved RTF back
};

// Every top-level window of the program, shown or not, for a failure report.
std::string DescribeWindows(DWORD process) {
    std::string text;
    for (HWND window : WindowsOf(process)) {
        wchar_t title[128] = {};
        GetWindowTextW(window, title, 128);
        text += "  " + Utf8(ClassOf(window)) + " \"" + Utf8(title) + "\"" +
                (IsWindowVisible(window) ? " shown" : " hidden") + (IsWindowEnabled(window) ? "" : " disabled") + "\n";
    }
    return text;
}

[[noreturn]] void RandomUser::Fail(const std::string& why) {
    std::fprintf(stdout, "FAIL: %s\n", why.c_str());
    if (program_.hProcess) std::fprintf(stdout, "the program's windows:\n%s", DescribeWindows(program_.dwProcessId).c_str());
    std::fprintf(stdout, "seed %llu; the %zu actions so far (replay them with: velmar-driver replay ... FILE):\n",
                 static_cast<unsigned long long>(options_.seed), done_.size());
    std::wstring failedList = options_.work + L"\\failed-actions.txt";
    std::ofstream list(failedList.c_str(), std::ios::binary);
    for (const std::string& line : done_) {
        std::fprintf(stdout, "%s\n", line.c_str());
        list << line << "\n";
    }
    list.close();
    std::fprintf(stdout, "(written to %s)\n", Utf8(failedList).c_str());
    std::fflush(stdout);
    if (program_.hProcess && !GetEnvironmentVariableW(L"VELMAR_KEEP_PROGRAM", nullptr, 0))
        TerminateProcess(program_.hProcess, 99);
    ExitProcess(1);
}

bool RandomUser::NavigatorAndSearchEnabled() {
    if (menuState_) return *menuState_;
    static const UINT message = RegisterWindowMessageW(L"VelmarMenuState");
    HWND main = FindWindowW(nullptr, kMainTitle);
    std::wstring answer = options_.probe + L".menu.txt";
    DeleteFileW(answer.c_str());
    DWORD_PTR ignored = 0;
    if (!main || !SendMessageTimeoutW(main, message, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored))
        Fail("the main window did not answer within 5 s");
    std::optional<std::string> states = ReadBytes(answer);
    int navigator = -1, search = -1;
    if (!states || std::sscanf(states->c_str(), "%d %d", &navigator, &search) != 2)
        Fail("the menu probe in the program gave no answer");
    auto enabled = [](int state) { return state >= 0 && (state & (MF_DISABLED | MF_GRAYED)) == 0; };
    if (enabled(navigator) != enabled(search)) Fail("\"Navegador\" and \"Buscar\" differ in state");
    menuState_ = enabled(navigator);
    return *menuState_;
}

void RandomUser::SawFileDialog(HWND dialog) {
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, 64);
    bool save = std::wcsstr(title, L"Save") || std::wcsstr(title, L"Guardar");
    HWND types = GetDlgItem(dialog, 0x470);  // the file type list
    std::optional<std::wstring> type = types ? TextWithin(types) : std::nullopt;
    bool rtf = type && type->find(L"RTF") != std::wstring::npos;
    fileCommand_ = save ? (rtf ? main_ids::kWriteRtf : main_ids::kExportTxt) : (rtf ? main_ids::kReadRtf : main_ids::kImportTxt);
}

void RandomUser::ChoseFile(const std::wstring& name) {
    if (!SaveDialogOpen()) return;
    Save save;
    save.path = Docs() + L"\\" + name;
    save.rtf = fileCommand_ == main_ids::kWriteRtf;
    save.before = ReadBytes(save.path);
    save.writesBefore = writes_[save.path];
    // A new name is written at once; an existing one waits for the question.
    save.confirmed = !save.before;
    if (save.confirmed) save.seen.push_back(editorText_);
    saves_.push_back(save);
}

void RandomUser::Answered(const Box& box, int button) {
    if (!StartsWith(box.text, kOverwriteText)) return;
    auto it = std::find_if(saves_.begin(), saves_.end(), [&](const Save& s) { return s.question == box.window; });
    if (it == saves_.end()) Fail("an overwrite question that no save is waiting on");
    if (button == IDYES) {
        it->confirmed = true;
        it->seen.push_back(editorText_);
    } else {
        refused_.push_back(*it);  // checked once the program has taken the answer
        saves_.erase(it);
    }
}

// A save's file holds the editor's document as it was at some moment between
// the confirmation and the program's "Fichero grabado ..."; a save refused or
// not carried out leaves the file as it was.
void RandomUser::CheckSave(Save& save, bool saved) {
    ++savesChecked_;
    std::optional<std::string> bytes = ReadBytes(save.path);
    if (!saved) {
        // Another save to the same file, confirmed meanwhile, may have written it.
        bool otherWrite = writes_[save.path] != save.writesBefore ||
                          std::any_of(saves_.begin(), saves_.end(),
                                      [&](const Save& s) { return s.confirmed && s.path == save.path; });
        if (!otherWrite && bytes != save.before)
            Fail("a save that was refused or failed changed " + Utf8(save.path));
        return;
    }
    ++writes_[save.path];
    if (!bytes) Fail("a save said \"Fichero grabado ...\" and left no " + Utf8(save.path));
    std::wstring text;
    if (save.rtf) {
        if (!reader_) Fail("no rich-edit control to read the saved RTF with");
        std::string rtf = *bytes;
        struct Source {
            const std::string* bytes;
            std::size_t at;
        } source{&rtf, 0};
        EDITSTREAM stream{};
        stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
        stream.pfnCallback = [](DWORD_PTR cookie, LPBYTE out, LONG capacity, LONG* given) -> DWORD {
            auto* s = reinterpret_cast<Source*>(cookie);
            std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(capacity), s->bytes->size() - s->at);
            std::memcpy(out, s->bytes->data() + s->at, n);
            s->at += n;
            *given = static_cast<LONG>(n);
            return 0;
        };
        SendMessageW(reader_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        text = TextOf(reader_);
    } else {
        int n = MultiByteToWideChar(CP_ACP, 0, bytes->data(), static_cast<int>(bytes->size()), nullptr, 0);
        text.resize(static_cast<std::size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, bytes->data(), static_cast<int>(bytes->size()), text.data(), n);
    }
    for (const std::wstring& seen : save.seen)
        if (Normalised(seen) == Normalised(text)) return;
    std::string pending;
    for (const Save& other : saves_)
        pending += " " + Utf8(other.path) + (other.rtf ? " rtf" : " txt") + (other.confirmed ? " confirmed" : "");
    Fail("the saved " + std::string(save.rtf ? "RTF " : "text ") + Utf8(save.path) + " (" +
         std::to_string(bytes->size()) + " bytes: " + bytes->substr(0, 60) + "; other saves:" + pending + ") holds \"" +
         Utf8(Normalised(text).substr(0, 200)) +
         "\", which the editor did not show from the confirmation to the end of the save (last: \"" +
         Utf8(save.seen.empty() ? L"" : Normalised(save.seen.back()).substr(0, 200)) + "\")");
}

std::wstring RandomUser::EditorText(const Screen& screen) {
    HWND main = screen.main ? screen.main : FindWindowW(nullptr, kMainTitle);
    if (!main) return editorText_;
    std::optional<std::wstring> text = TextWithin(GetDlgItem(main, main_ids::kEditor));
    if (!text) Fail("the editor did not answer within 5 s");
    return *text;
}

std::map<std::wstring, Stamp> RandomUser::DatabaseStamps() const {
    std::map<std::wstring, Stamp> stamps;
    for (const std::wstring& folder : folders_) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            Stamp stamp;
            stamp.size = (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            stamp.written = found.ftLastWriteTime;
            stamps[folder + L"\\" + found.cFileName] = stamp;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return stamps;
}

// Every byte of every database file (the large one is mostly a hole, which
// reads fast).
std::map<std::wstring, uint64_t> RandomUser::DatabaseHashes() const {
    std::map<std::wstring, uint64_t> hashes;
    std::vector<char> buffer(1 << 20);
    for (const auto& [path, stamp] : DatabaseStamps()) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        uint64_t hash = 1469598103934665603ull;
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                                                       nullptr) &&
               got > 0)
            for (DWORD i = 0; i < got; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        hashes[path] = hash;
    }
    return hashes;
}

bool RandomUser::Start() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + options_.program + L"\"";
    if (!CreateProcessW(options_.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        options_.work.c_str(), &startup, &program_))
        return false;
    ++starts_;
    HWND main = nullptr;
    if (!PollFor(30000, [&] {
            main = FindWindowW(nullptr, kMainTitle);
            return main && IsWindowVisible(main);
        }))
        Fail("the program's window did not appear");
    if (Inject(main, options_.probe.c_str(), 20000) != 0) Fail("the menu probe could not be brought into the program");
    wchar_t folder[MAX_PATH * 4] = {};
    GetPrivateProfileStringW(L"Base Datos", L"Vinculado", L"", folder, MAX_PATH * 4,
                             (options_.work + L"\\Configuracion.ini").c_str());
    linked_ = folder;
    pendingPick_.reset();
    quitChosen_ = false;
    fileCommand_ = 0;
    boxesSeen_.clear();
    editorText_ = EditorText(Look(program_.dwProcessId));
    return true;
}

// Waits for the program to take what was given: a message posted after it
// leaves the program's queue (the probe in the program signals it), which
// happens once the action's own message has been dispatched, and whatever
// dialog it opened has its loop running.
void RandomUser::Settle() {
    static const UINT taken = RegisterWindowMessageW(L"VelmarTaken");
    menuState_.reset();
    HWND main = FindWindowW(nullptr, kMainTitle);
    if (!main || WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0) return;
    ResetEvent(takenEvent_);
    PostMessageW(main, taken, 0, 0);
    HANDLE waits[] = {takenEvent_, program_.hProcess};
    // A program busy for longer is judged by the checks (WM_NULL within 5 s),
    // not here.
    WaitForMultipleObjects(2, waits, FALSE, 2 * kAnswerMs);
}

// The program has ended: only "Salir" may end it, with status 0, and its
// settings file then names the folder linked when "Salir" was chosen.
void RandomUser::EndedProgram() {
    DWORD status = 0;
    GetExitCodeProcess(program_.hProcess, &status);
    CloseHandle(program_.hProcess);
    CloseHandle(program_.hThread);
    program_ = {};
    if (!quitChosen_) Fail("the program ended without \"Salir\" (status " + std::to_string(status) + ")");
    if (status != 0) Fail("the program ended with status " + std::to_string(status) + " after \"Salir\"");
    for (const Save& save : saves_)
        if (save.confirmed) Fail("a confirmed save of " + Utf8(save.path) + " never said it was done");
    saves_.clear();
    wchar_t folder[MAX_PATH * 4] = {};
    GetPrivateProfileStringW(L"Base Datos", L"Vinculado", L"", folder, MAX_PATH * 4,
                             (options_.work + L"\\Configuracion.ini").c_str());
    if (linkedAtQuit_ != folder)
        Fail("Configuracion.ini names \"" + Utf8(folder) + "\", not the folder linked at \"Salir\": \"" +
             Utf8(linkedAtQuit_) + "\"");
}

void RandomUser::Check(const Screen& screen) {
    if (!quitChosen_) {
        DWORD_PTR ignored = 0;
        if (!screen.main || !SendMessageTimeoutW(screen.main, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored))
            Fail("the main window is gone or did not answer WM_NULL within 5 s");
    }
    for (const Box& box : screen.boxes)
        if (box.text == kFailureText) Fail("the program said \"No se ha podido completar la orden ...\"");
    if (screen.databaseWindows > 1) Fail("a record navigator and a search dialog, or two of one, are open");
    if (screen.linkDialogs > 1) Fail("two link dialogs are open");
    if (screen.aboutBoxes > 1) Fail("two about boxes are open");
    // The database files that were there are untouched; a missing one may be
    // created empty by a read, as every read of a database folder does.
    std::map<std::wstring, Stamp> now = DatabaseStamps();
    for (const auto& [path, stamp] : stamps_) {
        auto it = now.find(path);
        if (it == now.end() || !(it->second == stamp)) Fail("the database file " + Utf8(path) + " changed");
    }
    for (const auto& [path, stamp] : now)
        if (!stamps_.count(path) && stamp.size != 0) Fail("a database file appeared with content: " + Utf8(path));
    // The menu follows the link once the link dialog has linked a pick: its
    // "..." is disabled from the click until then.
    const bool linking = screen.link && !IsWindowEnabled(Item(screen.link, link_ids::kBrowse));
    if (pendingPick_ && screen.link && !linking) {
        linked_ = *pendingPick_;
        pendingPick_.reset();
    }
    if (!quitChosen_ && !pendingPick_ && !linking && !screen.browser) {
        bool valid = false;
        for (const std::wstring& folder : folders_) {
            if (linked_ != folder + L"\\") continue;
            std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (GetFileAttributesExW((folder + L"\\" + name + L".z04").c_str(), GetFileExInfoStandard, &data)) {
                uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                valid = size > 0 && size % 12042 == 0;
            }
        }
        if (NavigatorAndSearchEnabled() != valid) {
            std::wstring box = screen.link ? TextWithin(Item(screen.link, link_ids::kFolderBox)).value_or(L"") : L"";
            Fail(std::string("\"Navegador\" and \"Buscar\" are ") + (valid ? "disabled" : "enabled") + " while \"" +
                 Utf8(linked_) + "\" is linked (the link dialog shows \"" + Utf8(box) + "\")");
        }
    }
}

// What is on screen now: the editor's text as the user sees it, and the
// program's word on the saves it finished (noticed before anything is
// answered, whenever it appears).
void RandomUser::Notice(const Screen& screen) {
    if (screen.main) editorText_ = EditorText(screen);
    for (Save& save : saves_)
        if (save.confirmed && (save.seen.empty() || save.seen.back() != editorText_)) save.seen.push_back(editorText_);
    for (const Box& box : screen.boxes) {
        if (!boxesSeen_.insert(box.window).second) continue;
        // The folder picked is linked before a wrong format is reported (the
        // menu follows only after the report).
        if (pendingPick_ && StartsWith(box.text, kBadFormatText)) {
            linked_ = *pendingPick_;
            pendingPick_.reset();
            continue;
        }
        if (StartsWith(box.text, kOverwriteText)) {
            // Each question belongs to the latest save to an existing file that has none yet.
            auto it = std::find_if(saves_.rbegin(), saves_.rend(),
                                   [](const Save& s) { return !s.confirmed && !s.question; });
            // A file chosen as new may exist by the time the program looks (a
            // save made meanwhile, while the dialog's answer waited): that
            // save asks after all, and its file is now what another wrote.
            if (it == saves_.rend())
                it = std::find_if(saves_.rbegin(), saves_.rend(),
                                  [](const Save& s) { return s.confirmed && !s.question && !s.before; });
            if (it == saves_.rend()) Fail("an overwrite question came without a save to an existing file");
            if (it->confirmed) {
                it->confirmed = false;
                it->seen.clear();
                it->before = ReadBytes(it->path);
            }
            it->question = box.window;
            continue;
        }
        bool saved = box.text == kSavedText;
        if (!saved && box.text != kNotSavedText) continue;
        // The save the program finished: the innermost confirmed one.
        auto it = std::find_if(saves_.rbegin(), saves_.rend(), [](const Save& s) { return s.confirmed; });
        if (it == saves_.rend()) Fail("the program said a save was done without one confirmed");
        Save finished = *it;
        saves_.erase(std::next(it).base());
        CheckSave(finished, saved);
    }
}

void RandomUser::AfterAction() {
    Settle();
    for (Save& refused : refused_) CheckSave(refused, false);
    refused_.clear();
    if (WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0) return;
    Screen screen = Look(program_.dwProcessId);
    Notice(screen);
    Check(screen);
}

bool RandomUser::NextReplayed(std::string& name, std::wstring& argument) {
    std::string line;
    while (std::getline(replay_, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::size_t tab = line.find('\t');
        name = line.substr(0, tab);
        argument = tab == std::string::npos ? L"" : Wide(line.substr(tab + 1));
        return true;
    }
    return false;
}

// ---- The actions ---------------------------------------------------------------

// What a user still does when leaving: answer the boxes and close the
// dialogs that block the main window (or the folder browser, which outlives
// "Salir").
bool WindingDown(const std::string& name) {
    return name == "responder" || name == "cancelar-fichero" || name == "cancelar-color" ||
           name == "cancelar-carpeta" || name == "carpeta";
}

bool Clickable(HWND window, int id) { return Screen::Usable(window) && IsWindowEnabled(Item(window, id)); }
void Click(HWND window, int id) { PostMessageW(Item(window, id), BM_CLICK, 0, 0); }
void SetText(HWND control, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kAnswerMs,
                        &ignored);
}
int Count(HWND box) {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(box, CB_GETCOUNT, 0, 0, SMTO_NORMAL, kAnswerMs, &count);
    return static_cast<int>(count);
}
int ArgumentNumber(const std::wstring& argument) { return static_cast<int>(std::wcstol(argument.c_str(), nullptr, 10)); }

// A menu command of the main window, as the menu sends it.
Action Menu(const char* name, int id, double weight) {
    return {name, weight,
            [id](RandomUser& user, const Screen& s) {
                if (!Screen::Usable(s.main)) return false;
                if (id == main_ids::kNavigator || id == main_ids::kSearch) return user.NavigatorAndSearchEnabled();
                return true;
            },
            [id](RandomUser& user, const Screen& s, std::wstring&) {
                if (id == main_ids::kQuit) user.ChoseQuit();
                return PostMessageW(s.main, WM_COMMAND, MAKEWPARAM(id, 0), 0) != FALSE;
            }};
}

// A push button or check box of one of the program's windows, clicked.
Action Button(const char* name, HWND Screen::*window, int id, double weight) {
    return {name, weight, [window, id](RandomUser&, const Screen& s) { return Clickable(s.*window, id); },
            [window, id](RandomUser&, const Screen& s, std::wstring&) {
                Click(s.*window, id);
                return true;
            }};
}

Action CloseRequest(const char* name, HWND Screen::*window, double weight) {
    return {name, weight, [window](RandomUser&, const Screen& s) { return Screen::Usable(s.*window); },
            [window](RandomUser&, const Screen& s, std::wstring&) {
                return PostMessageW(s.*window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
            }};
}

// An item chosen in a list box of a window; with `notify` the window is told
// as the list tells it when the user picks.
Action ListChoice(const char* name, HWND Screen::*window, int id, bool notify, double weight,
                  std::vector<std::wstring> passedOver = {}) {
    return {name, weight, [window, id](RandomUser&, const Screen& s) { return Clickable(s.*window, id); },
            [window, id, notify, passedOver](RandomUser& user, const Screen& s, std::wstring& argument) {
                HWND box = Item(s.*window, id);
                int count = Count(box);
                if (count <= 0) return false;
                if (argument.empty()) {
                    int index = user.Number(0, count - 1);
                    wchar_t item[256] = {};
                    DWORD_PTR length = 0;
                    if (SendMessageTimeoutW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_NORMAL, kAnswerMs,
                                            &length) &&
                        length < 255)
                        SendMessageTimeoutW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item),
                                            SMTO_NORMAL, kAnswerMs, &length);
                    if (std::find(passedOver.begin(), passedOver.end(), std::wstring(item)) != passedOver.end())
                        return false;
                    argument = std::to_wstring(index);
                }
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(box, CB_SETCURSEL, static_cast<WPARAM>(ArgumentNumber(argument)), 0, SMTO_NORMAL,
                                    kAnswerMs, &ignored);
                if (notify)
                    PostMessageW(s.*window, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
                return true;
            }};
}

std::vector<Action> Actions() {
    std::vector<Action> actions = {
        Menu("nuevo", main_ids::kNew, 1.5),
        Menu("leer-rtf", main_ids::kReadRtf, 2),
        Menu("grabar-rtf", main_ids::kWriteRtf, 3),
        Menu("exportar-txt", main_ids::kExportTxt, 3),
        Menu("importar-txt", main_ids::kImportTxt, 1.5),
        Menu("autor", main_ids::kAbout, 1),
        Menu("salir", main_ids::kQuit, 0.6),
        Menu("vincular", main_ids::kLink, 2),
        Menu("navegador", main_ids::kNavigator, 3),
        Menu("buscar", main_ids::kSearch, 3),
        {"teclear", 5, [](RandomUser&, const Screen& s) { return Screen::Usable(s.main); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             static const std::vector<std::wstring> words = {L"Hola ", L"#Nombre ", L"##Provincia ", L"carta\r",
                                                             L"a\u00f1o ", L"\u00e1rbol ", L"x", L"\r"};
             if (argument.empty()) argument = user.Pick(words);
             HWND editor = Item(s.main, main_ids::kEditor);
             for (wchar_t c : argument) PostMessageW(editor, WM_CHAR, c, 1);
             return true;
         }},
        {"seleccionar", 2, [](RandomUser&, const Screen& s) { return Screen::Usable(s.main); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             if (argument.empty()) argument = std::to_wstring(user.Number(-1, 60)) + L" " + std::to_wstring(user.Number(0, 80));
             int from = 0, to = 0;
             std::swscanf(argument.c_str(), L"%d %d", &from, &to);
             PostMessageW(Item(s.main, main_ids::kEditor), EM_SETSEL, static_cast<WPARAM>(from), to);
             return true;
         }},
        {"contexto", 2, [](RandomUser&, const Screen& s) { return Screen::Usable(s.main); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             static const std::vector<int> ids = {main_ids::kUndo,  main_ids::kCut,    main_ids::kCopy,
                                                  main_ids::kPaste, main_ids::kDelete, main_ids::kSelectAll};
             if (argument.empty()) argument = std::to_wstring(user.Pick(ids));
             return PostMessageW(s.main, WM_COMMAND, MAKEWPARAM(ArgumentNumber(argument), 0), 0) != FALSE;
         }},
        // Not the fonts of the symbol character set: in them Wine's rich-edit
        // control holds letters as characters its text reads as "?" and writes
        // a character beyond ASCII into RTF as a NUL byte, so no saved
        // document could be compared with what the editor showed.
        ListChoice("fuente", &Screen::main, main_ids::kFontList, true, 1,
                   {L"Marlett", L"Symbol", L"Webdings", L"Wingdings", L"Wingdings 2", L"Wingdings 3"}),
        ListChoice("tamano", &Screen::main, main_ids::kSizeList, true, 1),
        {"barra", 4, [](RandomUser&, const Screen& s) { return Screen::Usable(s.main); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             static const std::vector<int> ids = {
                 main_ids::kBoldToggle,    main_ids::kItalicToggle, main_ids::kUnderlineToggle,
                 main_ids::kStrikeOutToggle, main_ids::kTextColourBox, main_ids::kHighlightBox,
                 main_ids::kRightToggle,   main_ids::kCentreToggle, main_ids::kBulletToggle};
             if (argument.empty()) argument = std::to_wstring(user.Pick(ids));
             Click(s.main, ArgumentNumber(argument));
             return true;
         }},
        {"muestra-color", 0.7, [](RandomUser&, const Screen& s) { return Screen::Usable(s.main); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             if (argument.empty())
                 argument = std::to_wstring(user.Number(0, 1) ? main_ids::kTextColourSwatch : main_ids::kHighlightSwatch);
             int id = ArgumentNumber(argument);
             return PostMessageW(s.main, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                                 reinterpret_cast<LPARAM>(Item(s.main, id))) != FALSE;
         }},

        Button("primero", &Screen::navigator, nav_ids::kFirst, 2),
        Button("anterior", &Screen::navigator, nav_ids::kPrevious, 3),
        Button("siguiente", &Screen::navigator, nav_ids::kNext, 4),
        Button("ultimo", &Screen::navigator, nav_ids::kLast, 2),
        Button("ir-a", &Screen::navigator, nav_ids::kGoTo, 2),
        Button("con-busqueda", &Screen::navigator, nav_ids::kSearchBox, 2),
        {"numero", 2,
         [](RandomUser&, const Screen& s) { return Clickable(s.navigator, nav_ids::kNumberBox); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             if (argument.empty()) argument = std::to_wstring(user.Number(0, 320));
             SetText(Item(s.navigator, nav_ids::kNumberBox), argument);
             return true;
         }},
        CloseRequest("cerrar-navegador", &Screen::navigator, 1.5),

        ListChoice("campo", &Screen::search, search_ids::kFieldBox, false, 3),
        ListChoice("operador", &Screen::search, search_ids::kOperatorBox, false, 3),
        Button("aplicar", &Screen::search, search_ids::kApply, 3),
        {"valor", 3,
         [](RandomUser&, const Screen& s) {
             for (int k = 1; k <= 3; ++k)
                 if (Clickable(s.search, search_ids::ValueBox(k))) return true;
             return false;
         },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             static const std::vector<std::wstring> values = {L"Ana", L"Eva", L"8", L"1", L"3000", L"a", L"Lugo", L"0"};
             if (argument.empty()) {
                 std::vector<int> open;
                 for (int k = 1; k <= 3; ++k)
                     if (Clickable(s.search, search_ids::ValueBox(k))) open.push_back(k);
                 argument = std::to_wstring(user.Pick(open)) + L" " + user.Pick(values);
             }
             int k = ArgumentNumber(argument);
             if (k < 1 || k > 3 || !Clickable(s.search, search_ids::ValueBox(k))) return false;
             SetText(Item(s.search, search_ids::ValueBox(k)), argument.substr(argument.find(L' ') + 1));
             return true;
         }},
        Button("buscar-ya", &Screen::search, search_ids::kSearch, 2.5),
        Button("salir-busqueda", &Screen::search, search_ids::kExit, 1),
        {"resetea", 0.7, [](RandomUser&, const Screen& s) { return Screen::Usable(s.search); },
         [](RandomUser&, const Screen& s, std::wstring&) {
             return PostMessageW(s.search, WM_COMMAND, MAKEWPARAM(search_ids::kReset, 0), 0) != FALSE;
         }},
        CloseRequest("cerrar-busqueda", &Screen::search, 1),

        Button("examinar", &Screen::link, link_ids::kBrowse, 3),
        Button("salir-vincular", &Screen::link, link_ids::kExit, 2),
        {"carpeta", 4, [](RandomUser&, const Screen& s) { return s.browser != nullptr; },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             if (argument.empty()) {
                 std::wstring folder = user.Pick(user.Folders());
                 argument = folder.substr(folder.find_last_of(L'\\') + 1);
             }
             std::wstring path;
             for (const std::wstring& folder : user.Folders())
                 if (folder.substr(folder.find_last_of(L'\\') + 1) == argument) path = folder;
             if (path.empty() || !PollFor(kAnswerMs, [&] { return SelectFolder(s.browser, path.c_str()); }))
                 return false;
             user.PickedFolder(path);
             Click(s.browser, IDOK);
             return true;
         }},
        Button("cancelar-carpeta", &Screen::browser, IDCANCEL, 1),

        {"responder", 10, [](RandomUser&, const Screen& s) { return !s.boxes.empty(); },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             // BUTTON TAB-free text: "6 El fichero existe ..."
             const Box* box = nullptr;
             if (argument.empty()) {
                 box = &user.Pick(s.boxes);
                 int button = box->question ? (user.Number(0, 3) > 0 ? IDYES : IDNO) : IDOK;
                 std::wstring first = box->text.substr(0, box->text.find(L'\r'));
                 argument = std::to_wstring(button) + L" " + first;
             }
             int button = ArgumentNumber(argument);
             std::wstring text = argument.substr(argument.find(L' ') + 1);
             for (const Box& b : s.boxes)
                 if (StartsWith(b.text, text.c_str())) box = &b;
             if (!box || !GetDlgItem(box->window, button)) return false;
             user.Answered(*box, button);
             Click(box->window, button);
             return true;
         }},
        {"fichero", 6, [](RandomUser&, const Screen& s) { return s.fileDialog != nullptr; },
         [](RandomUser& user, const Screen& s, std::wstring& argument) {
             user.SawFileDialog(s.fileDialog);
             if (argument.empty()) {
                 // Save dialogs get names that often exist already; open dialogs
                 // files that exist (a missing one only makes the dialog say so).
                 std::vector<std::wstring> names(std::begin(kSavedNames), std::end(kSavedNames));
                 if (!user.SaveDialogOpen()) {
                     names = {L"carta.rtf", L"nota.txt"};
                     for (const wchar_t* n : kSavedNames)
                         if (GetFileAttributesW((user.Docs() + L"\\" + n).c_str()) != INVALID_FILE_ATTRIBUTES)
                             names.push_back(n);
                 }
                 argument = user.Pick(names);
             }
             user.ChoseFile(argument);
             SetText(FileNameControl(s.fileDialog), user.Docs() + L"\\" + argument);
             Click(s.fileDialog, IDOK);
             return true;
         }},
        Button("cancelar-fichero", &Screen::fileDialog, IDCANCEL, 1),
        Button("aceptar-color", &Screen::other, IDOK, 2),
        Button("cancelar-color", &Screen::other, IDCANCEL, 2),
    };
    return actions;
}

int RandomUser::Run() {
    if (!options_.replay.empty()) {
        replay_.open(options_.replay.c_str());
        if (!replay_) {
            std::fprintf(stderr, "velmar-driver: cannot read %s\n", Utf8(options_.replay).c_str());
            return 2;
        }
    }
    // Every run starts from the same documents: the letter and the note alone
    // (whatever earlier runs saved beside them goes).
    WIN32_FIND_DATAW found{};
    HANDLE listing = FindFirstFileW((Docs() + L"\\*").c_str(), &found);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            std::wstring file = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && file != L"carta.rtf" && file != L"nota.txt")
                DeleteFileW((Docs() + L"\\" + file).c_str());
        } while (FindNextFileW(listing, &found));
        FindClose(listing);
    }
    for (const char* name : {"Clientes", "Grande", "Vacia", "Mala"})
        folders_.push_back(options_.work + L"\\" + Wide(name));
    richEditLibrary_ = LoadLibraryW(L"riched20.dll");
    reader_ = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(reader_, EM_EXLIMITTEXT, 0, 64 << 20);
    stamps_ = DatabaseStamps();
    std::map<std::wstring, uint64_t> hashes = DatabaseHashes();
    if (!Start()) {
        std::fprintf(stderr, "velmar-driver: cannot start %s\n", Utf8(options_.program).c_str());
        return 1;
    }
    const std::vector<Action> actions = Actions();
    auto find = [&](const std::string& name) -> const Action* {
        for (const Action& a : actions)
            if (name == a.name) return &a;
        return nullptr;
    };

    long step = 0;
    bool replayDone = false;
    for (;;) {
        if (program_.hProcess && WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0) EndedProgram();
        if (!program_.hProcess) {
            bool more = options_.replay.empty() ? step < options_.actions : !replayDone && replay_.peek() != EOF;
            if (!more) break;
            Start();
        }
        Screen screen = Look(program_.dwProcessId);
        Notice(screen);
        std::string name;
        std::wstring argument;
        const Action* action = nullptr;
        bool performed = false;
        if (!options_.replay.empty()) {
            if (!NextReplayed(name, argument)) {
                // The list is done: what is still on screen is answered below.
                replayDone = true;
            } else {
                action = find(name);
                if (!action) Fail("no action named \"" + name + "\" in the list");
                // After "Salir" an action the ending program no longer offers
                // is for the next start.
                if (quitChosen_ && !WindingDown(name) && !action->available(*this, screen)) {
                    if (!PollFor(kEndMs, [&] { return WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0; }))
                        Fail("the program did not end after \"Salir\"");
                    EndedProgram();
                    Start();
                }
                // A replayed action waits until the program offers it (a box
                // with its text, a button enabled), then is carried out.
                const std::wstring given = argument;
                // One it does not offer within 5 s (a button that stays disabled
                // in a fixed program) is passed over, and said so.
                if (!PollFor(kAnswerMs, [&] {
                        screen = Look(program_.dwProcessId);
                        Notice(screen);
                        menuState_.reset();
                        argument = given;
                        return action->available(*this, screen) && action->perform(*this, screen, argument);
                    })) {
                    std::string shown;
                    for (const Box& b : screen.boxes) shown += " [" + Utf8(b.text) + "]";
                    std::printf("not offered, passed over: %s %s (boxes:%s)\n", name.c_str(), Utf8(given).c_str(),
                                shown.c_str());
                    continue;
                }
                performed = true;
            }
        }
        if (options_.replay.empty() || replayDone) {
            // Past the number of actions asked for, the user closes what blocks
            // the main window and leaves through "Salir"; after "Salir" only
            // what is still on screen can be answered.
            const bool spent = replayDone || step >= options_.actions;
            const Action* quit = find("salir");
            if (spent && !quitChosen_ && quit->available(*this, screen)) {
                action = quit;
            } else {
                std::vector<const Action*> offered;
                std::vector<double> weights;
                for (const Action& a : actions) {
                    if ((spent || quitChosen_) && !WindingDown(a.name)) continue;
                    if (a.available(*this, screen)) {
                        offered.push_back(&a);
                        weights.push_back(a.weight);
                    }
                }
                if (!offered.empty())
                    action = offered[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(random_)];
            }
            if (action) name = action->name;
        }
        if (!action) {
            // Nothing to act on: the program is busy (a search or a display
            // with its windows disabled), or finishing its work after "Salir".
            if (!PollFor(kEndMs, [&] {
                    return WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0 ||
                           Look(program_.dwProcessId).signature != screen.signature;
                }))
                Fail(quitChosen_ ? "the program did not end after \"Salir\"" : "no window of the program can be used");
            continue;
        }
        if (!performed && !action->perform(*this, screen, argument)) continue;
        ++step;
        ++counts_[name];
        done_.push_back(name + "\t" + Utf8(argument));
        AfterAction();
        if (quitChosen_ && WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0) EndedProgram();
    }
    if (program_.hProcess) {
        // A replay that did not leave through "Salir": end it so.
        if (!quitChosen_) {
            ChoseQuit();
            PostMessageW(FindWindowW(nullptr, kMainTitle), WM_COMMAND, main_ids::kQuit, 0);
        }
        if (WaitForSingleObject(program_.hProcess, kEndMs) != WAIT_OBJECT_0)
            Fail("the program did not end after \"Salir\"");
        EndedProgram();
    }
    std::map<std::wstring, uint64_t> after = DatabaseHashes();
    for (const auto& [path, hash] : hashes)
        if (after[path] != hash) Fail("the bytes of the database file " + Utf8(path) + " changed");
    std::printf("%ld actions, seed %llu, %d starts of the program, %ld saves checked; by action:", step,
                static_cast<unsigned long long>(options_.seed), starts_, savesChecked_);
    for (const auto& [n, c] : counts_) std::printf(" %s %ld", n.c_str(), c);
    std::printf("\n");
    return 0;
}

}  // namespace

const char* RandomUserUsage() {
    return "  random EXE WORK PROBE SEED N    a user doing N random actions on the program EXE (in WORK,\n"
           "                                  with the databases and docs\\), checked after each; PROBE is\n"
           "                                  velmar-caption-recorder.dll, which reads the menu from inside\n"
           "  replay EXE WORK PROBE FILE      the same with the actions of FILE (NAME TAB ARGUMENT a line)\n";
}

int RunRandomUserStep(const std::wstring& verb, int argc, wchar_t** argv) {
    if (verb != L"random" && verb != L"replay") return -1;
    if (argc < 4) return 2;
    Options options;
    auto full = [](const wchar_t* path) {
        wchar_t buffer[MAX_PATH * 4] = {};
        GetFullPathNameW(path, MAX_PATH * 4, buffer, nullptr);
        return std::wstring(buffer);
    };
    options.program = full(argv[0]);
    options.work = full(argv[1]);
    options.probe = full(argv[2]);
    if (verb == L"random") {
        if (argc < 5) return 2;
        options.seed = std::wcstoull(argv[3], nullptr, 10);
        options.actions = std::wcstol(argv[4], nullptr, 10);
    } else {
        options.replay = full(argv[3]);
    }
    return RandomUser(options).Run();
}

}  // namespace velmar::driver
