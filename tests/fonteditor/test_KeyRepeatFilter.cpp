#include <gtest/gtest.h>

#include "fonteditor/KeyRepeatFilter.h"

namespace {

// Without time stamps (time 0) a press right after a release proves nothing:
// it is a new press, and its release makes a new step.
TEST(KeyRepeatFilter, WithoutTimeStampsEachPressAfterAReleaseIsANewStep) {
    KeyRepeatFilter filter;
    filter.press(1, 0, false);
    EXPECT_TRUE(filter.release(1, 0, false));
    filter.press(1, 0, false);
    EXPECT_TRUE(filter.release(1, 0, false));
    // With them, an unflagged press at the very time of the release is a repeat.
    filter.press(1, 500, false);
    EXPECT_TRUE(filter.release(1, 600, false));
    filter.press(1, 600, false);
    EXPECT_FALSE(filter.release(1, 633, false));
}

}  // namespace
