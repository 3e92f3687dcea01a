#include "platform/editor.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/wine.h"

namespace velmar::platform::editor {

void SetOptions(HWND editor, WPARAM operation, LPARAM options) {
    SendMessageW(editor, EM_SETOPTIONS, operation, options);
}
LPARAM Options(HWND editor) {
    return SendMessageW(editor, EM_GETOPTIONS, 0, 0);
}
void LimitText(HWND editor, LPARAM characters) {
    SendMessageW(editor, EM_EXLIMITTEXT, 0, characters);
}
LRESULT TextLimit(HWND editor) {
    return SendMessageW(editor, EM_GETLIMITTEXT, 0, 0);
}
void SetEventMask(HWND editor, LPARAM mask) {
    SendMessageW(editor, EM_SETEVENTMASK, 0, mask);
}
LPARAM EventMask(HWND editor) {
    return SendMessageW(editor, EM_GETEVENTMASK, 0, 0);
}

void SetSelection(HWND editor, LONG start, LONG end) {
    SendMessageW(editor, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}
CHARRANGE Selection(HWND editor) {
    CHARRANGE range{};
    SendMessageW(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}
void SetSelectionEx(HWND editor, LONG start, LONG end) {
    CHARRANGE range{start, end};
    SendMessageW(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

bool CanUndo(HWND editor) {
    return SendMessageW(editor, EM_CANUNDO, 0, 0) != 0;
}
bool CanPaste(HWND editor, UINT clipboardFormat) {
    return SendMessageW(editor, EM_CANPASTE, clipboardFormat, 0) != 0;
}
void Undo(HWND editor) {
    SendMessageW(editor, EM_UNDO, 0, 0);
}
void EmptyUndoBuffer(HWND editor) {
    SendMessageW(editor, EM_EMPTYUNDOBUFFER, 0, 0);
}
LRESULT TextLength(HWND editor) {
    return SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0);
}
LRESULT CharacterCount(HWND editor) {
    GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return SendMessageW(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0);
}

CHARFORMAT2A SelectionCharFormat(HWND editor, DWORD mask) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}
namespace {

// Wine's rich-edit control formats the word at an empty selection without
// laying its paragraph out again, and the next caret update (the editor
// getting the focus) then aborts the whole process on an internal check. A
// paragraph request with an empty mask changes nothing and lays out every
// paragraph waiting for it. Only under Wine: on Windows it would be one more
// request after every word format.
void LayOutAfterWordFormat(HWND editor, WPARAM scope) {
    if (!(scope & SCF_WORD) || !RunningUnderWine()) return;
    CHARRANGE selection = Selection(editor);
    if (selection.cpMin != selection.cpMax) return;
    PARAFORMAT nothing{};
    nothing.cbSize = sizeof(nothing);
    SendMessageW(editor, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&nothing));
}

}  // namespace

void SetCharFormat(HWND editor, WPARAM scope, const CHARFORMATA& format) {
    SendMessageA(editor, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&format));
    LayOutAfterWordFormat(editor, scope);
}
void SetCharFormat(HWND editor, WPARAM scope, const CHARFORMAT2A& format) {
    SendMessageA(editor, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&format));
    LayOutAfterWordFormat(editor, scope);
}
PARAFORMAT2 SelectionParaFormat(HWND editor, DWORD mask) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    SendMessageW(editor, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}
PARAFORMAT SelectionParaFormatShort(HWND editor, DWORD mask) {
    PARAFORMAT format{};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    SendMessageW(editor, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}
void SetParaFormat(HWND editor, const PARAFORMAT& format) {
    SendMessageW(editor, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}
void SetParaFormat(HWND editor, const PARAFORMAT2& format) {
    SendMessageW(editor, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

namespace {

struct Sink {
    std::string text;
    bool full = false;  // memory ran out: the text is incomplete
};

// Called by the control, whose frames an exception must not cross: a chunk
// that cannot be held stops the stream instead.
DWORD CALLBACK CollectChunk(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* taken) {
    auto* out = reinterpret_cast<Sink*>(cookie);
    try {
        out->text.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        out->full = true;
        *taken = 0;
        return 1;
    }
    *taken = count;
    return 0;
}

struct Source {
    std::string_view text;
    std::size_t position = 0;
};

DWORD CALLBACK ServeChunk(DWORD_PTR cookie, LPBYTE bytes, LONG capacity, LONG* given) {
    auto* source = reinterpret_cast<Source*>(cookie);
    std::size_t n = std::min(source->text.size() - source->position, static_cast<std::size_t>(capacity));
    if (n > 0) std::memcpy(bytes, source->text.data() + source->position, n);
    source->position += n;
    *given = static_cast<LONG>(n);
    return 0;
}

}  // namespace

std::string StreamOut(HWND editor, UINT format) {
    Sink sink;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&sink);
    stream.pfnCallback = CollectChunk;
    SendMessageW(editor, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    // Half a document must never pass for the whole one.
    if (sink.full) throw std::bad_alloc();
    std::string out = std::move(sink.text);
    // Some rich-edit versions hand over the string terminator as a last byte;
    // it belongs to neither an RTF document nor a text.
    while (!out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

void StreamIn(HWND editor, UINT format, std::string_view text) {
    Source source{text};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ServeChunk;
    SendMessageW(editor, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

void SetTextAnsi(HWND editor, std::string_view text) {
    std::string terminated(text);
    SendMessageA(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void SetDocumentAnsi(HWND editor, std::string_view text) {
    const LRESULT limit = TextLimit(editor);
    // A text has no more characters than bytes.
    LimitText(editor, std::max(static_cast<LPARAM>(limit), static_cast<LPARAM>(text.size())));
    SetTextAnsi(editor, text);
    LimitText(editor, limit);
}

}  // namespace velmar::platform::editor
