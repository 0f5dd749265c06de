#include <gtest/gtest.h>

#include "lib/TypedPath.h"

TEST(TypedPath, SplitsAtTheLastSeparatorOfEitherKind) {
    EXPECT_FALSE(splitTypedPath("/a", "plate", "/home/u"));
    const auto absolute = splitTypedPath("/a", "/b/c/pl", "/home/u");
    ASSERT_TRUE(absolute);
    EXPECT_EQ(absolute->folder, "/b/c/");
    EXPECT_EQ(absolute->namePrefix, "pl");
    const auto relative = splitTypedPath("/a", "..\\x\\", "/home/u");
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->folder, "/a/../x/");
    EXPECT_EQ(relative->namePrefix, "");
    EXPECT_EQ(splitTypedPath("/", "x/y", "/home/u")->folder, "/x/");
    EXPECT_EQ(splitTypedPath("/a", "~/Projects/p", "/home/u")->folder, "/home/u/Projects/");
    EXPECT_EQ(splitTypedPath("/a", "C:\\Work\\p", "/home/u")->folder, "C:/Work/");
}
