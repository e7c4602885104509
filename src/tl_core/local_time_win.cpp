#include "tl_core/local_time_win.h"

#include <cstdint>

#include "tl_core/date_format.h"
#include "tl_core/system_library_win.h"

namespace tl {
namespace {

constexpr int64_t kFileTimeTicksPerMinute = 10'000'000LL * 60;

bool ToFileTimeTicks(const SYSTEMTIME& time, int64_t* ticks) {
  FILETIME fileTime;
  if (!::SystemTimeToFileTime(&time, &fileTime)) return false;
  *ticks = static_cast<int64_t>((static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime);
  return true;
}

// The offset in force now; the fallback when the system cannot convert a
// given date (TzSpecificLocalTimeToSystemTime came with Windows XP).
int CurrentUtcOffsetMinutes() {
  TIME_ZONE_INFORMATION zone;
  const DWORD state = ::GetTimeZoneInformation(&zone);
  if (state == TIME_ZONE_ID_INVALID) return 0;
  LONG bias = zone.Bias;  // minutes west of UTC
  if (state == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (state == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return -static_cast<int>(bias);
}

}  // namespace

DateTime ToDateTime(const SYSTEMTIME& time) {
  return DateTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

SYSTEMTIME ToSystemTime(const DateTime& value) {
  SYSTEMTIME time{};
  if (!value.HasDate()) return time;
  time.wYear = static_cast<WORD>(value.year);
  time.wMonth = static_cast<WORD>(value.month);
  time.wDay = static_cast<WORD>(value.day);
  time.wDayOfWeek = static_cast<WORD>(WeekdayOf(value) - 1);
  if (!value.HasTime()) return time;
  time.wHour = static_cast<WORD>(value.hour);
  time.wMinute = static_cast<WORD>(value.minute);
  time.wSecond = static_cast<WORD>(value.second);
  return time;
}

DateTime LocalNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return ToDateTime(now);
}

int UtcOffsetMinutes(const DateTime& localTime) {
  using LocalToUtcFn = BOOL(WINAPI*)(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);
  static const auto localToUtc = SystemFunction<LocalToUtcFn>("kernel32.dll", "TzSpecificLocalTimeToSystemTime");
  const SYSTEMTIME local = ToSystemTime(localTime);
  SYSTEMTIME utc;
  int64_t localTicks = 0;
  int64_t utcTicks = 0;
  if (!localToUtc || !localToUtc(nullptr, &local, &utc) || !ToFileTimeTicks(local, &localTicks) ||
      !ToFileTimeTicks(utc, &utcTicks)) {
    return CurrentUtcOffsetMinutes();
  }
  return static_cast<int>((localTicks - utcTicks) / kFileTimeTicksPerMinute);
}

std::string FormatLocalDateTime(const DateTime& localTime, std::string_view pattern) {
  return FormatDateTime(localTime, pattern, UtcOffsetMinutes(localTime));
}

}  // namespace tl
