#include "tl_core/text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tl {
namespace {

TEST(Text, AsciiCaseOnly) {
  struct Case {
    std::string_view text;
    std::string_view upper;
  } cases[] = {
      {"c:\\program files\\app", "C:\\PROGRAM FILES\\APP"},
      {"AbC-xYz_09", "ABC-XYZ_09"},
      {"@[`{", "@[`{"},                  // the neighbours of the letters stay
      {"\xe4\xf6\xfc\xe9", "\xe4\xf6\xfc\xe9"},  // bytes beyond ASCII stay
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpperAscii(c.text), c.upper) << c.text;
    EXPECT_TRUE(EqualsNoCase(c.text, c.upper)) << c.text;
    std::string lower(c.upper);
    for (char& ch : lower) ch = ToLowerAscii(ch);
    EXPECT_EQ(UpperAscii(lower), c.upper) << c.text;
  }
  EXPECT_EQ(ToUpperAscii('a'), 'A');
  EXPECT_EQ(ToUpperAscii('z'), 'Z');
  EXPECT_EQ(ToUpperAscii('A'), 'A');
  EXPECT_EQ(ToLowerAscii('Z'), 'z');
  EXPECT_FALSE(EqualsNoCase("\xc4", "\xe4"));  // no case beyond ASCII
  for (char ch : std::string_view("AZaz")) EXPECT_TRUE(IsAsciiLetter(ch)) << ch;
  for (char ch : std::string_view("@[`{09 :\xc4")) EXPECT_FALSE(IsAsciiLetter(ch)) << ch;
}

TEST(Text, FindNoCase) {
  constexpr size_t npos = std::string_view::npos;
  struct Case {
    std::string_view text;
    std::string_view needle;
    size_t from;
    size_t at;
  } cases[] = {
      {"[boot]\r\n[Rename]\r\n", "[rename]", 0, 8},
      {"x%SYSTEMROOT%\\inf", "%SystemRoot%", 0, 1},
      {"<os>;<OS>", "<os>", 1, 5},
      {"<os>;<OS>", "<os>", 6, npos},
      {"<os>", "<os>", 0, 0},
      {"<os", "<os>", 0, npos},          // text shorter than the needle
      {"abc", "", 0, npos},              // an empty needle is never found
      {"abc", "c", 3, npos},
      {"abc", "c", 99, npos},            // from past the end
      {"\xc4x", "\xe4x", 0, npos},
  };
  for (const Case& c : cases) EXPECT_EQ(FindNoCase(c.text, c.needle, c.from), c.at) << c.text << " / " << c.needle;
  EXPECT_EQ(FindNoCase("aAa", "A"), 0u);
  EXPECT_TRUE(StartsWithNoCase("hklm\\Software", "HKLM\\"));
  EXPECT_FALSE(StartsWithNoCase("HKL", "HKLM\\"));
}

}  // namespace
}  // namespace tl
