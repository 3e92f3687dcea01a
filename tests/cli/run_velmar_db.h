// Runs velmar-db as a user runs it: a separate process, its output and status.
#pragma once

#include <cstdio>
#include <string>

#include "tests/support/fixture.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#ifndef VELMAR_DB_EXE
#error "VELMAR_DB_EXE must name the velmar-db executable"
#endif

namespace velmar::test {

struct VelmarDbOutcome {
    int status;
    std::string out;
    std::string err;
};

// One command-line argument in double quotes. On Windows, backslashes before
// the closing quote are doubled, or they would escape it.
inline std::string QuoteArgument(const std::string& s) {
#if defined(_WIN32)
    std::string escaped = s;
    std::size_t trailing = 0;
    while (trailing < s.size() && s[s.size() - 1 - trailing] == '\\') ++trailing;
    escaped.append(trailing, '\\');
    return "\"" + escaped + "\"";
#else
    return "\"" + s + "\"";
#endif
}

// A path of the build machine (the source or build tree) as a Windows program
// sees it: under Wine the host's root is the drive Z:.
inline std::string HostPath(std::string path) {
#if defined(_WIN32)
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
#endif
    return path;
}

inline std::string VelmarDbExecutable() {
    return HostPath(VELMAR_DB_EXE);
}

// Runs velmar-db with `arguments` (UTF-8, quoted by the caller) through the
// shell, in the folder `workingFolder` when one is given.
inline VelmarDbOutcome RunVelmarDb(const std::string& arguments, const std::string& workingFolder = "") {
    TempFolder temp;
    std::string errPath = (temp.Path() / "err.txt").string();
    std::string command = QuoteArgument(VelmarDbExecutable()) + " " + arguments + " 2>" + QuoteArgument(errPath);
#if defined(_WIN32)
    if (!workingFolder.empty()) command = "cd /d " + QuoteArgument(workingFolder) + " && " + command;
#else
    if (!workingFolder.empty()) command = "cd " + QuoteArgument(workingFolder) + " && " + command;
#endif
#if defined(_WIN32)
    command = "\"" + command + "\"";  // cmd /c strips one pair of quotes
    int wn = MultiByteToWideChar(CP_UTF8, 0, command.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wn), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, command.c_str(), -1, wide.data(), wn);
    std::FILE* pipe = _wpopen(wide.c_str(), L"rb");
#else
    std::FILE* pipe = popen(command.c_str(), "r");
#endif
    VelmarDbOutcome run{-1, {}, {}};
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
#if defined(_WIN32)
    run.status = _pclose(pipe);
#else
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    std::vector<unsigned char> err = ReadBytes(errPath);
    run.err.assign(err.begin(), err.end());
    return run;
}

}  // namespace velmar::test
