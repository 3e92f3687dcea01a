// Requests to the rich-edit control (class RichEdit20A) that the windows of
// the program make. Each is one message, named after what it asks for; the
// streams collect or serve the whole text in one call.
#pragma once

#include <windows.h>
// after windows.h
#include <richedit.h>

#include <string>
#include <string_view>

namespace velmar::platform::editor {

inline constexpr wchar_t kLibrary[] = L"riched20.dll";
inline constexpr wchar_t kClassName[] = L"RichEdit20A";

void SetOptions(HWND editor, WPARAM operation, LPARAM options);  // EM_SETOPTIONS
LPARAM Options(HWND editor);                                     // EM_GETOPTIONS
void LimitText(HWND editor, LPARAM characters);                  // EM_EXLIMITTEXT
LRESULT TextLimit(HWND editor);                                  // EM_GETLIMITTEXT
void SetEventMask(HWND editor, LPARAM mask);                     // EM_SETEVENTMASK
LPARAM EventMask(HWND editor);                                   // EM_GETEVENTMASK

void SetSelection(HWND editor, LONG start, LONG end);    // EM_SETSEL
CHARRANGE Selection(HWND editor);                        // EM_EXGETSEL
void SetSelectionEx(HWND editor, LONG start, LONG end);  // EM_EXSETSEL

bool CanUndo(HWND editor);                         // EM_CANUNDO
bool CanPaste(HWND editor, UINT clipboardFormat);  // EM_CANPASTE
void Undo(HWND editor);                            // EM_UNDO
void EmptyUndoBuffer(HWND editor);                 // EM_EMPTYUNDOBUFFER
LRESULT TextLength(HWND editor);                   // WM_GETTEXTLENGTH
// The characters the control holds, counted as its text limit counts them
// (a paragraph end is one): EM_GETTEXTLENGTHEX with GTL_NUMCHARS.
LRESULT CharacterCount(HWND editor);

// The character format of the selection (SCF_SELECTION); `mask` says what to ask for.
CHARFORMAT2A SelectionCharFormat(HWND editor, DWORD mask);
// `scope` is SCF_SELECTION, SCF_SELECTION | SCF_WORD, SCF_ALL, ...
void SetCharFormat(HWND editor, WPARAM scope, const CHARFORMATA& format);
void SetCharFormat(HWND editor, WPARAM scope, const CHARFORMAT2A& format);
PARAFORMAT2 SelectionParaFormat(HWND editor, DWORD mask);  // EM_GETPARAFORMAT
// EM_GETPARAFORMAT with the shorter PARAFORMAT record (numbering and the
// other members that record has).
PARAFORMAT SelectionParaFormatShort(HWND editor, DWORD mask);
void SetParaFormat(HWND editor, const PARAFORMAT& format);  // EM_SETPARAFORMAT
void SetParaFormat(HWND editor, const PARAFORMAT2& format);

// EM_STREAMOUT of the whole content in `format` (SF_RTF or SF_TEXT): every
// chunk the control hands over is appended to one byte string. Throws
// std::bad_alloc when the content does not fit in memory.
std::string StreamOut(HWND editor, UINT format);
// EM_STREAMIN of `text` in `format`, replacing the whole content (or only the
// selection with SFF_SELECTION in `format`).
void StreamIn(HWND editor, UINT format, std::string_view text);
// WM_SETTEXT with the program's 8-bit text; text that begins with an RTF
// header loads as a formatted document.
void SetTextAnsi(HWND editor, std::string_view text);
// SetTextAnsi of a whole document, nothing of it cut: reading RTF respects the
// text limit on some platforms, so the limit is lifted while the text loads
// and put back after (the content may then be longer than the limit).
void SetDocumentAnsi(HWND editor, std::string_view text);

}  // namespace velmar::platform::editor
