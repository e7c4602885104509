#include "net/http_message.h"

#include <gtest/gtest.h>

namespace net {
namespace {

Url ParsedOrFail(const char* text) {
  const UrlParse parsed = ParseUrl(text);
  EXPECT_TRUE(parsed.ok()) << text;
  return parsed.url;
}

TEST(BuildGetRequest, WritesTheWholeHeadWithCrLf) {
  struct Case {
    const char* address;
    const char* expected;
  } cases[] = {
      {"http://example.com/n?v=1.2%20beta",
       "GET /n?v=1.2%20beta HTTP/1.1\r\nHost: example.com\r\nConnection: close\r\n"
       "User-Agent: Orvanta Setup\r\n\r\n"},
      {"http://127.0.0.1:8080",
       "GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nConnection: close\r\nUser-Agent: Orvanta Setup\r\n\r\n"},
      {"http://h:80/x", "GET /x HTTP/1.1\r\nHost: h\r\nConnection: close\r\nUser-Agent: Orvanta Setup\r\n\r\n"},
      {"https://h:443/x", "GET /x HTTP/1.1\r\nHost: h\r\nConnection: close\r\nUser-Agent: Orvanta Setup\r\n\r\n"},
      {"https://h:80/x", "GET /x HTTP/1.1\r\nHost: h:80\r\nConnection: close\r\nUser-Agent: Orvanta Setup\r\n\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildGetRequest(ParsedOrFail(c.address)), c.expected) << c.address;
}

TEST(ParseStatusLine, ReadsTheFirstLineOfAnAnswer) {
  struct Case {
    const char* answer;
    int major, minor, code;
    const char* reason;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 1, 1, 200, "OK"},
      {"HTTP/1.0 404 Not Found\nServer: x\n\n", 1, 0, 404, "Not Found"},
      {"HTTP/1.1 500 \r\n", 1, 1, 500, ""},
      {"HTTP/1.1 204\r\n", 1, 1, 204, ""},
      {"HTTP/1.1 302 Found", 1, 1, 302, "Found"},  // the peer closed inside the line
      {"HTTP/2.0 100 Continue\r\n", 2, 0, 100, "Continue"},
  };
  for (const Case& c : cases) {
    const std::optional<StatusLine> status = ParseStatusLine(c.answer);
    ASSERT_TRUE(status.has_value()) << c.answer;
    EXPECT_EQ(status->major, c.major) << c.answer;
    EXPECT_EQ(status->minor, c.minor) << c.answer;
    EXPECT_EQ(status->code, c.code) << c.answer;
    EXPECT_EQ(status->reason, c.reason) << c.answer;
  }
}

TEST(ParseStatusLine, RejectsWhatIsNoStatusLine) {
  const char* answers[] = {
      "",
      "HTTP/",
      "HTTP/1.1",
      "HTTP/1.1 ",
      "HTTP/1.1 20",
      "HTTP/1.1 2000 OK",
      "HTTP/1.1 099 Low",
      "HTTP/1.1 abc OK",
      "HTTP/11 200 OK",
      "http/1.1 200 OK",
      "SSH-2.0-OpenSSH_9.0\r\n",
      " HTTP/1.1 200 OK",
      "HTTP/1.1\t200 OK",
  };
  for (const char* answer : answers) EXPECT_FALSE(ParseStatusLine(answer).has_value()) << answer;
}

}  // namespace
}  // namespace net
