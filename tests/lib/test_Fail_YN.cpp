#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/Fail_YN.h"

namespace {

TEST(Slashes, BothSeparatorsTurnIntoOne) {
    EXPECT_EQ(Fail_YN::SlashOnWWW("a\\b/c\\\\d"), "a/b/c//d");
    EXPECT_EQ(Fail_YN::SlashOnLOCAL("a\\b/c//d"), "a\\b\\c\\\\d");
    EXPECT_EQ(Fail_YN::SlashOnWWW(""), "");
    EXPECT_EQ(Fail_YN::SlashOnLOCAL("plain"), "plain");
}

}  // namespace
