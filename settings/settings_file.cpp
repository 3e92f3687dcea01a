#include "settings/settings_file.h"

#include <windows.h>

#include <cstring>

#include "platform/text.h"

namespace velmar {

namespace {

std::string CutToLimit(std::string text) {
    if (text.size() > kSettingsTextLimit) text.resize(kSettingsTextLimit);
    return text;
}

}  // namespace

std::string SettingsFilePath() {
    wchar_t module[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module, n < MAX_PATH ? n : MAX_PATH);
    folder.resize(folder.rfind(L'\\') == std::wstring::npos ? 0 : folder.rfind(L'\\') + 1);
    // The profile functions take an ANSI path. A folder whose name the code
    // page cannot spell is reached through its short (8.3) name instead of a
    // mangled one, so the file still lands beside the executable.
    if (!platform::FitsAnsi(folder)) {
        wchar_t shortName[MAX_PATH] = {};
        DWORD m = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
        if (m > 0 && m < MAX_PATH) folder.assign(shortName, m);
    }
    return CutToLimit(platform::AnsiFromWide(folder) + kSettingsFileName);
}

void SettingsFile(std::string_view mode, std::string& linkedFolder) {
    if (mode != "get" && mode != "save") return;
    SettingsFileAt(SettingsFilePath(), mode, linkedFolder);
}

void SettingsFileAt(const std::string& settingsPath, std::string_view mode, std::string& linkedFolder) {
    if (mode == "get") {
        char value[kSettingsTextLimit + 1] = {};
        GetPrivateProfileStringA(kSettingsSection, kSettingsKey, "", value, sizeof value, settingsPath.c_str());
        linkedFolder.assign(value, strnlen(value, sizeof value));
    }
    if (mode == "save") {
        std::string value = CutToLimit(linkedFolder.substr(0, linkedFolder.find('\0')));
        WritePrivateProfileStringA(kSettingsSection, kSettingsKey, value.c_str(), settingsPath.c_str());
    }
}

}  // namespace velmar
