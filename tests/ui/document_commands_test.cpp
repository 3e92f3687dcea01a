// The document commands on the real main window with scripted file dialogs
// and answers: what each dialog is asked for, round trips through RTF and
// plain-text files, the overwrite question, and saves that fail.
#include "ui/document_commands.h"

#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <richedit.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "platform/editor.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/main_window_ids.h"

namespace velmar::test {
namespace {

namespace fs = std::filesystem;
namespace ids = ui::main_ids;
namespace ed = platform::editor;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::wstring> NamesIn(const fs::path& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder.wstring() + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

class DocumentCommandsTest : public MainWindowFixture {
protected:
    std::string PathOf(const std::string& name) const { return (folder_.Path() / name).string(); }

    void SetText(const char* text) {
        ed::SetTextAnsi(Editor(), text);
        PumpPending();
    }
    void Bold(LONG start, LONG end) {
        CHARFORMAT2A format{};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_BOLD;
        format.dwEffects = CFE_BOLD;
        ed::SetSelection(Editor(), start, end);
        ed::SetCharFormat(Editor(), SCF_SELECTION, format);
    }
    bool IsBold(LONG start, LONG end) {
        ed::SetSelection(Editor(), start, end);
        CHARFORMAT2A format = ed::SelectionCharFormat(Editor(), CFM_BOLD);
        return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
    }
    std::string PlainText() { return ed::StreamOut(Editor(), SF_TEXT); }

    // Runs a menu command with the file dialog answering `path`.
    void Run(int command, const std::optional<std::string>& path) {
        modal_.fileAnswers.push_back(path);
        Command(command);
    }
    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> texts;
        for (const Asked& a : modal_.MessageBoxes()) texts.push_back(a.text);
        return texts;
    }
    void CaptureTemplate() {
        state_.display.text = "{\\rtf1 plantilla #Nombre}";
        state_.display.captured = true;
    }

    TempFolder folder_;
};

// ---- The file dialogs ------------------------------------------------------

struct DialogCase {
    int command;
    bool save;
    const wchar_t* filter;
    const char* extension;
};

TEST_F(DocumentCommandsTest, EachCommandAsksItsDialogWithFilterExtensionAndFlags) {
    const DWORD common = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_ENABLESIZING;
    const DialogCase cases[] = {
        {ids::kReadRtf, false, L"RTF\0*.rtf\0", "RTF"},
        {ids::kImportTxt, false, L"TXT\0*.txt\0", "TXT"},
        {ids::kWriteRtf, true, L"RTF\0*.rtf\0", "RTF"},
        {ids::kExportTxt, true, L"TXT\0*.txt\0", "TXT"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        modal_.asked.clear();
        SetText("sin cambios");
        Run(cases[i].command, std::nullopt);
        ASSERT_EQ(modal_.asked.size(), 1u) << "a cancelled dialog: no question, no message";
        const Asked& asked = modal_.asked[0];
        EXPECT_EQ(asked.kind, Asked::Kind::File);
        EXPECT_EQ(asked.owner, Window());
        EXPECT_EQ(asked.save, cases[i].save);
        EXPECT_EQ(asked.text, std::wstring(cases[i].filter, 10));
        EXPECT_EQ(asked.defaultExtension, cases[i].extension);
        EXPECT_EQ(asked.type, cases[i].save ? common : common | OFN_FILEMUSTEXIST);
        EXPECT_FALSE(asked.type & OFN_OVERWRITEPROMPT) << "the program asks its own question";
        EXPECT_EQ(PlainText(), "sin cambios");
    }
}

// ---- New, read, write ------------------------------------------------------

TEST_F(DocumentCommandsTest, NuevoEmptiesTheEditorAndKeepsTheTemplate) {
    CaptureTemplate();
    Command(ids::kNew);
    EXPECT_EQ(ed::TextLength(Editor()), 0);
    EXPECT_TRUE(state_.display.captured);
    EXPECT_TRUE(modal_.asked.empty()) << "nothing is asked";
}

TEST_F(DocumentCommandsTest, RtfRoundTripKeepsTextAndFormatAndTheFileHasOneCrLfMore) {
    SetText("negrita y normal");
    Bold(0, 7);
    std::string stream = ed::StreamOut(Editor(), SF_RTF);
    std::string path = PathOf("documento.rtf");

    Run(ids::kWriteRtf, path);
    ASSERT_EQ(Messages(), std::vector<std::wstring>{L"Fichero grabado ..."});
    Asked saved = modal_.MessageBoxes()[0];
    EXPECT_EQ(saved.title, L"Programador");
    EXPECT_EQ(saved.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(saved.owner, nullptr);
    EXPECT_EQ(ReadBytes(path), stream + "\r\n");

    Command(ids::kNew);
    CaptureTemplate();
    Run(ids::kReadRtf, path);
    EXPECT_EQ(PlainText(), "negrita y normal");
    EXPECT_TRUE(IsBold(0, 7));
    EXPECT_FALSE(IsBold(8, 16));
    EXPECT_FALSE(state_.display.captured) << "the template is discarded after a read";
    EXPECT_TRUE(state_.display.text.empty());
    EXPECT_EQ(Messages().size(), 1u) << "a read says nothing";
}

TEST_F(DocumentCommandsTest, TxtRoundTripKeepsTheLinesAndDropsTheAddedCrLf) {
    SetText("primera linea\r\nsegunda \xe1\xe9\xf1\r\n\r\ncuarta");
    std::string stream = PlainText();
    std::string path = PathOf("texto.txt");
    Run(ids::kExportTxt, path);
    EXPECT_EQ(ReadBytes(path), stream + "\r\n");

    Command(ids::kNew);
    Run(ids::kImportTxt, path);
    EXPECT_EQ(PlainText(), stream);
}

TEST_F(DocumentCommandsTest, ImportTxtOfAnRtfFileShowsItFormattedAndReadRtfOfTextShowsText) {
    std::string rtf = PathOf("formateado.txt");
    WriteBytes(rtf, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n\\pard\\b gruesa\\b0  fina\\par\r\n}\r\n");
    Run(ids::kImportTxt, rtf);
    EXPECT_EQ(PlainText().substr(0, 11), "gruesa fina");
    EXPECT_TRUE(IsBold(0, 6));
    EXPECT_FALSE(IsBold(7, 11));

    std::string text = PathOf("plano.rtf");
    WriteBytes(text, "solo \\b texto\r\n");
    Run(ids::kReadRtf, text);
    EXPECT_EQ(PlainText(), "solo \\b texto");
}

TEST_F(DocumentCommandsTest, CrOnlyFileReadsWithCrLfAndLfOnlyFileReadsUnchanged) {
    std::string crOnly = PathOf("cr.txt");
    WriteBytes(crOnly, "uno\rdos\rtres");
    std::string text;
    ASSERT_EQ(ui::ReadDocumentFile(crOnly, text), ui::DocumentRead::Read);
    EXPECT_EQ(text, "uno\r\ndos\r\ntres");
    Run(ids::kImportTxt, crOnly);
    std::string shown = PlainText();
    SetText("uno\r\ndos\r\ntres");
    EXPECT_EQ(shown, PlainText()) << "three lines in the editor";

    std::string lfOnly = PathOf("lf.txt");
    WriteBytes(lfOnly, "uno\ndos\ntres\n");
    ASSERT_EQ(ui::ReadDocumentFile(lfOnly, text), ui::DocumentRead::Read);
    EXPECT_EQ(text, "uno\ndos\ntres\n") << "one line: the LFs are ordinary text";
}

TEST(JoinDocumentLines, SplitsAtCrCountsCrLfOnceKeepsLoneLfAndEndsWithoutTerminator) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a", "a"},
        {"a\r\n", "a"},
        {"a\r", "a"},
        {"a\r\nb", "a\r\nb"},
        {"a\rb\rc", "a\r\nb\r\nc"},
        {"a\nb\nc", "a\nb\nc"},
        {"a\r\n\r\n", "a\r\n"},
        {"\r\n", ""},
        {"\r\n\r\nx", "\r\n\r\nx"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {"a\n\rb", "a\n\r\nb"},
        {"a\r\n\nb", "a\r\n\nb"},
        {std::string("a\0b\r\nc", 6), std::string("a\0b\r\nc", 6)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ui::JoinDocumentLines(cases[i].first), cases[i].second) << "case " << i;
}

TEST_F(DocumentCommandsTest, CancelledOrMissingFileChangesNothingAndSaysNothing) {
    SetText("queda");
    CaptureTemplate();
    Run(ids::kReadRtf, std::nullopt);
    Run(ids::kImportTxt, PathOf("no-existe.txt"));
    Run(ids::kReadRtf, "   ");
    EXPECT_EQ(PlainText(), "queda");
    EXPECT_TRUE(state_.display.captured);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DocumentCommandsTest, ChosenPathIsTrimmedOfBlanks) {
    SetText("recortado");
    Run(ids::kExportTxt, "  " + PathOf("recortado.txt") + "\t ");
    EXPECT_EQ(ReadBytes(PathOf("recortado.txt")), "recortado\r\n");
    EXPECT_EQ(NamesIn(folder_.Path()), std::vector<std::wstring>{L"recortado.txt"});
}

// ---- The overwrite question ------------------------------------------------

TEST_F(DocumentCommandsTest, NoToTheOverwriteQuestionLeavesTheFileUntouchedWithoutAMessage) {
    std::string path = PathOf("existe.rtf");
    WriteBytes(path, "contenido anterior");
    SetText("nuevo");
    modal_.messageBoxAnswers.push_back(IDNO);
    Run(ids::kWriteRtf, path);
    ASSERT_EQ(modal_.MessageBoxes().size(), 1u) << "only the question";
    Asked question = modal_.MessageBoxes()[0];
    EXPECT_EQ(question.text, L"El fichero existe ...\r\nDesea sobreescribir ?");
    EXPECT_EQ(question.title, L"Programador");
    EXPECT_EQ(question.type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(question.owner, nullptr);
    EXPECT_EQ(ReadBytes(path), "contenido anterior");
    EXPECT_EQ(NamesIn(folder_.Path()).size(), 1u);
}

TEST_F(DocumentCommandsTest, YesReplacesEvenAReadOnlyFile) {
    std::string path = PathOf("protegido.txt");
    WriteBytes(path, "contenido anterior, mas largo que el nuevo");
    ASSERT_TRUE(SetFileAttributesW(platform::WideFromAnsi(path).c_str(), FILE_ATTRIBUTE_READONLY));
    SetText("nuevo");
    modal_.messageBoxAnswers.push_back(IDYES);
    Run(ids::kExportTxt, path);
    EXPECT_EQ(Messages(),
              (std::vector<std::wstring>{L"El fichero existe ...\r\nDesea sobreescribir ?", L"Fichero grabado ..."}));
    EXPECT_EQ(ReadBytes(path), "nuevo\r\n");
    EXPECT_EQ(NamesIn(folder_.Path()), std::vector<std::wstring>{L"protegido.txt"}) << "no temporary file left";
}

TEST_F(DocumentCommandsTest, SavingToANewNameAsksNothingAndConfirms) {
    SetText("nuevo");
    Run(ids::kWriteRtf, PathOf("nuevo.rtf"));
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Fichero grabado ..."});
    EXPECT_EQ(ReadBytes(PathOf("nuevo.rtf")).rfind("{\\rtf", 0), 0u);
}

// "Salir" chosen while the overwrite question waits (the box has no owner, so
// the menu can still be used): the answer saves the document the editor
// holds, and the window ends only when the program's loop is back in control.
TEST_F(DocumentCommandsTest, SalirWhileTheOverwriteQuestionWaitsStillSavesTheDocument) {
    for (int command : {ids::kWriteRtf, ids::kExportTxt}) {
        SCOPED_TRACE(command);
        if (!Window()) {
            state_.ending = false;
            ASSERT_TRUE(OpenMainWindow().Window());
        }
        std::string path = PathOf(command == ids::kWriteRtf ? "carta.rtf" : "carta.txt");
        WriteBytes(path, "contenido anterior");
        SetText("el documento del usuario");
        modal_.messageBoxAnswers.push_back(IDYES);
        // The file dialog first, then "Salir" while the question is on screen.
        modal_.whileShown = [this] { modal_.whileShown = [this] { Command(ids::kQuit); }; };
        Run(command, path);
        EXPECT_NE(ReadBytes(path).find("el documento del usuario"), std::string::npos) << ReadBytes(path);
        EXPECT_EQ(Messages().back(), L"Fichero grabado ...");
        HWND window = Window();
        EXPECT_FALSE(IsWindowVisible(window));
        window_->Run();
        EXPECT_FALSE(IsWindow(window));
        modal_.asked.clear();
    }
}

// "Salir" chosen while the open dialog waits: the file chosen afterwards is
// not read into the editor nobody sees any more, so a save still waiting on
// its question writes the document the user saw.
TEST_F(DocumentCommandsTest, AfterSalirNoFileIsReadIntoTheEditor) {
    std::string path = PathOf("otra.txt");
    WriteBytes(path, "otro documento");
    SetText("lo que se ve");
    modal_.whileShown = [this] { Command(ids::kQuit); };
    Run(ids::kImportTxt, path);
    EXPECT_EQ(PlainText(), "lo que se ve");
    window_->Run();
}

// ---- Saves that fail -------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveIntoAFolderThatDoesNotExistSaysItWasNotSaved) {
    SetText("perdido");
    Run(ids::kExportTxt, PathOf("no-hay-carpeta\\fichero.txt"));
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"No se ha podido grabar el fichero ..."});
    EXPECT_FALSE(fs::exists(folder_.Path() / "no-hay-carpeta"));
}

TEST_F(DocumentCommandsTest, FailedReplaceKeepsTheOldFileItsReadOnlyAttributeAndSaysSo) {
    std::string path = PathOf("abierto.rtf");
    WriteBytes(path, "contenido anterior");
    std::wstring wide = platform::WideFromAnsi(path);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    // Another program holds the file open and lets nobody write or delete it.
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    SetText("nuevo");
    modal_.messageBoxAnswers.push_back(IDYES);
    Run(ids::kWriteRtf, path);
    CloseHandle(held);

    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"El fichero existe ...\r\nDesea sobreescribir ?",
                                                     L"No se ha podido grabar el fichero ..."}));
    EXPECT_EQ(ReadBytes(path), "contenido anterior");
    EXPECT_TRUE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_READONLY) << "the old file as it was";
    EXPECT_EQ(NamesIn(folder_.Path()), std::vector<std::wstring>{L"abierto.rtf"}) << "no temporary file left";
}

