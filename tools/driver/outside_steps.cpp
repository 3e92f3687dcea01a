#include "tools/driver/outside_steps.h"

#include <cstdio>
#include <cwchar>

#include "tools/driver/database_steps.h"

namespace velmar::driver {

namespace {

constexpr DWORD kProbeIntervalMs = 20;
constexpr UINT kProbeTimeoutMs = 30000;

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// A thread of the program's own runs LoadLibraryW on the DLL.
int Inject(HWND window, const wchar_t* dllPath, DWORD waitMs) {
    wchar_t full[MAX_PATH] = {};
    if (!GetFullPathNameW(dllPath, MAX_PATH, full, nullptr)) return 1;
    std::wstring ready = std::wstring(full) + L".captions.txt";
    DeleteFileW(ready.c_str());
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(
        PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
        FALSE, processId);
    if (!process) return 1;
    std::size_t bytes = (wcslen(full) + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool loaded = false;
    if (remote && WriteProcessMemory(process, remote, full, bytes, nullptr)) {
        // kernel32 sits at the same address in every process.
        auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
        HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
        if (thread) {
            DWORD result = 0;
            loaded = WaitForSingleObject(thread, waitMs) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &result) &&
                     result != 0;
            CloseHandle(thread);
        }
    }
    CloseHandle(process);
    if (!loaded) return 1;
    return PollFor(waitMs, [&] { return FileExists(ready); }) ? 0 : 1;
}

namespace {

// Sends `window` WM_NULL every 20 ms until a top-level window titled `until`
// is visible (or `limitMs` pass), timing how long each send waits for the
// program's user-interface thread to answer. Prints the longest wait, the
// number of sends and the time measured.
int Probe(HWND window, const wchar_t* until, DWORD limitMs) {
    LARGE_INTEGER frequency{}, begin{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    auto elapsedMs = [&](const LARGE_INTEGER& from) {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    };
    double longest = 0;
    long sends = 0;
    bool reached = false;
    while (elapsedMs(begin) < limitMs) {
        HWND awaited = FindProgramWindow(until);
        if (awaited && IsWindowVisible(awaited)) {
            reached = true;
            break;
        }
        LARGE_INTEGER sent{};
        QueryPerformanceCounter(&sent);
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kProbeTimeoutMs, &result)) {
            std::printf("no answer within %u ms\n", kProbeTimeoutMs);
            return 1;
        }
        double waited = elapsedMs(sent);
        if (waited > longest) longest = waited;
        ++sends;
        Sleep(kProbeIntervalMs);
    }
    std::printf("longest wait %.1f ms over %ld messages in %.0f ms%s\n", longest, sends, elapsedMs(begin),
                reached ? "" : " (the awaited window never came)");
    return reached ? 0 : 1;
}

}  // namespace

const char* OutsideStepsUsage() {
    return "  inject TITLE DLL [MS]           loads DLL into the program; waits for <DLL>.captions.txt\n"
           "  probe TITLE UNTIL MS            sends WM_NULL every 20 ms until a window UNTIL shows;\n"
           "                                  prints the longest wait\n";
}

int RunOutsideStep(const std::wstring& verb, int argc, wchar_t** argv) {
    if (verb != L"inject" && verb != L"probe") return -1;
    if (argc < 2) return 2;
    HWND window = FindProgramWindow(argv[0]);
    if (!window) {
        std::fprintf(stderr, "velmar-driver: no window titled as given\n");
        return 1;
    }
    if (verb == L"inject") return Inject(window, argv[1], argc > 2 ? std::wcstoul(argv[2], nullptr, 10) : 10000);
    if (argc < 3) return 2;
    return Probe(window, argv[1], std::wcstoul(argv[2], nullptr, 10));
}

}  // namespace velmar::driver
