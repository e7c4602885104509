#include "net/percent_encoding.h"

#include "tl_core/text.h"

namespace net {
namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

constexpr std::string_view kVersionPlaceholder = "%version%";

}  // namespace

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    }
  }
  return encoded;
}

std::string ReplaceVersionPlaceholder(std::string_view address, std::string_view version) {
  const std::string encodedVersion = PercentEncode(version);
  std::string result;
  result.reserve(address.size());
  size_t position = 0;
  while (position < address.size()) {
    if (tl::StartsWithNoCase(address.substr(position), kVersionPlaceholder)) {
      result += encodedVersion;
      position += kVersionPlaceholder.size();
    } else {
      result += address[position++];
    }
  }
  return result;
}

}  // namespace net
