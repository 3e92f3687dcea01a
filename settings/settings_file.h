// The one thing the program remembers between runs: the linked database
// folder, kept as key "Vinculado" of section "Base Datos" in
// Configuracion.ini beside the executable (never the current directory).
#pragma once

#include <string>
#include <string_view>

namespace velmar {

inline constexpr char kSettingsFileName[] = "Configuracion.ini";
inline constexpr char kSettingsSection[] = "Base Datos";
inline constexpr char kSettingsKey[] = "Vinculado";
// Paths and values pass through 260-byte buffers: at most 259 bytes survive.
inline constexpr std::size_t kSettingsTextLimit = 259;

// The settings file's path in the ANSI code page: the running executable's
// folder (up to its last backslash) and the file name, cut to 259 bytes.
std::string SettingsFilePath();

// "get": the linked folder becomes the stored value ("" when the file, the
// section or the key is missing). "save": the linked folder is written. The
// modes are case-sensitive; any other mode does nothing. Failures are silent.
void SettingsFile(std::string_view mode, std::string& linkedFolder);
// The same on an explicit settings file path.
void SettingsFileAt(const std::string& settingsPath, std::string_view mode, std::string& linkedFolder);

}  // namespace velmar
