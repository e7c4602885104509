#pragma once
// The two HTTP/1.1 texts the client handles: the GET request it sends and
// the status line of the answer, which is all it reads of the answer.
#include <optional>
#include <string>
#include <string_view>

#include "net/url.h"

namespace net {

// "GET <target> HTTP/1.1", then Host (with the port when it is not the
// scheme's own), "Connection: close" and "User-Agent: Orvanta Setup", each
// line ending in CR LF, and the empty line that ends the head.
std::string BuildGetRequest(const Url& url);

struct StatusLine {
  int major = 0;
  int minor = 0;
  int code = 0;        // 100 to 999
  std::string reason;  // may be empty
};

// The status line at the start of an answer ("HTTP/1.1 200 OK"). The line
// may end in CR LF, in LF alone, or where the bytes end (the peer closed).
// None when the bytes do not begin with one.
std::optional<StatusLine> ParseStatusLine(std::string_view answer);

}  // namespace net
