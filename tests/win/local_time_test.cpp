#include "tl_core/local_time_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "tl_core/date_format.h"

namespace tl {
namespace {

int64_t Seconds(const SYSTEMTIME& time) {
  FILETIME fileTime;
  EXPECT_TRUE(::SystemTimeToFileTime(&time, &fileTime));
  const uint64_t ticks = (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10'000'000);
}

TEST(LocalTime, SystemTimeRoundTrip) {
  const DateTime value{2026, 12, 6, 9, 5, 7};
  const SYSTEMTIME time = ToSystemTime(value);
  EXPECT_EQ(time.wDayOfWeek, 0) << "Sunday";
  EXPECT_EQ(ToDateTime(time), value);
  const SYSTEMTIME dateOnly = ToSystemTime(DateTime{2026, 12, 6});
  EXPECT_EQ(dateOnly.wHour, 0);
  EXPECT_EQ(dateOnly.wDay, 6);
}

TEST(LocalTime, NowIsTheLocalClock) {
  SYSTEMTIME before;
  ::GetLocalTime(&before);
  const DateTime now = LocalNow();
  SYSTEMTIME after;
  ::GetLocalTime(&after);
  ASSERT_TRUE(now.HasDate() && now.HasTime());
  EXPECT_GE(now.year, 2020);
  const int64_t seconds = Seconds(ToSystemTime(now));
  EXPECT_GE(seconds, Seconds(before) - 1);
  EXPECT_LE(seconds, Seconds(after));
}

TEST(LocalTime, OffsetNowIsLocalMinusUtc) {
  SYSTEMTIME local;
  SYSTEMTIME utc;
  ::GetLocalTime(&local);
  ::GetSystemTime(&utc);
  const int64_t expectedMinutes = (Seconds(local) - Seconds(utc) + 30) / 60;
  const int offset = UtcOffsetMinutes(ToDateTime(local));
  EXPECT_NEAR(offset, expectedMinutes, 1);
  EXPECT_LE(std::abs(offset), 14 * 60);
  EXPECT_EQ(offset % 15, 0);
}

// For any time zone: local time minus the offset is the UTC moment that the
// system converts back into the same local time.
TEST(LocalTime, OffsetOfWinterAndSummerDatesConvertsBack) {
  for (const DateTime& local : {DateTime{2026, 1, 15, 12, 0, 0}, DateTime{2026, 7, 15, 12, 0, 0}}) {
    const int offset = UtcOffsetMinutes(local);
    EXPECT_LE(std::abs(offset), 14 * 60);
    const SYSTEMTIME localTime = ToSystemTime(local);
    FILETIME fileTime;
    ASSERT_TRUE(::SystemTimeToFileTime(&localTime, &fileTime));
    ULARGE_INTEGER ticks{{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    ticks.QuadPart -= static_cast<int64_t>(offset) * 60 * 10'000'000;
    fileTime = FILETIME{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME utc;
    ASSERT_TRUE(::FileTimeToSystemTime(&fileTime, &utc));
    SYSTEMTIME back;
    ASSERT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &back));
    EXPECT_EQ(ToDateTime(back), local) << "offset " << offset;
    EXPECT_EQ(FormatLocalDateTime(local, "b"), FormatDateTime(local, "b", offset));
  }
}

}  // namespace
}  // namespace tl
