#pragma once
// The library's own HTTP/1.1 client: one GET over a plain socket, every
// wait limited so that a silent or slow server cannot hold the run.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/http_message.h"
#include "tl_core/result.h"

namespace net {

struct HttpLimits {
  uint32_t waitMs = 10000;            // longest wait for connect, each send, each receive
  uint32_t totalMs = 60000;           // longest the whole exchange may take
  size_t maxAnswerBytes = 64 * 1024;  // read no further than this
};

// Sends a GET for a plain "http://" address over IPv4 and reads the answer
// until the peer closes it or a limit is reached. Succeeds with the answer's
// status line, whatever its code. Fails with a system code:
// ERROR_INVALID_PARAMETER for a malformed address, ERROR_NOT_SUPPORTED for
// "https://", ERROR_INVALID_DATA for an answer without a status line, the
// socket error otherwise (WSAECONNREFUSED, WSAETIMEDOUT, WSAHOST_NOT_FOUND ...).
tl::Result<StatusLine> HttpGet(std::string_view address, const HttpLimits& limits = {});

}  // namespace net
