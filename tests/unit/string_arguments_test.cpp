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

}  // namespace
}  // namespace setup