TEST_F(DocumentCommandsTest, YesOnAFolderLeavesTheFolderAndSaysItWasNotSaved) {
    fs::create_directory(folder_.Path() / "carpeta.txt");
    WriteBytes(folder_.Path() / "carpeta.txt" / "dentro.txt", "dentro");
    SetText("nuevo");
    modal_.messageBoxAnswers.push_back(IDYES);
    Run(ids::kExportTxt, PathOf("carpeta.txt"));
    EXPECT_EQ(Messages().back(), L"No se ha podido grabar el fichero ...");
    EXPECT_EQ(ReadBytes(folder_.Path() / "carpeta.txt" / "dentro.txt"), "dentro");
}

TEST_F(DocumentCommandsTest, UnreadableFileLeavesTheEditorAsItWasAndSaysSo) {
    std::string path = PathOf("bloqueado.rtf");
    WriteBytes(path, "{\\rtf1 otro}");
    HANDLE held = CreateFileW(platform::WideFromAnsi(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SetText("sin guardar");
    CaptureTemplate();
    Run(ids::kReadRtf, path);
    CloseHandle(held);
    EXPECT_EQ(PlainText(), "sin guardar");
    EXPECT_TRUE(state_.display.captured);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"No se ha podido leer el fichero ..."});
}

// A document file longer than the program reads is refused before anything
// is held (a sparse file: no disk space needed), and the editor keeps its text.
TEST_F(DocumentCommandsTest, DocumentLongerThanTheLimitIsRefusedAndTheEditorKeepsItsText) {
    for (uint64_t size : {ui::kMaxDocumentBytes + 1, ui::kMaxDocumentBytes * 64}) {
        SCOPED_TRACE(size);
        std::string path = PathOf("enorme.rtf");
        HANDLE file = CreateFileW(platform::WideFromAnsi(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
        modal_.asked.clear();
        SetText("sin guardar");
        CaptureTemplate();
        Run(ids::kReadRtf, path);
        EXPECT_EQ(PlainText(), "sin guardar");
        EXPECT_TRUE(state_.display.captured);
        EXPECT_EQ(Messages(), std::vector<std::wstring>{L"El fichero es demasiado grande para leerlo ..."});
    }
    // A file of exactly the limit is still read.
    std::string text;
    std::string small = PathOf("corto.txt");
    WriteBytes(small, "abc");
    EXPECT_EQ(ui::ReadDocumentFile(small, text, 3), ui::DocumentRead::Read);
    EXPECT_EQ(ui::ReadDocumentFile(small, text, 2), ui::DocumentRead::TooLarge);
    EXPECT_EQ(text, "abc");
}

// A document longer than the editor's limit of 1,000,000 characters: reading
// it (RTF or text) leaves the whole document in the editor and says that it
// is longer than the editor takes; the limit stays. One just under the limit
// reads without a word.
TEST_F(DocumentCommandsTest, ADocumentBeyondTheEditorsLimitIsReadWholeAndSaidToBeTooLarge) {
    ASSERT_EQ(ed::TextLimit(Editor()), 1000000);
    struct Case {
        int command;
        bool rtf;
        int lines;  // of 1000 characters each in the editor: 999 letters and the paragraph end
        bool told;
    };
    const Case cases[] = {
        {ids::kImportTxt, false, 1200, true}, {ids::kReadRtf, true, 1200, true}, {ids::kImportTxt, false, 999, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lines << (c.rtf ? " RTF" : " TXT"));
        std::string body;
        for (int i = 0; i < c.lines; ++i) {
            std::string line = std::to_string(i);
            line.resize(999, 'a');
            body += line + (c.rtf ? "\\par\r\n" : "\r\n");
        }
        std::string path = PathOf(c.rtf ? "largo.rtf" : "largo.txt");
        WriteBytes(path, c.rtf ? "{\\rtf1\\ansi " + body + "}" : body);
        modal_.asked.clear();
        SetText("antes");
        Run(c.command, path);
        // Every line but the last ends in a paragraph (the last one's end may go).
        EXPECT_GE(ed::CharacterCount(Editor()), c.lines * 1000 - 1) << "the whole document";
        EXPECT_EQ(ed::TextLimit(Editor()), 1000000);
        std::string text = PlainText();
        EXPECT_NE(text.find(std::to_string(c.lines - 1) + "aaa"), std::string::npos) << "its last line is there";
        std::vector<std::wstring> told;
        if (c.told) told.push_back(L"El documento es demasiado grande para el editor ...");
        EXPECT_EQ(Messages(), told);
    }
}

// A handler that throws (here: memory running out while the file dialog is
// open) is reported, and the window, its text and the next command go on.
TEST_F(DocumentCommandsTest, AFailingCommandIsReportedAndTheProgramKeepsRunning) {
    SetText("sin guardar");
    modal_.whileShown = [] { throw std::bad_alloc(); };
    Command(ids::kReadRtf);
    ASSERT_TRUE(IsWindow(Window()));
    EXPECT_EQ(PlainText(), "sin guardar");
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"No se ha podido completar la orden ..."});
    EXPECT_EQ(modal_.MessageBoxes().back().title, L"Programador");

    Run(ids::kExportTxt, PathOf("despues.txt"));
    EXPECT_EQ(Messages().back(), L"Fichero grabado ...");
    EXPECT_EQ(ReadBytes(folder_.Path() / "despues.txt"), "sin guardar\r\n");
}

