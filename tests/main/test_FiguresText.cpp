#include <gtest/gtest.h>

#include "TestSupport.h"
#include "main/FiguresText.h"

namespace {

TEST(FiguresText, StatusBarFormWithTheUsersDecimalMarkAndMinutesOrHours) {
    EXPECT_EQ(FiguresStatusText({1234.5, 456.74, 89, 73.9}, ','),
              w("Письмо 1234,5 мм · Холостой ход 456,7 мм · Подъёмов 89 · Время 1:14"));
    EXPECT_EQ(FiguresStatusText({}, '.'),
              w("Письмо 0.0 мм · Холостой ход 0.0 мм · Подъёмов 0 · Время 0:00"));
    EXPECT_EQ(DurationText(59.4), "0:59");
    EXPECT_EQ(DurationText(3725), "1:02:05");
    EXPECT_EQ(DurationText(-1), "0:00");
}

}  // namespace
