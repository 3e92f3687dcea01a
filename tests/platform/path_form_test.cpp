// The form of the paths a save uses: the longer of the target and the
// temporary file beside it decides, for every target length around the limit.
#include "platform/path_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmar::test {
namespace {

TEST(SavePathForm, TheLongerOfTargetAndTemporaryFileDecidesForEveryLengthFrom225To265) {
    // A name as the program makes it: 29 characters.
    const std::wstring temporary = platform::TemporaryFileName(4321, 987654321, 99);
    ASSERT_EQ(temporary, L"~velmar-4321-987654321-99.tmp");
    // With a short file name ("d.rtf") in a long folder the temporary file's
    // path is 24 characters longer than the target, so the long form starts at
    // target 236 (236 + 24 = 260). With a long file name in a short folder the
    // target is the longer path and starts it at 260.
    struct Row {
        std::size_t length;
        bool shortName;  // long form expected, name "d.rtf"
        bool longName;   // long form expected, folder "C:\d\"
    };
    std::vector<Row> rows;
    for (std::size_t length = 225; length <= 265; ++length) rows.push_back({length, length >= 236, length >= 260});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        std::wstring deep = L"C:\\" + std::wstring(row.length - 3 - 6, L'c') + L"\\d.rtf";
        std::wstring wide = L"C:\\d\\" + std::wstring(row.length - 5 - 4, L'n') + L".rtf";
        ASSERT_EQ(deep.size(), row.length);
        ASSERT_EQ(wide.size(), row.length);
        EXPECT_EQ(platform::SaveNeedsLongPathForm(deep, temporary.size()), row.shortName);
        EXPECT_EQ(platform::SaveNeedsLongPathForm(wide, temporary.size()), row.longName);
    }
    // Relative or bare names: the temporary file sits beside them alike.
    EXPECT_FALSE(platform::SaveNeedsLongPathForm(L"d.rtf", temporary.size()));
    EXPECT_TRUE(platform::SaveNeedsLongPathForm(std::wstring(231, L'c') + L"/d.rtf", temporary.size()));
}

}  // namespace
}  // namespace velmar::test
