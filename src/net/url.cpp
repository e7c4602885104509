#include "net/url.h"

#include "tl_core/text.h"

namespace net {
namespace {

// Longest host name DNS can carry.
constexpr size_t kMaxHostLength = 253;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHostCharacter(char c) { return tl::IsAsciiLetter(c) || IsDigit(c) || c == '-' || c == '.' || c == '_'; }
bool LooksNumeric(std::string_view host) { return host.find_first_not_of("0123456789.") == std::string_view::npos; }

char HexDigit(unsigned value) { return "0123456789ABCDEF"[value & 15]; }

struct SchemeMatch {
  UrlScheme scheme;
  size_t length;  // of the prefix including "://"
};

std::optional<SchemeMatch> MatchScheme(std::string_view text) {
  if (tl::StartsWithNoCase(text, "http://")) return SchemeMatch{UrlScheme::kHttp, 7};
  if (tl::StartsWithNoCase(text, "https://")) return SchemeMatch{UrlScheme::kHttps, 8};
  return std::nullopt;
}

// "" means the scheme's port (an empty port is allowed in URIs).
std::optional<uint16_t> ParsePort(std::string_view digits, UrlScheme scheme) {
  if (digits.empty()) return DefaultPort(scheme);
  if (digits.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

UrlError CheckHost(std::string_view host) {
  if (host.empty()) return UrlError::kMissingHost;
  if (host.size() > kMaxHostLength) return UrlError::kBadHost;
  for (char c : host)
    if (!IsHostCharacter(c)) return UrlError::kBadHost;
  // Digits and dots only must be a full dotted quad: short and octal forms
  // are read differently by different resolvers.
  if (LooksNumeric(host) && !ParseIpv4Literal(host)) return UrlError::kBadHost;
  return UrlError::kNone;
}

// Path and query for the request line; nullopt on a blank or control byte.
std::optional<std::string> RequestTarget(std::string_view rest) {
  std::string target;
  if (rest.empty() || rest.front() != '/') target += '/';
  for (char c : rest) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return std::nullopt;
    if (byte >= 0x80) {
      target += '%';
      target += HexDigit(byte >> 4);
      target += HexDigit(byte);
    } else {
      target += c;
    }
  }
  return target;
}

}  // namespace

uint16_t DefaultPort(UrlScheme scheme) { return scheme == UrlScheme::kHttps ? 443 : 80; }

std::optional<std::array<uint8_t, 4>> ParseIpv4Literal(std::string_view host) {
  std::array<uint8_t, 4> bytes{};
  size_t position = 0;
  for (size_t part = 0; part < 4; ++part) {
    if (part > 0) {
      if (position >= host.size() || host[position] != '.') return std::nullopt;
      ++position;
    }
    const size_t begin = position;
    unsigned value = 0;
    while (position < host.size() && IsDigit(host[position]) && position - begin < 3) {
      value = value * 10 + static_cast<unsigned>(host[position] - '0');
      ++position;
    }
    const size_t length = position - begin;
    if (length == 0 || value > 255) return std::nullopt;
    if (length > 1 && host[begin] == '0') return std::nullopt;
    bytes[part] = static_cast<uint8_t>(value);
  }
  if (position != host.size()) return std::nullopt;
  return bytes;
}

UrlParse ParseUrl(std::string_view text) {
  UrlParse result;
  text = tl::TrimBlanks(text);
  if (text.empty()) return {UrlError::kEmpty, {}};
  const std::optional<SchemeMatch> scheme = MatchScheme(text);
  if (!scheme) return {UrlError::kUnknownScheme, {}};
  result.url.scheme = scheme->scheme;
  text.remove_prefix(scheme->length);

  const size_t authorityEnd = text.find_first_of("/?#");
  std::string_view authority = text.substr(0, authorityEnd);
  std::string_view rest = authorityEnd == std::string_view::npos ? std::string_view() : text.substr(authorityEnd);
  rest = rest.substr(0, rest.find('#'));

  std::string_view host = authority;
  result.url.port = DefaultPort(scheme->scheme);
  const size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    const std::optional<uint16_t> port = ParsePort(authority.substr(colon + 1), scheme->scheme);
    if (!port) return {UrlError::kBadPort, {}};
    result.url.port = *port;
  }
  if (const UrlError hostError = CheckHost(host); hostError != UrlError::kNone) return {hostError, {}};
  result.url.host = std::string(host);

  std::optional<std::string> target = RequestTarget(rest);
  if (!target) return {UrlError::kBadCharacter, {}};
  result.url.target = std::move(*target);
  return result;
}

const char* UrlErrorText(UrlError error) {
  switch (error) {
    case UrlError::kNone: return "no error";
    case UrlError::kEmpty: return "the address is empty";
    case UrlError::kUnknownScheme: return "the address does not begin with http:// or https://";
    case UrlError::kMissingHost: return "the address names no host";
    case UrlError::kBadHost: return "the host name is not valid";
    case UrlError::kBadPort: return "the port is not a number from 1 to 65535";
    case UrlError::kBadCharacter: return "the path holds a blank or control character";
  }
  return "unknown address error";
}

}  // namespace net