// A save that runs out of room on the disk: the case where deleting the old
// file first and then writing the new one would lose both. It needs a folder
// on a nearly full file system, which tests/ui/full_disk_test.sh provides
// when it may mount one; otherwise the test is skipped.
TEST_F(DocumentCommandsTest, SaveThatRunsOutOfRoomKeepsTheOldFileAndSaysSo) {
    wchar_t small[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VELMAR_SMALL_DISK_FOLDER", small, MAX_PATH))
        GTEST_SKIP() << "VELMAR_SMALL_DISK_FOLDER names no folder on a small file system";
    fs::path folder(small);
    fs::path path = folder / "viejo.rtf";
    const std::string old = "{\\rtf1 el documento anterior}\r\n";
    WriteBytes(path, old);
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(folder.wstring().c_str(), &free, nullptr, nullptr));

    std::string large;
    while (large.size() < 2 * free.QuadPart + 4096) large += "una linea de texto que no cabe en el disco\r\n";
    ed::SetTextAnsi(Editor(), large);
    modal_.messageBoxAnswers.push_back(IDYES);
    Run(ids::kExportTxt, path.string());

    EXPECT_EQ(Messages().back(), L"No se ha podido grabar el fichero ...");
    std::string now = ReadBytes(path);
    EXPECT_TRUE(now == old) << "the old file changed: " << now.size() << " bytes now";
    EXPECT_EQ(NamesIn(folder), std::vector<std::wstring>{L"viejo.rtf"}) << "no temporary file left";
}

