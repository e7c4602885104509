#include "net/percent_encoding.h"

#include <gtest/gtest.h>

namespace net {
namespace {

TEST(PercentEncode, KeepsUnreservedAndEscapesEveryOtherByte) {
  struct Case {
    std::string text;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"1.2.3", "1.2.3"},
      {"AZaz09-._~", "AZaz09-._~"},
      {"1.2 beta", "1.2%20beta"},
      {"a+b", "a%2Bb"},
      {"100%", "100%25"},
      {"/?#&=:@", "%2F%3F%23%26%3D%3A%40"},
      {"\xE4\xFF\x80", "%E4%FF%80"},  // upper-case hex, one escape per byte
      {std::string("a\0b", 3), "a%00b"},
      {"\r\n", "%0D%0A"},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncode(c.text), c.expected) << c.text;
}

TEST(ReplaceVersionPlaceholder, ReplacesEveryPlaceholderInAnyCase) {
  struct Case {
    const char* address;
    const char* version;
    const char* expected;
  } cases[] = {
      {"http://h/n?v=%version%", "1.2 beta", "http://h/n?v=1.2%20beta"},
      {"http://h/%VERSION%/x?v=%Version%", "2.0", "http://h/2.0/x?v=2.0"},
      {"http://h/n?v=1", "2.0", "http://h/n?v=1"},
      {"http://h/n?v=%version", "2.0", "http://h/n?v=%version"},      // unterminated stays
      {"%%version%%", "3", "%3%"},
      {"http://h/?v=%version%", "", "http://h/?v="},
      {"http://h/?v=%version%", "%version%", "http://h/?v=%25version%25"},  // not replaced twice
      {"", "1", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReplaceVersionPlaceholder(c.address, c.version), c.expected) << c.address << " / " << c.version;
}

}  // namespace
}  // namespace net
