// The editor requests on a real rich-edit control.
#include "platform/editor.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/wine.h"
#include "tests/ui/ui_test_support.h"

namespace velmar::test {
namespace {

namespace ed = platform::editor;

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadWindowLibraries();
        editor_ = CreateWindowExW(0, ed::kClassName, L"", WS_POPUP | ES_MULTILINE, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(editor_, nullptr);
        ed::LimitText(editor_, 1000000);
    }
    void TearDown() override { DestroyWindow(editor_); }
    HWND editor_ = nullptr;
};

TEST_F(EditorTest, StreamOutGivesRtfOrPlainText) {
    SetWindowTextW(editor_, L"Hola mundo");
    std::string rtf = ed::StreamOut(editor_, SF_RTF);
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
    EXPECT_NE(rtf.find("Hola mundo"), std::string::npos);
    EXPECT_EQ(rtf.back(), '}') << "nothing after the document, not even a NUL";
    EXPECT_EQ(ed::StreamOut(editor_, SF_TEXT), "Hola mundo");
}

TEST_F(EditorTest, StreamInReplacesTheContentAndReadsRtfFormatting) {
    SetWindowTextW(editor_, L"viejo");
    ed::StreamIn(editor_, SF_RTF, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\b negrita\\b0  normal\\par}");
    EXPECT_EQ(platform::WindowTextW(editor_), L"negrita normal");
    ed::SetSelection(editor_, 0, 7);
    CHARFORMAT2A format = ed::SelectionCharFormat(editor_, CFM_BOLD);
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    ed::SetSelection(editor_, 8, 14);
    EXPECT_FALSE(ed::SelectionCharFormat(editor_, CFM_BOLD).dwEffects & CFE_BOLD);

    ed::StreamIn(editor_, SF_TEXT, "solo texto");
    EXPECT_EQ(platform::WindowTextW(editor_), L"solo texto");
}

TEST_F(EditorTest, LongTextsCrossTheStreamsInManyChunksIntact) {
    std::string text;
    for (int i = 0; text.size() < 200000; ++i) text += "linea " + std::to_string(i) + " \xe1\xe9\xf1 ";
    ed::StreamIn(editor_, SF_TEXT, text);
    EXPECT_EQ(ed::TextLength(editor_), static_cast<LRESULT>(text.size()));
    EXPECT_EQ(ed::StreamOut(editor_, SF_TEXT), text) << "ANSI bytes come back unchanged";
}

TEST_F(EditorTest, SetTextLoadsAnRtfHeaderAsADocumentAndOtherTextAsIs) {
    ed::SetTextAnsi(editor_, "{\\rtf1\\ansi {\\i cursiva}}");
    EXPECT_EQ(platform::WindowTextW(editor_), L"cursiva");
    ed::SetTextAnsi(editor_, "x {\\rtf1 no}");
    EXPECT_EQ(platform::WindowTextW(editor_), L"x {\\rtf1 no}");
    ed::SetTextAnsi(editor_, "a\xf1o");
    EXPECT_EQ(platform::WindowTextW(editor_), L"a\u00f1o");
}

TEST_F(EditorTest, SelectionUndoAndPasteRequests) {
    SetWindowTextW(editor_, L"abcdef");
    ed::EmptyUndoBuffer(editor_);
    EXPECT_FALSE(ed::CanUndo(editor_));
    ed::SetSelection(editor_, 1, 3);
    CHARRANGE r = ed::Selection(editor_);
    EXPECT_EQ(r.cpMin, 1);
    EXPECT_EQ(r.cpMax, 3);
    SendMessageW(editor_, WM_CLEAR, 0, 0);
    EXPECT_TRUE(ed::CanUndo(editor_));
    ed::Undo(editor_);
    EXPECT_EQ(platform::WindowTextW(editor_), L"abcdef");
    ed::SetSelectionEx(editor_, 0, -1);
    EXPECT_EQ(ed::Selection(editor_).cpMin, 0);
    EXPECT_GE(ed::Selection(editor_).cpMax, 6) << "everything, up to the final paragraph mark";
}

// The paragraph request after a word format exists for Wine's control alone:
// on Windows a word format is one request, as asked.
TEST_F(EditorTest, TheLayoutRequestAfterAWordFormatIsSentOnlyUnderWine) {
    static int paragraphRequests = 0;
    static WNDPROC original = nullptr;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        editor_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == EM_SETPARAFORMAT) ++paragraphRequests;
            return CallWindowProcW(original, w, m, wp, lp);
        })));
    SetWindowTextW(editor_, L"una palabra");
    ed::SetSelection(editor_, 2, 2);
    CHARFORMAT2A bold{};
    bold.cbSize = sizeof(bold);
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    for (bool underWine : {true, false}) {
        platform::ScopedWineAnswer host(underWine);
        paragraphRequests = 0;
        ed::SetCharFormat(editor_, SCF_SELECTION | SCF_WORD, bold);
        EXPECT_EQ(paragraphRequests, underWine ? 1 : 0) << (underWine ? "under Wine" : "on Windows");
        paragraphRequests = 0;
        ed::SetCharFormat(editor_, SCF_SELECTION, bold);
        EXPECT_EQ(paragraphRequests, 0) << "a selection format needs no layout request";
    }
    SetWindowLongPtrW(editor_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

}  // namespace
}  // namespace velmar::test
