#pragma once
// Web addresses of the form "scheme://host[:port][/path][?query][#fragment]"
// split into what a request needs. Only the parts a plain GET uses are kept:
// the fragment never leaves the client.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

enum class UrlScheme { kHttp, kHttps };

enum class UrlError {
  kNone,
  kEmpty,
  kUnknownScheme,   // neither "http://" nor "https://"
  kMissingHost,
  kBadHost,         // a character outside names and IPv4 literals, or a bad IPv4 literal
  kBadPort,         // not 1 to 65535
  kBadCharacter,    // a blank or control character in the path or query
};

struct Url {
  UrlScheme scheme = UrlScheme::kHttp;
  std::string host;  // as written: a name or an IPv4 literal
  uint16_t port = 80;
  // Path and query as sent in the request line: begins with "/", bytes
  // above 127 percent-encoded.
  std::string target = "/";
};

struct UrlParse {
  UrlError error = UrlError::kNone;
  Url url;  // meaningful only without error
  bool ok() const { return error == UrlError::kNone; }
};

UrlParse ParseUrl(std::string_view text);

// A short English text for logs.
const char* UrlErrorText(UrlError error);

// The four bytes of a dotted-decimal IPv4 literal ("127.0.0.1"), or none
// for anything else (names, short forms like "127.1", octets above 255).
std::optional<std::array<uint8_t, 4>> ParseIpv4Literal(std::string_view host);

// The port a scheme uses when the address names none.
uint16_t DefaultPort(UrlScheme scheme);

}  // namespace net
