#include "platform/text.h"

#include <gtest/gtest.h>

#include "database/cp1252.h"

namespace velmar {
namespace {

// The window program's "##" capitals come from the system; on a system whose
// ANSI code page is Windows-1252 they must be the databases' own table, which
// velmar-db uses, for every byte.
TEST(UpperCaseAnsi, IsTheWindows1252TableOnAWindows1252System) {
    if (GetACP() != 1252) GTEST_SKIP() << "the system's ANSI code page is " << GetACP() << ", not Windows-1252";
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    const std::string upper = platform::UpperCaseAnsi(bytes);
    ASSERT_EQ(upper.size(), bytes.size());
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(upper[static_cast<std::size_t>(b)]),
                  Cp1252UpperChar(static_cast<unsigned char>(b)))
            << "byte 0x" << std::hex << b;
}

}  // namespace
}  // namespace velmar
