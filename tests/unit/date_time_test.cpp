#include "tl_core/date_time.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

TEST(DateTime, DefaultHoldsNeitherDateNorTime) {
  const DateTime none;
  EXPECT_FALSE(none.HasDate());
  EXPECT_FALSE(none.HasTime());
  const DateTime midnight{2026, 1, 1, 0, 0, 0};
  EXPECT_TRUE(midnight.HasDate());
  EXPECT_TRUE(midnight.HasTime());
}

TEST(DateTime, WeekdayOfKnownDates) {
  struct Case {
    DateTime date;
    int weekday;
  };
  const Case cases[] = {
      {{1970, 1, 1}, 5},   {{1999, 12, 31}, 6}, {{2000, 2, 29}, 3},  {{2000, 3, 1}, 4},
      {{2024, 2, 29}, 5},  {{2026, 12, 6}, 1},  {{2026, 12, 12}, 7}, {{2100, 3, 1}, 2},
      {{1600, 1, 1}, 7},   {{1, 1, 1}, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WeekdayOf(c.date), c.weekday) << c.date.year << "-" << c.date.month << "-" << c.date.day;
  }
}

TEST(DateTime, WeekdayWithoutValidMonthIsZero) {
  EXPECT_EQ(WeekdayOf(DateTime{}), 0);
  EXPECT_EQ(WeekdayOf(DateTime{2026, 13, 1}), 0);
}

TEST(DateTime, NamesInsideAndOutsideTheirRange) {
  EXPECT_EQ(MonthName(1), "January");
  EXPECT_EQ(MonthName(12), "December");
  EXPECT_EQ(WeekdayName(1), "Sunday");
  EXPECT_EQ(WeekdayName(7), "Saturday");
  for (int outside : {-1, 0, 13}) EXPECT_EQ(MonthName(outside), "") << outside;
  for (int outside : {-1, 0, 8}) EXPECT_EQ(WeekdayName(outside), "") << outside;
}

}  // namespace
}  // namespace tl
