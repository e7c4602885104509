#include "net/http_client_win.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "net/url.h"
#include "net/winsock_win.h"

namespace net {
namespace {

// Enough of the answer's start for its status line; the rest is counted and dropped.
constexpr size_t kKeptAnswerBytes = 1024;

// The time left of the whole exchange.
class Deadline {
 public:
  explicit Deadline(uint32_t totalMs) : start_(::GetTickCount()), totalMs_(totalMs) {}
  // The wait for one step: at most waitMs and no longer than the time left;
  // 0 when the time is up. Never 0 otherwise: a socket wait of 0 means forever.
  uint32_t NextWait(uint32_t waitMs) const {
    const DWORD elapsed = ::GetTickCount() - start_;  // unsigned: right across the counter's wrap
    if (elapsed >= totalMs_) return 0;
    return std::max<uint32_t>(1, std::min<uint32_t>(waitMs, totalMs_ - elapsed));
  }

 private:
  DWORD start_;
  uint32_t totalMs_;
};

class AddressList {
 public:
  explicit AddressList(const WinsockApi& api) : api_(api) {}
  AddressList(const AddressList&) = delete;
  AddressList& operator=(const AddressList&) = delete;
  ~AddressList() {
    if (list_) api_.freeAddrInfo(list_);
  }
  addrinfo** Out() { return &list_; }
  const addrinfo* Get() const { return list_; }

 private:
  const WinsockApi& api_;
  addrinfo* list_ = nullptr;
};

in_addr InAddrFromBytes(const void* bytes) {
  in_addr address;
  std::memcpy(&address, bytes, sizeof(address));
  return address;
}

tl::Result<std::vector<in_addr>> ResolveThroughAddrInfo(const WinsockApi& api, const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  AddressList found(api);
  if (int code = api.getAddrInfo(host.c_str(), nullptr, &hints, found.Out()); code != 0)
    return tl::SysError{static_cast<uint32_t>(code)};
  std::vector<in_addr> addresses;
  for (const addrinfo* entry = found.Get(); entry; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || !entry->ai_addr || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
    addresses.push_back(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr);
  }
  if (addresses.empty()) return tl::SysError{WSAHOST_NOT_FOUND};
  return addresses;
}

tl::Result<std::vector<in_addr>> ResolveThroughHostByName(const WinsockApi& api, const std::string& host) {
  const hostent* entry = api.getHostByName(host.c_str());
  if (!entry) return LastSocketError();
  std::vector<in_addr> addresses;
  if (entry->h_addrtype == AF_INET && entry->h_length == sizeof(in_addr))
    for (char** item = entry->h_addr_list; item && *item; ++item) addresses.push_back(InAddrFromBytes(*item));
  if (addresses.empty()) return tl::SysError{WSAHOST_NOT_FOUND};
  return addresses;
}

// The IPv4 addresses to try: an IPv4 literal as it is, a name through the resolver.
tl::Result<std::vector<in_addr>> ResolveIpv4(const WinsockApi& api, const std::string& host) {
  if (const auto literal = ParseIpv4Literal(host)) return std::vector<in_addr>{InAddrFromBytes(literal->data())};
  return api.getAddrInfo ? ResolveThroughAddrInfo(api, host) : ResolveThroughHostByName(api, host);
}

tl::Status SetBlocking(const WinsockApi& api, SOCKET s, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  if (api.ioctlSocket(s, FIONBIO, &nonBlocking) != 0) return LastSocketError();
  return {};
}

tl::Status SetWait(const WinsockApi& api, SOCKET s, int option, uint32_t waitMs) {
  const DWORD value = waitMs;
  if (api.setSockOpt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof(value)) != 0)
    return LastSocketError();
  return {};
}

// Waits for a non-blocking connect to finish. Windows reports a failed
// connect in the exception set, a finished one in the write set.
tl::Status AwaitConnection(const WinsockApi& api, SOCKET s, uint32_t waitMs) {
  fd_set writable;
  writable.fd_count = 1;
  writable.fd_array[0] = s;
  fd_set failed = writable;
  timeval limit{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000};
  const int ready = api.select(0, nullptr, &writable, &failed, &limit);
  if (ready < 0) return LastSocketError();
  if (ready == 0) return tl::SysError{WSAETIMEDOUT};
  int error = 0;
  int length = sizeof(error);
  if (api.getSockOpt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
    return LastSocketError();
  if (error != 0) return tl::SysError{static_cast<uint32_t>(error)};
  if (failed.fd_count != 0) return tl::SysError{WSAECONNREFUSED};
  return {};
}

// A blocking connect would wait as long as the system's own retries take:
// the connect is started non-blocking and waited for with the limit.
tl::Result<ScopedSocket> ConnectWithin(const WinsockApi& api, in_addr address, uint16_t port, uint32_t waitMs) {
  ScopedSocket s(api.socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s) return LastSocketError();
  if (tl::Status status = SetBlocking(api, s.Get(), false); !status) return tl::SysError{status.error()};
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = api.htons(port);
  target.sin_addr = address;
  if (api.connect(s.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)) != 0) {
    const tl::SysError error = LastSocketError();
    if (error.code != WSAEWOULDBLOCK) return error;
    if (tl::Status status = AwaitConnection(api, s.Get(), waitMs); !status) return tl::SysError{status.error()};
  }
  if (tl::Status status = SetBlocking(api, s.Get(), true); !status) return tl::SysError{status.error()};
  return s;
}

// The first address that takes the connection, else the last failure.
tl::Result<ScopedSocket> ConnectToAny(const WinsockApi& api, const std::vector<in_addr>& addresses, uint16_t port,
                                      const HttpLimits& limits, const Deadline& deadline) {
  tl::SysError lastError{WSAETIMEDOUT};
  for (const in_addr& address : addresses) {
    const uint32_t wait = deadline.NextWait(limits.waitMs);
    if (wait == 0) return tl::SysError{WSAETIMEDOUT};
    tl::Result<ScopedSocket> connected = ConnectWithin(api, address, port, wait);
    if (connected) return connected;
    lastError = tl::SysError{connected.error()};
  }
  return lastError;
}

tl::Status SendAll(const WinsockApi& api, SOCKET s, std::string_view bytes, const HttpLimits& limits,
                   const Deadline& deadline) {
  while (!bytes.empty()) {
    const uint32_t wait = deadline.NextWait(limits.waitMs);
    if (wait == 0) return tl::SysError{WSAETIMEDOUT};
    if (tl::Status status = SetWait(api, s, SO_SNDTIMEO, wait); !status) return status;
    const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 64 * 1024));
    const int sent = api.send(s, bytes.data(), chunk, 0);
    if (sent <= 0) return LastSocketError();
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return {};
}

