#pragma once
// The library's calendar value: a local date and time of day as plain fields.
#include <cstdint>
#include <string>
#include <string_view>

namespace tl {

struct DateTime {
  int32_t year = 0;
  int32_t month = 0;  // 1 to 12; 0 means the value holds no date
  int32_t day = 0;    // 1 to 31
  int32_t hour = -1;  // 0 to 23; -1 means the value holds no time
  int32_t minute = 0;
  int32_t second = 0;

  bool HasDate() const { return month != 0; }
  bool HasTime() const { return hour != -1; }
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Day of the week in the proleptic Gregorian calendar, 1 (Sunday) to 7
// (Saturday); 0 for a value without a valid month.
int WeekdayOf(const DateTime& value);

// English names; an index outside 1 to 12 (1 to 7) gives an empty name.
std::string_view MonthName(int month);
std::string_view WeekdayName(int weekday);

}  // namespace tl

namespace tl {

// Orders two stamps: -1 when a is older, 0 equal, +1 newer. A value
// without a date (or without a time) sorts after every real one; no
// tolerance, one second decides.
int CompareDateTime(const DateTime& a, const DateTime& b);

// "%d/%d/%02d %d:%02d:%02d": year, month, day, hour, minute, second.
std::string DateTimeText(const DateTime& value);

}  // namespace tl
