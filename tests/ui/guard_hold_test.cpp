// The one-at-a-time guards' holds, without windows.
#include <gtest/gtest.h>

#include <utility>

#include "ui/program_state.h"

namespace velmar::test {
namespace {

TEST(GuardHold, TakenOnlyWhileClearAndClearedOnEveryWayOut) {
    bool guard = false;
    {
        GuardHold first = GuardHold::Take(guard);
        EXPECT_TRUE(first);
        EXPECT_TRUE(guard);
        EXPECT_FALSE(GuardHold::Take(guard)) << "a second window must not open";
        EXPECT_TRUE(guard) << "a refused hold leaves the guard set";

        GuardHold moved = std::move(first);  // a window takes it over
        EXPECT_FALSE(first);
        EXPECT_TRUE(guard);
        {
            GuardHold dropped = std::move(moved);  // the window fails to open
        }
        EXPECT_FALSE(guard) << "the hold's end clears the guard";
        EXPECT_FALSE(moved);
    }
    EXPECT_FALSE(guard) << "an emptied hold clears nothing twice";

    GuardHold hold = GuardHold::Take(guard);
    hold.Release();
    EXPECT_FALSE(guard);
    bool other = false;
    GuardHold again = GuardHold::Take(guard);
    again = GuardHold::Take(other);  // replacing a hold ends the old one
    EXPECT_FALSE(guard);
    EXPECT_TRUE(other);
}

}  // namespace
}  // namespace velmar::test
