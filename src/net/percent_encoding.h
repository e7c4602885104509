#pragma once
// Texts placed inside web addresses.
#include <string>
#include <string_view>

namespace net {

// Keeps the unreserved characters of URIs (letters, digits, "-", ".", "_",
// "~") and writes every other byte as "%XX" with upper-case hex digits, so
// a blank becomes "%20" and "+" becomes "%2B".
std::string PercentEncode(std::string_view text);

// The address with every "%version%" (letter case ignored) replaced by the
// percent-encoded version. Inserted text is not searched again.
std::string ReplaceVersionPlaceholder(std::string_view address, std::string_view version);

}  // namespace net
