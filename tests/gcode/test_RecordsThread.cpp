// Records made on a thread of their own must arrive whole and in order, and a
// failure on either side must end both sides.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "gcode/RecordsThread.h"

namespace {

struct Collect final : PenPointSink {
    std::vector<PenPoint> points;
    std::size_t stopAt = 0;  // 0: never
    void add(const PenPoint& p) override {
        if (stopAt != 0 && points.size() + 1 == stopAt) throw std::runtime_error("taker");
        points.push_back(p);
    }
};

PenPoint pointNumber(int i) { return {i * 0.01, -i * 0.02, i % 9 == 0 ? 5.0 : 0.0}; }

TEST(RecordsOnAThread, EveryRecordInOrderEachTimeAndFailuresOnEitherSide) {
    constexpr int kCount = 100000;  // many batches
    int made = 0;
    int failAt = 0;  // 0: never
    const PenPointSource threaded = RecordsOnAThread([&](PenPointSink& sink) {
        for (int i = 1; i <= kCount; ++i) {
            if (i == failAt) throw std::runtime_error("maker");
            sink.add(pointNumber(i));
            ++made;
        }
    });
    for (int time = 0; time < 2; ++time) {
        Collect taken;
        threaded(taken);
        ASSERT_EQ(taken.points.size(), static_cast<std::size_t>(kCount));
        for (int i = 1; i <= kCount; ++i)
            ASSERT_EQ(taken.points[static_cast<std::size_t>(i - 1)], pointNumber(i)) << i;
    }

    // The maker fails: the records before it arrive, then its exception.
    failAt = 54321;
    Collect taken;
    EXPECT_THROW(
        {
            try {
                threaded(taken);
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "maker");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(taken.points.size(), static_cast<std::size_t>(failAt - 1));

    // The taker fails: the maker stops well before the end, and nothing hangs.
    failAt = 0;
    made = 0;
    Collect stopping;
    stopping.stopAt = 10;
    EXPECT_THROW(threaded(stopping), std::runtime_error);
    EXPECT_EQ(stopping.points.size(), 9u);
    EXPECT_LT(made, kCount);
}

}  // namespace