// ---- Long paths ------------------------------------------------------------

TEST_F(DocumentCommandsTest, PathLongerThanTheOldBuffersIsWrittenAndReadWhole) {
    // 273 characters was the old limit: a longer name must name this file,
    // not the one its first 273 characters would name.
    std::string name = std::string(250, 'n') + ".rtf";
    std::string path = PathOf(name);
    ASSERT_GT(path.size(), 273u);
    SetText("ruta larga");
    Bold(0, 4);
    Run(ids::kWriteRtf, path);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Fichero grabado ..."});
    EXPECT_EQ(NamesIn(folder_.Path()), std::vector<std::wstring>{platform::WideFromAnsi(name)});

    Command(ids::kNew);
    Run(ids::kReadRtf, path);
    EXPECT_EQ(PlainText(), "ruta larga");
    EXPECT_TRUE(IsBold(0, 4));

    // Writing it again finds it and asks.
    modal_.messageBoxAnswers.push_back(IDYES);
    Run(ids::kWriteRtf, path);
    ASSERT_EQ(Messages().size(), 3u);
    EXPECT_EQ(Messages()[1], L"El fichero existe ...\r\nDesea sobreescribir ?");
    EXPECT_EQ(NamesIn(folder_.Path()).size(), 1u);
}

// Paths around the 260-character limit, RTF and TXT, in two deep folders: up
// to 245 characters in one of 215, where the target is the longer path, and
// from 246 in one of 240, where the temporary file beside it is longer still.
TEST_F(DocumentCommandsTest, SavesAndReadsBackForEveryPathLengthFrom225To265) {
    std::wstring base = platform::AbsolutePath(folder_.Path().string());
    ASSERT_LT(base.size(), 200u);
    std::vector<std::wstring> deep;
    for (std::size_t size : {215u, 240u}) {
        deep.push_back(base + L"\\" + std::wstring(size - base.size() - 1, L'c'));
        ASSERT_TRUE(CreateDirectoryW(platform::InPathForm(deep.back(), true).c_str(), nullptr));
    }
    for (std::size_t length = 225; length <= 265; ++length) {
        std::string folder = platform::AnsiFromWide(deep[length >= 246 ? 1 : 0]);
        for (bool rtf : {true, false}) {
            SCOPED_TRACE(::testing::Message() << length << (rtf ? " RTF" : " TXT"));
            const char* extension = rtf ? ".rtf" : ".txt";
            std::string path = folder + "\\" + std::string(length - folder.size() - 5, 'd') + extension;
            ASSERT_EQ(path.size(), length);
            modal_.asked.clear();
            SetText(rtf ? "ruta de rtf" : "ruta de txt");
            Run(rtf ? ids::kWriteRtf : ids::kExportTxt, path);
            EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Fichero grabado ..."});
            Command(ids::kNew);
            Run(rtf ? ids::kReadRtf : ids::kImportTxt, path);
            EXPECT_EQ(PlainText(), rtf ? "ruta de rtf" : "ruta de txt");
            EXPECT_TRUE(DeleteFileW(platform::InPathForm(platform::WideFromAnsi(path), true).c_str()));
        }
    }
    for (const std::wstring& folder : deep) {
        EXPECT_TRUE(NamesIn(platform::InPathForm(folder, true)).empty()) << "no temporary file left";
        RemoveDirectoryW(platform::InPathForm(folder, true).c_str());
    }
}

}  // namespace
}  // namespace velmar::test
