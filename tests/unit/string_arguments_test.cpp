#include "setup/strings/string_arguments.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(StringArguments, FillsConversionsWithoutTrustingTheFormat) {
  struct Case {
    const char* format;
    std::initializer_list<std::string_view> values;
    const char* expected;
  } cases[] = {
      {"Windows %s is not supported.", {"10"}, "Windows 10 is not supported."},
      {"needs %d-bit Windows", {"64"}, "needs 64-bit Windows"},
      {"%s bytes on %c: (%s free)", {"100", "C", "5"}, "100 bytes on C: (5 free)"},
      {"100%% done %s", {"now"}, "100% done now"},
      {"%-10s|", {"x"}, "x|"},               // flags and width are not applied, only consumed
      {"%s and %s", {"one"}, "one and %s"},  // no value left: stands as written
      {"%n%p%s", {"v"}, "%n%pv"},            // no dangerous conversion is ever interpreted
      {"trailing %", {"v"}, "trailing %"},
      {"", {"v"}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FillStringArguments(c.format, c.values), c.expected) << c.format;
}

// The one filler under FillStringArguments, FillCheckCode and
// FillPathArgument: which directives it takes decides the rest.
TEST(StringArguments, FillDirectivesTakesOnlyTheDirectivesItIsTold) {
  const Directives onlyD{"d"};
  const Directives onlyS{"s"};
  struct Case {
    const char* text;
    Directives directives;
    std::initializer_list<std::string_view> values;
    const char* expected;
  } cases[] = {
      {"code %d, %s", onlyD, {"61"}, "code 61, %s"},
      {"code %5d", onlyD, {"61"}, "code %5d"},  // no width without flagsAndWidth
      {"code %5d", kStringConversions, {"61"}, "code 61"},
      {"%d %d", onlyD, {"61"}, "61 %d"},         // one value: the second stands
      {"%d %d", onlyD, {"1", "2"}, "1 2"},
      {"%s %d %s", onlyS, {"a", "b"}, "a %d b"},
      {"%%d %d", onlyD, {"61"}, "%d 61"},        // %% is one percent sign, not a directive's start
      {"%%%d", onlyD, {"61"}, "%61"},
      {"%% and %", onlyS, {}, "% and %"},        // %% is one percent sign even with no values
      {"%n %p %-s", onlyS, {"x"}, "%n %p %-s"},
      {"%-s", Directives{"s", true}, {"x"}, "x"},
      {"%x", Directives{""}, {"x"}, "%x"},       // no letters: nothing is taken
      {"%", kStringConversions, {"x"}, "%"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FillDirectives(c.text, c.directives, c.values), c.expected)
        << c.text << " with \"" << c.directives.letters << "\"";
}

}  // namespace
}  // namespace setup
