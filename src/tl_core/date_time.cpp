#include "tl_core/date_time.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

namespace tl {
namespace {

constexpr std::string_view kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
constexpr std::string_view kWeekdayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};

// Days since 1 March of year 0, counted in 400-year eras so that negative
// years work too; only differences between results matter.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra;
}

}  // namespace

int WeekdayOf(const DateTime& value) {
  if (value.month < 1 || value.month > 12) return 0;
  // 1 March 2000 (day 730485 of the count) was a Wednesday.
  constexpr int64_t kKnownWednesday = 730485;
  int64_t offset = (DaysFromCivil(value.year, value.month, value.day) - kKnownWednesday) % 7;
  if (offset < 0) offset += 7;
  constexpr int kWednesday = 4;
  return static_cast<int>((kWednesday - 1 + offset) % 7) + 1;
}

std::string_view MonthName(int month) {
  return (month >= 1 && month <= 12) ? kMonthNames[month - 1] : std::string_view();
}

std::string_view WeekdayName(int weekday) {
  return (weekday >= 1 && weekday <= 7) ? kWeekdayNames[weekday - 1] : std::string_view();
}

}  // namespace tl

namespace tl {
namespace {

int Sign(int64_t difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

int CompareFields(std::initializer_list<std::pair<int32_t, int32_t>> fields) {
  for (auto [a, b] : fields)
    if (a != b) return Sign(int64_t{a} - b);
  return 0;
}

}  // namespace

int CompareDateTime(const DateTime& a, const DateTime& b) {
  if (a.HasDate() != b.HasDate()) return a.HasDate() ? -1 : 1;
  if (a.HasDate()) {
    if (int order = CompareFields({{a.year, b.year}, {a.month, b.month}, {a.day, b.day}})) return order;
  }
  // "No time" is any negative hour.
  const bool aTime = a.hour >= 0, bTime = b.hour >= 0;
  if (aTime != bTime) return aTime ? -1 : 1;
  if (!aTime) return 0;
  return CompareFields({{a.hour, b.hour}, {a.minute, b.minute}, {a.second, b.second}});
}

std::string DateTimeText(const DateTime& v) {
  char text[96];
  std::snprintf(text, sizeof text, "%d/%d/%02d %d:%02d:%02d", v.year, v.month, v.day, v.hour, v.minute, v.second);
  return text;
}

}  // namespace tl
