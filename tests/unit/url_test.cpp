#include "net/url.h"

#include <gtest/gtest.h>

namespace net {
namespace {

TEST(ParseUrl, SplitsWellFormedAddresses) {
  struct Case {
    const char* text;
    UrlScheme scheme;
    const char* host;
    uint16_t port;
    const char* target;
  } cases[] = {
      {"http://example.com/notify?v=1.2", UrlScheme::kHttp, "example.com", 80, "/notify?v=1.2"},
      {"http://example.com", UrlScheme::kHttp, "example.com", 80, "/"},
      {"http://example.com?x=1", UrlScheme::kHttp, "example.com", 80, "/?x=1"},
      {"HTTP://Example.COM:8080/A", UrlScheme::kHttp, "Example.COM", 8080, "/A"},
      {"http://127.0.0.1:65535/", UrlScheme::kHttp, "127.0.0.1", 65535, "/"},
      {"http://host:/p", UrlScheme::kHttp, "host", 80, "/p"},  // empty port: the scheme's
      {"https://secure.example/x", UrlScheme::kHttps, "secure.example", 443, "/x"},
      {"http://h/p#fragment", UrlScheme::kHttp, "h", 80, "/p"},
      {"http://h#only-fragment", UrlScheme::kHttp, "h", 80, "/"},
      {"http://h/a%20b?q=%25", UrlScheme::kHttp, "h", 80, "/a%20b?q=%25"},  // escapes pass as written
      {"http://h/\xE4?\xFF", UrlScheme::kHttp, "h", 80, "/%E4?%FF"},         // high bytes escaped
      {"  http://my_host-1.local/x \r\n", UrlScheme::kHttp, "my_host-1.local", 80, "/x"},
  };
  for (const Case& c : cases) {
    const UrlParse parsed = ParseUrl(c.text);
    ASSERT_TRUE(parsed.ok()) << c.text << ": " << UrlErrorText(parsed.error);
    EXPECT_EQ(parsed.url.scheme, c.scheme) << c.text;
    EXPECT_EQ(parsed.url.host, c.host) << c.text;
    EXPECT_EQ(parsed.url.port, c.port) << c.text;
    EXPECT_EQ(parsed.url.target, c.target) << c.text;
  }
}

TEST(ParseUrl, RejectsMalformedAddresses) {
  struct Case {
    std::string text;
    UrlError error;
  } cases[] = {
      {"", UrlError::kEmpty},
      {"   ", UrlError::kEmpty},
      {"ftp://host/", UrlError::kUnknownScheme},
      {"http:/host/", UrlError::kUnknownScheme},
      {"http", UrlError::kUnknownScheme},
      {"example.com/path", UrlError::kUnknownScheme},
      {"http://", UrlError::kMissingHost},
      {"http:///path", UrlError::kMissingHost},
      {"http://:80/", UrlError::kMissingHost},
      {"http://host:0/", UrlError::kBadPort},
      {"http://host:65536/", UrlError::kBadPort},
      {"http://host:123456/", UrlError::kBadPort},
      {"http://host:8o/", UrlError::kBadPort},
      {"http://host:-1/", UrlError::kBadPort},
      {"http://user@host/", UrlError::kBadHost},
      {"http://ho st/", UrlError::kBadHost},
      {"http://host:80:80/", UrlError::kBadHost},
      {"http://256.1.1.1/", UrlError::kBadHost},
      {"http://127.1/", UrlError::kBadHost},
      {"http://010.0.0.1/", UrlError::kBadHost},
      {"http://" + std::string(254, 'a') + "/", UrlError::kBadHost},
      {"http://h/a b", UrlError::kBadCharacter},
      {"http://h/a\r\nX-Injected: 1", UrlError::kBadCharacter},
      {"http://h/?q=\tx", UrlError::kBadCharacter},
      {"http://h/\x7F", UrlError::kBadCharacter},
      {std::string("http://h/a\0b", 12), UrlError::kBadCharacter},
  };
  for (const Case& c : cases) {
    const UrlParse parsed = ParseUrl(c.text);
    EXPECT_EQ(parsed.error, c.error) << c.text << ": " << UrlErrorText(parsed.error);
    EXPECT_FALSE(parsed.ok()) << c.text;
  }
}

TEST(ParseUrl, EveryCutOfAnAddressFromItsHostOnStaysValid) {
  // Cut inside the scheme there is no address; any later cut ("http://a.",
  // "http://a.b:", "http://a.b:81/p?") is one, each in a buffer of its own
  // size, so a read past the end shows under a sanitizer.
  const std::string full = "http://a.b:81/p?q#f";
  const size_t firstValid = std::string("http://a").size();
  for (size_t length = 0; length <= full.size(); ++length) {
    const std::string cut = full.substr(0, length);
    const UrlParse parsed = ParseUrl(cut);
    EXPECT_EQ(parsed.ok(), length >= firstValid) << cut << ": " << UrlErrorText(parsed.error);
  }
}

TEST(ParseIpv4Literal, AcceptsOnlyFullDottedQuads) {
  struct Case {
    const char* text;
    bool valid;
    std::array<uint8_t, 4> bytes;
  } cases[] = {
      {"127.0.0.1", true, {127, 0, 0, 1}},
      {"0.0.0.0", true, {0, 0, 0, 0}},
      {"255.255.255.255", true, {255, 255, 255, 255}},
      {"192.168.10.200", true, {192, 168, 10, 200}},
      {"256.0.0.1", false, {}},
      {"1.2.3", false, {}},
      {"1.2.3.4.5", false, {}},
      {"1..3.4", false, {}},
      {"1.2.3.", false, {}},
      {".1.2.3", false, {}},
      {"01.2.3.4", false, {}},
      {"1.2.3.1000", false, {}},
      {"1.2.3.4a", false, {}},
      {"example.com", false, {}},
      {"", false, {}},
  };
  for (const Case& c : cases) {
    const auto bytes = ParseIpv4Literal(c.text);
    ASSERT_EQ(bytes.has_value(), c.valid) << c.text;
    if (c.valid) EXPECT_EQ(*bytes, c.bytes) << c.text;
  }
}

}  // namespace
}  // namespace net
