#include "tl_core/date_format.h"

#include <gtest/gtest.h>

#include "tl_core/date_time.h"

namespace tl {
namespace {

// Sunday, 6 December 2026, 9:05:07 in the morning.
constexpr DateTime kSundayMorning{2026, 12, 6, 9, 5, 7};
// Friday, 4 March 2005, 14:08:09: single-digit fields and an afternoon.
constexpr DateTime kFridayAfternoon{2005, 3, 4, 14, 8, 9};

struct TokenCase {
  DateTime value;
  const char* pattern;
  const char* expected;
};

void PrintTo(const TokenCase& c, std::ostream* os) {
  *os << "pattern " << c.pattern << " on " << c.value.year << "-" << c.value.month << "-" << c.value.day << " "
      << c.value.hour << "h";
}

class DateTokenTest : public testing::TestWithParam<TokenCase> {};

TEST_P(DateTokenTest, FormatsToken) {
  const TokenCase& c = GetParam();
  EXPECT_EQ(FormatDateTime(c.value, c.pattern, 0), c.expected) << "pattern " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(EveryToken, DateTokenTest,
                         testing::Values(TokenCase{kSundayMorning, "d", "6"},
                                         TokenCase{kSundayMorning, "dd", "06"},
                                         TokenCase{kSundayMorning, "D", "6th"},
                                         TokenCase{kSundayMorning, "DD", "Sixth"},
                                         TokenCase{kSundayMorning, "m", "12"},
                                         TokenCase{kSundayMorning, "M", "Dec"},
                                         TokenCase{kSundayMorning, "MM", "December"},
                                         TokenCase{kSundayMorning, "w", "1"},
                                         TokenCase{kSundayMorning, "ww", "01"},
                                         TokenCase{kSundayMorning, "W", "Sun"},
                                         TokenCase{kSundayMorning, "WW", "Sunday"},
                                         TokenCase{kSundayMorning, "y", "26"},
                                         TokenCase{kSundayMorning, "yy", "2026"},
                                         TokenCase{kSundayMorning, "Y", "Twenty-Six"},
                                         TokenCase{kSundayMorning, "YY", "Two Thousand Twenty-Six"},
                                         TokenCase{kSundayMorning, "H", "9"},
                                         TokenCase{kSundayMorning, "HH", "09"},
                                         TokenCase{kSundayMorning, "h", "9"},
                                         TokenCase{kSundayMorning, "hh", "09"},
                                         TokenCase{kSundayMorning, "i", "5"},
                                         TokenCase{kSundayMorning, "ii", "05"},
                                         TokenCase{kSundayMorning, "s", "7"},
                                         TokenCase{kSundayMorning, "ss", "07"},
                                         TokenCase{kSundayMorning, "ap", "a"},
                                         TokenCase{kSundayMorning, "AP", "a.m."},
                                         TokenCase{kFridayAfternoon, "d", "4"},
                                         TokenCase{kFridayAfternoon, "dd", "04"},
                                         TokenCase{kFridayAfternoon, "D", "4th"},
                                         TokenCase{kFridayAfternoon, "DD", "Fourth"},
                                         TokenCase{kFridayAfternoon, "m", "3"},
                                         TokenCase{kFridayAfternoon, "mm", "03"},
                                         TokenCase{kFridayAfternoon, "M", "Mar"},
                                         TokenCase{kFridayAfternoon, "MM", "March"},
                                         TokenCase{kFridayAfternoon, "w", "6"},
                                         TokenCase{kFridayAfternoon, "ww", "06"},
                                         TokenCase{kFridayAfternoon, "W", "Fri"},
                                         TokenCase{kFridayAfternoon, "WW", "Friday"},
                                         TokenCase{kFridayAfternoon, "H", "14"},
                                         TokenCase{kFridayAfternoon, "h", "2"},
                                         TokenCase{kFridayAfternoon, "hh", "02"},
                                         TokenCase{kFridayAfternoon, "ii", "08"},
                                         TokenCase{kFridayAfternoon, "ss", "09"},
                                         TokenCase{kFridayAfternoon, "ap", "p"},
                                         TokenCase{kFridayAfternoon, "AP", "p.m."}));

// How a pattern is cut into tokens: longest token first, everything else copied.
INSTANTIATE_TEST_SUITE_P(PatternReading, DateTokenTest,
                         testing::Values(TokenCase{kSundayMorning, "ddd", "066"},
                                         TokenCase{kSundayMorning, "mmm", "1212"},
                                         TokenCase{kSundayMorning, "MMM", "DecemberDec"},
                                         TokenCase{kSundayMorning, "yyy", "202626"},
                                         TokenCase{kSundayMorning, "a", "a"},
                                         TokenCase{kSundayMorning, "aap", "aa"},
                                         TokenCase{kSundayMorning, "A", "A"},
                                         TokenCase{kSundayMorning, "Ap", "Ap"},
                                         TokenCase{kSundayMorning, "aP", "aP"},
                                         TokenCase{kSundayMorning, "APap", "a.m.a"},
                                         TokenCase{kSundayMorning, "at x!", "at x!"},
                                         TokenCase{kSundayMorning, "[d.m.yy]", "[6.12.2026]"},
                                         TokenCase{kSundayMorning, "WW, MM D", "Sunday, December 6th"},
                                         // Letters of plain words are tokens too.
                                         TokenCase{kSundayMorning, "Dth", "6tht9"}));

TEST(DateFormat, WorkedExamples) {
  EXPECT_EQ(FormatDateTime(kSundayMorning, "d-M-yy h:ii:ssap", 0), "6-Dec-2026 9:05:07a");
  EXPECT_EQ(FormatDateTime(kSundayMorning, "m/d/y h:ii:ssap", 0), "12/6/26 9:05:07a");
}

TEST(DateFormat, EmptyPatternUsesDefault) {
  EXPECT_EQ(FormatDateTime(kSundayMorning, "", 0), "12/6/26 9:05:07a");
  EXPECT_EQ(FormatDateTime(kFridayAfternoon, {}, 0), "3/4/05 2:08:09p");
}

TEST(DateFormat, TwelveAndTwentyFourHourClocks) {
  struct Case {
    int hour;
    const char* expected;  // "h|hh|H|HH|ap|AP"
  };
  const Case cases[] = {
      {0, "12|12|0|00|a|a.m."},   {1, "1|01|1|01|a|a.m."},    {11, "11|11|11|11|a|a.m."},
      {12, "12|12|12|12|p|p.m."}, {13, "1|01|13|13|p|p.m."},  {23, "11|11|23|23|p|p.m."},
  };
  for (const Case& c : cases) {
    DateTime value = kSundayMorning;
    value.hour = c.hour;
    EXPECT_EQ(FormatDateTime(value, "h|hh|H|HH|ap|AP", 0), c.expected) << "hour " << c.hour;
  }
}

TEST(DateFormat, OrdinalDaySuffixes) {
  struct Case {
    int day;
    const char* expected;
  };
  const Case cases[] = {{1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},   {10, "10th"},
                        {11, "11th"}, {12, "12th"}, {13, "13th"}, {21, "21st"}, {22, "22nd"},
                        {23, "23rd"}, {24, "24th"}, {30, "30th"}, {31, "31st"}};
  for (const Case& c : cases) {
    DateTime value = kSundayMorning;
    value.month = 1;
    value.day = c.day;
    EXPECT_EQ(FormatDateTime(value, "D", 0), c.expected) << "day " << c.day;
  }
}

TEST(DateFormat, DayAsOrdinalWords) {
  struct Case {
    int day;
    const char* expected;
  };
  const Case cases[] = {{1, "First"},        {2, "Second"},        {3, "Third"},   {12, "Twelfth"},
                        {20, "Twentieth"},   {21, "Twenty-First"}, {22, "Twenty-Second"},
                        {30, "Thirtieth"},   {31, "Thirty-First"}};
  for (const Case& c : cases) {
    DateTime value = kSundayMorning;
    value.month = 1;
    value.day = c.day;
    EXPECT_EQ(FormatDateTime(value, "DD", 0), c.expected) << "day " << c.day;
  }
}

TEST(DateFormat, YearForms) {
  struct Case {
    int year;
    const char* expected;  // "y|yy|Y|YY"
  };
  const Case cases[] = {
      {2005, "05|2005|Oh Five|Two Thousand Five"},
      {2026, "26|2026|Twenty-Six|Two Thousand Twenty-Six"},
      {1999, "99|1999|Ninety-Nine|One Thousand Nine Hundred Ninety-Nine"},
      {2010, "10|2010|Ten|Two Thousand Ten"},
      {2000, "00|2000|Oh Zero|Two Thousand"},
      {987, "87|0987|Eighty-Seven|Nine Hundred Eighty-Seven"},
  };
  for (const Case& c : cases) {
    DateTime value = kSundayMorning;
    value.year = c.year;
    EXPECT_EQ(FormatDateTime(value, "y|yy|Y|YY", 0), c.expected) << "year " << c.year;
  }
}

TEST(DateFormat, UtcOffset) {
  struct Case {
    int minutesEast;
    const char* expected;
  };
  const Case cases[] = {{0, "+0000"},   {60, "+0100"},   {330, "+0530"}, {765, "+1245"},
                        {-300, "-0500"}, {-570, "-0930"}, {-30, "-0030"}, {-720, "-1200"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDateTime(kSundayMorning, "b", c.minutesEast), c.expected) << c.minutesEast;
  }
  EXPECT_EQ(FormatDateTime(kSundayMorning, "HH:ii b", -300), "09:05 -0500");
}

TEST(DateFormat, NamesOutsideTheirRangeAreEmpty) {
  DateTime value = kSundayMorning;
  value.month = 13;
  EXPECT_EQ(FormatDateTime(value, "<M|MM|W|WW>", 0), "<|||>");
  EXPECT_EQ(FormatDateTime(DateTime{}, "<MM|WW|w>", 0), "<||0>");
}

}  // namespace
}  // namespace tl
