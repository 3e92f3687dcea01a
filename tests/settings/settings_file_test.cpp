// The settings file through the platform's private-profile functions.
#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/fixture.h"

namespace velmar::test {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return (folder_.Path() / "Configuracion.ini").string(); }
    std::string FileText() const {
        std::ifstream in(Path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void WriteFileText(const std::string& text) const { std::ofstream(Path(), std::ios::binary) << text; }
    TempFolder folder_;
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsAsEmptyReplacingTheOldValue) {
    std::string linked = "C:\\Viejo\\";
    SettingsFileAt(Path(), "get", linked);
    EXPECT_EQ(linked, "");

    WriteFileText("[Otra]\r\nVinculado=C:\\No\\\r\n");
    linked = "x";
    SettingsFileAt(Path(), "get", linked);
    EXPECT_EQ(linked, "") << "key in another section";

    WriteFileText("[Base Datos]\r\nOtra=C:\\No\\\r\n");
    linked = "x";
    SettingsFileAt(Path(), "get", linked);
    EXPECT_EQ(linked, "") << "other key in the section";
}

TEST_F(SettingsFileTest, SaveWritesTheSectionAndKeyThatGetReadsBack) {
    std::string linked = "C:\\Datos\\Clientes\\";
    SettingsFileAt(Path(), "save", linked);
    EXPECT_NE(FileText().find("[Base Datos]"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find("Vinculado=C:\\Datos\\Clientes\\"), std::string::npos) << FileText();
    std::string read;
    SettingsFileAt(Path(), "get", read);
    EXPECT_EQ(read, linked);

    linked = "";
    SettingsFileAt(Path(), "save", linked);
    read = "x";
    SettingsFileAt(Path(), "get", read);
    EXPECT_EQ(read, "");
}

TEST_F(SettingsFileTest, SaveKeepsOtherSectionsAndKeys) {
    WriteFileText("[Ventana]\r\nAncho=475\r\n[Base Datos]\r\nNota=1\r\nVinculado=C:\\A\\\r\n");
    std::string linked = "C:\\B\\";
    SettingsFileAt(Path(), "save", linked);
    std::string text = FileText();
    EXPECT_NE(text.find("Ancho=475"), std::string::npos) << text;
    EXPECT_NE(text.find("Nota=1"), std::string::npos) << text;
    EXPECT_EQ(text.find("C:\\A\\"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, ValuesAreCutTo259BytesBothWays) {
    std::string longValue = "C:\\" + std::string(300, 'a') + "\\";
    std::string linked = longValue;
    SettingsFileAt(Path(), "save", linked);
    EXPECT_EQ(linked, longValue) << "the linked folder itself is not changed";
    EXPECT_NE(FileText().find("Vinculado=" + longValue.substr(0, 259) + "\r\n"), std::string::npos);

    WriteFileText("[Base Datos]\r\nVinculado=" + longValue + "\r\n");
    std::string read;
    SettingsFileAt(Path(), "get", read);
    EXPECT_EQ(read, longValue.substr(0, 259));
}

TEST_F(SettingsFileTest, ModesAreCaseSensitiveAndExact) {
    std::string linked = "C:\\Datos\\";
    for (const char* mode : {"Get", "GET", "Save", "SAVE", "get ", "", "load"}) {
        SettingsFileAt(Path(), mode, linked);
        EXPECT_EQ(linked, "C:\\Datos\\") << mode;
    }
    EXPECT_FALSE(std::filesystem::exists(Path())) << "no mode but save writes";
}

TEST_F(SettingsFileTest, FileLiesBesideTheExecutableWhateverTheCurrentDirectory) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::filesystem::path expected = std::filesystem::path(module).parent_path() / "Configuracion.ini";

    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder_.Path().c_str());
    std::string path = SettingsFilePath();
    SetCurrentDirectoryW(previous);

    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(path).parent_path(), expected.parent_path())) << path;
    EXPECT_EQ(std::filesystem::path(path).filename(), "Configuracion.ini");
}

}  // namespace
}  // namespace velmar::test
