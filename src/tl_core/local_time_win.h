#pragma once
// The computer's clock and time zone, in the library's DateTime form.
#include <windows.h>

#include <string>
#include <string_view>

#include "tl_core/date_time.h"

namespace tl {

DateTime ToDateTime(const SYSTEMTIME& time);
// A value without a date gives an all-zero record; one without a time gives midnight.
SYSTEMTIME ToSystemTime(const DateTime& value);

// The local time of the computer now.
DateTime LocalNow();

// How far the local time of the given local date and time is ahead of UTC, in
// minutes (east positive), with the daylight-saving rule of that date.
int UtcOffsetMinutes(const DateTime& localTime);

// FormatDateTime with the offset of the local time zone for that date.
std::string FormatLocalDateTime(const DateTime& localTime, std::string_view pattern);

}  // namespace tl
