#include "tl_core/date_format.h"

#include <cstdlib>

#include "tl_core/number_words.h"
#include "tl_core/text.h"

namespace tl {
namespace {

struct FormatInput {
  const DateTime& value;
  int weekday;
  int utcOffsetMinutes;
};

using AppendFn = void (*)(std::string& out, const FormatInput& in);

struct TokenRule {
  std::string_view token;
  AppendFn append;
};

std::string_view FirstThree(std::string_view name) { return name.substr(0, 3); }

int TwelveHourClock(int hour) {
  const int h = hour % 12;
  return h == 0 ? 12 : h;
}

std::string DaySuffix(int day) {
  if (day % 100 >= 11 && day % 100 <= 13) return "th";
  switch (day % 10) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
  }
}

std::string ShortYearInWords(int year) {
  const int shortYear = year % 100;
  return (shortYear < 10 ? "Oh " : "") + NumberInWords(shortYear);
}

std::string UtcOffsetText(int minutes) {
  const int magnitude = std::abs(minutes);
  return Format("%c%02d%02d", minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
}

// Two-letter tokens come before their one-letter forms so that the longest
// token at a position wins.
constexpr TokenRule kTokenRules[] = {
    {"dd", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.value.day); }},
    {"d", [](std::string& o, const FormatInput& in) { o += Format("%d", in.value.day); }},
    {"DD", [](std::string& o, const FormatInput& in) { o += OrdinalInWords(in.value.day); }},
    {"D", [](std::string& o, const FormatInput& in) { o += Format("%d", in.value.day) + DaySuffix(in.value.day); }},
    {"mm", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.value.month); }},
    {"m", [](std::string& o, const FormatInput& in) { o += Format("%d", in.value.month); }},
    {"MM", [](std::string& o, const FormatInput& in) { o += MonthName(in.value.month); }},
    {"M", [](std::string& o, const FormatInput& in) { o += FirstThree(MonthName(in.value.month)); }},
    {"ww", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.weekday); }},
    {"w", [](std::string& o, const FormatInput& in) { o += Format("%d", in.weekday); }},
    {"WW", [](std::string& o, const FormatInput& in) { o += WeekdayName(in.weekday); }},
    {"W", [](std::string& o, const FormatInput& in) { o += FirstThree(WeekdayName(in.weekday)); }},
    {"yy", [](std::string& o, const FormatInput& in) { o += Format("%04d", in.value.year); }},
    {"y", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.value.year % 100); }},
    {"YY", [](std::string& o, const FormatInput& in) { o += NumberInWords(in.value.year); }},
    {"Y", [](std::string& o, const FormatInput& in) { o += ShortYearInWords(in.value.year); }},
    {"HH", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.value.hour); }},
    {"H", [](std::string& o, const FormatInput& in) { o += Format("%d", in.value.hour); }},
    {"hh", [](std::string& o, const FormatInput& in) { o += Format("%02d", TwelveHourClock(in.value.hour)); }},
    {"h", [](std::string& o, const FormatInput& in) { o += Format("%d", TwelveHourClock(in.value.hour)); }},
    {"ii", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.value.minute); }},
    {"i", [](std::string& o, const FormatInput& in) { o += Format("%d", in.value.minute); }},
    {"ss", [](std::string& o, const FormatInput& in) { o += Format("%02d", in.value.second); }},
    {"s", [](std::string& o, const FormatInput& in) { o += Format("%d", in.value.second); }},
    {"ap", [](std::string& o, const FormatInput& in) { o += in.value.hour < 12 ? "a" : "p"; }},
    {"AP", [](std::string& o, const FormatInput& in) { o += in.value.hour < 12 ? "a.m." : "p.m."; }},
    {"b", [](std::string& o, const FormatInput& in) { o += UtcOffsetText(in.utcOffsetMinutes); }},
};

const TokenRule* TokenAt(std::string_view rest) {
  for (const TokenRule& rule : kTokenRules) {
    if (rest.substr(0, rule.token.size()) == rule.token) return &rule;
  }
  return nullptr;
}

}  // namespace

std::string FormatDateTime(const DateTime& value, std::string_view pattern, int utcOffsetMinutes) {
  if (pattern.empty()) pattern = kDefaultDatePattern;
  const FormatInput input{value, WeekdayOf(value), utcOffsetMinutes};
  std::string out;
  for (size_t pos = 0; pos < pattern.size();) {
    const TokenRule* rule = TokenAt(pattern.substr(pos));
    if (!rule) {
      out += pattern[pos++];
      continue;
    }
    rule->append(out, input);
    pos += rule->token.size();
  }
  return out;
}

}  // namespace tl
