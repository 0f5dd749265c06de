#include <gtest/gtest.h>

#include "main/StrokeCopies.h"

namespace {

// Two copies a line width apart lie half a width either side of the stroke,
// the second drawn back so that the pen goes on without a lift.
TEST(BoldStroke, CopiesAreCentredOnTheStrokeAndDrawnBackAndForth) {
    const std::vector<PenPoint> bold = BoldStroke({{1, 1, 0}, {11, 1, 0}}, 2, 0.2);
    const std::vector<PenPoint> expected = {{1, 0.9, 0}, {11, 0.9, 0}, {11, 1.1, 0}, {1, 1.1, 0}};
    ASSERT_EQ(bold.size(), expected.size());
    for (std::size_t i = 0; i < bold.size(); ++i)
        EXPECT_TRUE(bold[i] == expected[i]) << i << ": " << bold[i].X << "," << bold[i].Y;
}

}  // namespace
