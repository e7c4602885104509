#pragma once
// A request through the system's internet client (WinInet), which knows
// the user's proxy settings. wininet.dll is loaded on first use.
#include <cstdint>
#include <string_view>

#include "tl_core/result.h"

namespace net {

// Requests the address (any scheme WinInet knows) bypassing the cache and
// without any dialog, with connect, send and receive each limited to
// timeLimitMs, then reads the answer to its end (at most maxAnswerBytes)
// and drops it. Succeeds when an answer came back, whatever its status.
// Fails with ERROR_MOD_NOT_FOUND without WinInet, else WinInet's code
// (ERROR_INTERNET_CANNOT_CONNECT, ERROR_INTERNET_TIMEOUT ...).
tl::Status RequestThroughSystemClient(std::string_view address, uint32_t timeLimitMs = 10000,
                                      uint32_t maxAnswerBytes = 1024 * 1024);

}  // namespace net
