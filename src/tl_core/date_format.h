#pragma once
// The library's date pattern language. A doubled letter is one token ("dd"),
// "ap"/"AP" are one token, every other character is copied:
//   d dd D DD      day: 6, 06, 6th, Sixth
//   m mm M MM      month: 12, 12, Dec, December
//   w ww W WW      weekday (1 = Sunday): 1, 01, Sun, Sunday
//   y yy Y YY      year: 26, 2026, Twenty-Six ("Oh Five"), Two Thousand Twenty-Six
//   H HH h hh      hour on the 24-hour and on the 12-hour clock
//   i ii s ss      minute, second
//   ap AP          a/p, a.m./p.m.
//   b              offset of local time from UTC, "+0100"
#include <string>
#include <string_view>

#include "tl_core/date_time.h"

namespace tl {

// Used when a caller passes an empty pattern.
inline constexpr std::string_view kDefaultDatePattern = "m/d/y h:ii:ssap";

// Formats a local date and time. utcOffsetMinutes is how far the local time of
// that date is ahead of UTC (east positive); only the "b" token uses it.
std::string FormatDateTime(const DateTime& value, std::string_view pattern, int utcOffsetMinutes);

}  // namespace tl
