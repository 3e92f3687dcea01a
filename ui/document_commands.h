// The document commands of the "Menú" menu and what they are built from: the
// file dialogs, the existence check, reading a document file and taking the
// editor's content out. The document lives only in the editor: there is no
// current file name and no record of unsaved changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>


namespace velmar::ui {

class MainWindow;

enum class DocumentKind { Rtf, Txt };

// The commands of the "Menú" menu; the main window applies the guards first.
// "Nuevo": empties the editor.
void NewDocument(MainWindow& window);
// "Leer RTF", "Importar de TXT": a chosen file into the editor.
void ReadDocument(MainWindow& window, DocumentKind kind);
// "Grabar RTF", "Exportar a TXT": the editor's content into a chosen file.
void WriteDocument(MainWindow& window, DocumentKind kind);

enum class FileDialogMode { Open, Save };

// The user's messages of the document commands (title "Programador").
inline constexpr wchar_t kOverwriteQuestion[] = L"El fichero existe ...\r\nDesea sobreescribir ?";
inline constexpr wchar_t kSavedMessage[] = L"Fichero grabado ...";
inline constexpr wchar_t kNotSavedMessage[] = L"No se ha podido grabar el fichero ...";
inline constexpr wchar_t kNotReadMessage[] = L"No se ha podido leer el fichero ...";
inline constexpr wchar_t kTooLargeMessage[] = L"El fichero es demasiado grande para leerlo ...";
inline constexpr wchar_t kBeyondEditorLimitMessage[] = L"El documento es demasiado grande para el editor ...";

// The longest document file that is read. The editor holds at most 1,000,000
// characters; even a richly formatted RTF document of that many stays far
// below this, while the file, its joined lines and the wide text the editor
// receives are all held at once while it is read.
inline constexpr uint64_t kMaxDocumentBytes = 64ull << 20;

// Shows the open or save dialog for documents of `kind`, owned by the main
// window. The chosen path trimmed of blanks at both ends, whatever its length;
// empty when cancelled. The overwrite question is the caller's.
std::string ChooseDocumentFile(MainWindow& window, DocumentKind kind, FileDialogMode mode);

// True when a file or folder exists at `path` trimmed of blanks.
bool FileExists(std::string_view path);

// The file's lines joined with CR LF: a line ends at a CR (with the LF right
// after it, if any) or at the end of the file; a LF alone is ordinary text.
// No terminator follows the last line.
std::string JoinDocumentLines(std::string_view bytes);
// The document text of the file at `path`: its lines joined as above. A file
// that cannot be read, or that is longer than `maxBytes` (or than memory can
// hold), leaves `text` as it was.
enum class DocumentRead { Read, Unreadable, TooLarge };
DocumentRead ReadDocumentFile(std::string_view path, std::string& text, uint64_t maxBytes = kMaxDocumentBytes);

// The editor's whole content streamed out as SF_RTF or SF_TEXT.
std::string EditorText(HWND editor, UINT streamFormat);

// Blanks at both ends of a chosen path are not part of it.
std::string TrimBlanks(std::string_view text);

}  // namespace velmar::ui
