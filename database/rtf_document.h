// The parts of an RTF document that a document of many merged records is made
// of: the header (the opening "{\rtf1", the tables and the document settings
// between them) is written once, and each record's body after it.
#pragma once

#include <string>
#include <string_view>

namespace velmar {

struct RtfDocumentParts {
    // From the opening brace to the end of the last header table (font table,
    // colour table, style sheet, information, list tables and the other
    // tables an editor writes before the text, among them every "{\*\...}"
    // group there); just "{\rtf1" and its delimiter when there is no table.
    std::string_view header;
    // What follows the header up to the brace that closes the document.
    std::string_view body;
    // Groups the body leaves open (a document without its closing braces).
    int unclosed = 0;
};

// True when the text begins (after blanks and line ends) with "{\rtf".
bool IsRtfDocument(std::string_view text);

// The header and body of an RTF document; IsRtfDocument(text) must hold.
RtfDocumentParts SplitRtfDocument(std::string_view text);

// Builds one document from the template's header and the records' bodies:
// each body in a group of its own, so that its formatting ends with it, and a
// page break between one record and the next.
class MergedRtfDocument {
public:
    explicit MergedRtfDocument(std::string_view header) : text_(header) {}
    void AddBody(const RtfDocumentParts& record);
    // The whole document, with the closing brace.
    std::string Finish();

private:
    std::string text_;
    bool first_ = true;
};

}  // namespace velmar