struct Answer {
  std::string start;      // the first kKeptAnswerBytes
  tl::SysError ending{};  // why reading stopped; 0 when the peer closed or a limit was reached
};

Answer ReadAnswer(const WinsockApi& api, SOCKET s, const HttpLimits& limits, const Deadline& deadline) {
  Answer answer;
  size_t total = 0;
  char buffer[4096];
  while (total < limits.maxAnswerBytes) {
    const uint32_t wait = deadline.NextWait(limits.waitMs);
    if (wait == 0) break;
    if (tl::Status status = SetWait(api, s, SO_RCVTIMEO, wait); !status) {
      answer.ending = tl::SysError{status.error()};
      break;
    }
    const int want = static_cast<int>(std::min(sizeof(buffer), limits.maxAnswerBytes - total));
    const int got = api.recv(s, buffer, want, 0);
    if (got == 0) break;
    if (got < 0) {
      answer.ending = LastSocketError();
      break;
    }
    const size_t keep = std::min(static_cast<size_t>(got), kKeptAnswerBytes - answer.start.size());
    answer.start.append(buffer, keep);
    total += static_cast<size_t>(got);
  }
  return answer;
}

}  // namespace

tl::Result<StatusLine> HttpGet(std::string_view address, const HttpLimits& limits) {
  const UrlParse parsed = ParseUrl(address);
  if (!parsed.ok()) return tl::SysError{ERROR_INVALID_PARAMETER};
  if (parsed.url.scheme != UrlScheme::kHttp) return tl::SysError{ERROR_NOT_SUPPORTED};

  tl::Result<WinsockSession> session = WinsockSession::Start();
  if (!session) return tl::SysError{session.error()};
  const WinsockApi& api = session.value().api();

  const Deadline deadline(limits.totalMs);
  tl::Result<std::vector<in_addr>> addresses = ResolveIpv4(api, parsed.url.host);
  if (!addresses) return tl::SysError{addresses.error()};
  tl::Result<ScopedSocket> connection = ConnectToAny(api, addresses.value(), parsed.url.port, limits, deadline);
  if (!connection) return tl::SysError{connection.error()};
  const SOCKET s = connection.value().Get();
  if (tl::Status sent = SendAll(api, s, BuildGetRequest(parsed.url), limits, deadline); !sent)
    return tl::SysError{sent.error()};

  const Answer answer = ReadAnswer(api, s, limits, deadline);
  if (std::optional<StatusLine> status = ParseStatusLine(answer.start)) return std::move(*status);
  if (answer.ending.code != 0) return answer.ending;
  return tl::SysError{ERROR_INVALID_DATA};
}

}  // namespace net
