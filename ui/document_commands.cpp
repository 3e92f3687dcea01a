#include "ui/document_commands.h"

#include <commdlg.h>

#include <new>

#include "ui/program_state.h"
#include "platform/editor.h"
#include "platform/files.h"
#include "platform/message_loop.h"
#include "platform/safe_write.h"
#include "ui/main_window.h"

namespace velmar::ui {

namespace {

namespace ed = platform::editor;

// The dialogs hand back paths of any length the platform allows; nothing is
// cut to a fixed buffer, which would name another file.
constexpr std::size_t kPathCapacity = 32768;
constexpr int kMaxPendingMessages = 200;

constexpr DWORD kCommonFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_ENABLESIZING;
constexpr DWORD kOpenFlags = kCommonFlags | OFN_FILEMUSTEXIST;
// Not OFN_OVERWRITEPROMPT: the program asks its own question.
constexpr DWORD kSaveFlags = kCommonFlags;

struct KindTraits {
    std::string_view filter;  // description and pattern, each NUL-terminated
    const char* defaultExtension;
    UINT streamFormat;
};

KindTraits TraitsOf(DocumentKind kind) {
    using namespace std::string_view_literals;
    if (kind == DocumentKind::Rtf) return {"RTF\0*.rtf\0"sv, "RTF", SF_RTF};
    return {"TXT\0*.txt\0"sv, "TXT", SF_TEXT};
}

// Lets the window messages that are waiting run, so the window repaints
// after a dialog closes and before the file work.
void RunPendingMessages(MainWindow& window) {
    for (int i = 0; i < kMaxPendingMessages; ++i)
        if (!platform::PumpOneMessage(window.Dialogs())) break;
}

void Tell(MainWindow& window, const wchar_t* text) {
    window.Modal().ShowMessageBox({nullptr, text, MainWindow::kMessageTitle, MB_OK});
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string ChooseDocumentFile(MainWindow& window, DocumentKind kind, FileDialogMode mode) {
    KindTraits traits = TraitsOf(kind);
    platform::FileDialogRequest request;
    request.owner = window.Window();
    request.save = mode == FileDialogMode::Save;
    request.filter = std::string(traits.filter);
    request.defaultExtension = traits.defaultExtension;
    request.flags = request.save ? kSaveFlags : kOpenFlags;
    request.capacity = kPathCapacity;
    auto chosen = window.Modal().ChooseFile(request);
    return chosen ? TrimBlanks(*chosen) : std::string();
}

bool FileExists(std::string_view path) {
    return platform::PathExists(TrimBlanks(path));
}

std::string JoinDocumentLines(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t position = 0;
    bool first = true;
    while (position < bytes.size()) {
        std::size_t cr = bytes.find('\r', position);
        std::size_t end = cr == std::string_view::npos ? bytes.size() : cr;
        if (!first) text += "\r\n";
        text.append(bytes.substr(position, end - position));
        first = false;
        if (cr == std::string_view::npos) break;
        position = cr + 1;
        if (position < bytes.size() && bytes[position] == '\n') ++position;
    }
    return text;
}

DocumentRead ReadDocumentFile(std::string_view path, std::string& text, uint64_t maxBytes) {
    try {
        std::string bytes;
        switch (platform::ReadWholeFile(TrimBlanks(path), maxBytes, bytes)) {
            case platform::FileRead::Unreadable:
                return DocumentRead::Unreadable;
            case platform::FileRead::TooLarge:
                return DocumentRead::TooLarge;
            case platform::FileRead::Read:
                break;
        }
        text = JoinDocumentLines(bytes);
        return DocumentRead::Read;
    } catch (const std::bad_alloc&) {
        return DocumentRead::TooLarge;  // within the limit, and still more than memory holds now
    }
}

std::string EditorText(HWND editor, UINT streamFormat) {
    return ed::StreamOut(editor, streamFormat);
}

void NewDocument(MainWindow& window) {
    if (window.State().ending) return;
    ed::SetTextAnsi(window.Editor(), "");
}

void ReadDocument(MainWindow& window, DocumentKind kind) {
    std::string path = ChooseDocumentFile(window, kind, FileDialogMode::Open);
    // After "Salir" the document stays as the user last saw it: a save still
    // waiting on its question writes that one, not a file read into a
    // window nobody sees.
    if (path.empty() || window.State().ending || !FileExists(path)) return;
    std::string text;
    // Emptying the editor for a file that cannot be read or held would only
    // lose what the user has there.
    switch (ReadDocumentFile(path, text)) {
        case DocumentRead::Unreadable:
            Tell(window, kNotReadMessage);
            return;
        case DocumentRead::TooLarge:
            Tell(window, kTooLargeMessage);
            return;
        case DocumentRead::Read:
            break;
    }
    // The editor reads text that begins with an RTF header as a formatted
    // document, whichever command loaded it. Nothing is cut (a save would
    // lose the tail without a word); a document longer than the editor's
    // limit is said to be so.
    HWND editor = window.Editor();
    ed::SetDocumentAnsi(editor, text);
    // The record navigator takes the newly loaded document as its template.
    window.State().display.Discard();
    if (ed::CharacterCount(editor) > ed::TextLimit(editor)) Tell(window, kBeyondEditorLimitMessage);
}

void WriteDocument(MainWindow& window, DocumentKind kind) {
    std::string path = ChooseDocumentFile(window, kind, FileDialogMode::Save);
    if (path.empty()) return;
    if (FileExists(path)) {
        int answer = window.Modal().ShowMessageBox({nullptr, kOverwriteQuestion, MainWindow::kMessageTitle, MB_YESNO});
        if (answer != IDYES) return;
    }
    RunPendingMessages(window);
    std::string content = EditorText(window.Editor(), TraitsOf(kind).streamFormat) + "\r\n";
    platform::WriteOutcome outcome = platform::WriteFileSafely(path, content);
    RunPendingMessages(window);
    Tell(window, outcome.written ? kSavedMessage : kNotSavedMessage);
}

}  // namespace velmar::ui
