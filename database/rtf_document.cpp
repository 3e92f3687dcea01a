#include "database/rtf_document.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace velmar {
namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The tables that editors write between "{\rtf1" and the document's text.
constexpr std::array<std::string_view, 17> kHeaderTables = {
    "fonttbl",           "filetbl", "colortbl",  "stylesheet",   "listtable",
    "listoverridetable", "revtbl",  "rsidtbl",   "info",         "generator",
    "xmlnstbl",          "mmathPr", "themedata", "latentstyles", "colorschememapping",
    "datastore",         "pgdsctbl"};

// The end of the control word or symbol that starts at `at` (a backslash),
// with the blank that delimits a control word.
std::size_t ControlEnd(std::string_view text, std::size_t at) {
    std::size_t p = at + 1;
    if (p >= text.size()) return p;
    if (!IsLetter(text[p])) return p + 1;  // a control symbol: \\ \{ \} \' \* ...
    while (p < text.size() && IsLetter(text[p])) ++p;
    if (p < text.size() && text[p] == '-') ++p;
    while (p < text.size() && IsDigit(text[p])) ++p;
    if (p < text.size() && text[p] == ' ') ++p;
    return p;
}

std::string_view ControlWord(std::string_view text, std::size_t at) {
    std::size_t p = at + 1;
    while (p < text.size() && IsLetter(text[p])) ++p;
    return text.substr(at + 1, p - at - 1);
}

// Scans from `from` with `depth` groups open, an escaped character passed
// over: the position of the brace that closes the last of them, or the end of
// the text with `depth` the groups still open.
std::size_t CloseOfGroups(std::string_view text, std::size_t from, int& depth) {
    for (std::size_t p = from; p < text.size(); ++p) {
        if (text[p] == '\\') {
            ++p;
        } else if (text[p] == '{') {
            ++depth;
        } else if (text[p] == '}' && --depth == 0) {
            return p;
        }
    }
    return text.size();
}

// Where the group that opens at `at` closes (after its brace); npos when it
// never closes.
std::size_t GroupEnd(std::string_view text, std::size_t at) {
    int depth = 0;
    std::size_t close = CloseOfGroups(text, at, depth);
    return close < text.size() ? close + 1 : std::string_view::npos;
}

bool IsHeaderTable(std::string_view text, std::size_t open) {
    std::size_t p = open + 1;
    while (p < text.size() && (text[p] == '\r' || text[p] == '\n')) ++p;
    if (p + 1 >= text.size() || text[p] != '\\') return false;
    if (text[p + 1] == '*') return true;
    std::string_view word = ControlWord(text, p);
    for (std::string_view table : kHeaderTables)
        if (word == table) return true;
    return false;
}

}  // namespace

bool IsRtfDocument(std::string_view text) {
    std::size_t p = text.find_first_not_of(" \t\r\n");
    return p != std::string_view::npos && text.substr(p, 5) == "{\\rtf";
}

RtfDocumentParts SplitRtfDocument(std::string_view text) {
    const std::size_t open = text.find('{');
    std::size_t p = ControlEnd(text, open + 1);  // past "\rtf1"
    std::size_t headerEnd = p;
    // Control words and tables up to the first text or other group.
    while (p < text.size()) {
        char c = text[p];
        if (c == '\r' || c == '\n') {
            ++p;
        } else if (c == '\\' && p + 1 < text.size() && (IsLetter(text[p + 1]) || text[p + 1] == '*')) {
            p = ControlEnd(text, p);
        } else if (c == '{' && IsHeaderTable(text, p)) {
            std::size_t end = GroupEnd(text, p);
            if (end == std::string_view::npos) break;
            p = headerEnd = end;
        } else {
            break;
        }
    }
    // The body ends at the brace that closes the document.
    int depth = 1;
    const std::size_t end = CloseOfGroups(text, headerEnd, depth);
    RtfDocumentParts parts;
    parts.header = text.substr(open, headerEnd - open);
    parts.body = text.substr(headerEnd, std::min(end, text.size()) - headerEnd);
    parts.unclosed = depth > 1 ? depth - 1 : 0;
    // A backslash that ends the text escapes nothing; it would escape the
    // brace that closes the body's group.
    if (!parts.body.empty() && end >= text.size()) {
        std::size_t backslashes = 0;
        while (backslashes < parts.body.size() && parts.body[parts.body.size() - 1 - backslashes] == '\\')
            ++backslashes;
        if (backslashes % 2 == 1) parts.body.remove_suffix(1);
    }
    return parts;
}

void MergedRtfDocument::AddBody(const RtfDocumentParts& record) {
    if (!first_) text_ += "\\page\r\n";
    first_ = false;
    text_ += '{';
    text_ += record.body;
    text_.append(static_cast<std::size_t>(record.unclosed), '}');
    text_ += '}';
}

std::string MergedRtfDocument::Finish() {
    text_ += "}\r\n";
    return std::move(text_);
}

}  // namespace velmar
