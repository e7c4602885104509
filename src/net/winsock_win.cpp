#include "net/winsock_win.h"

#include "tl_core/system_library_win.h"

namespace net {
namespace {

template <class F>
bool Load(F& function, const char* name) {
  function = tl::OnDemandFunction<F>("ws2_32.dll", name);
  return function != nullptr;
}

bool LoadRequired(WinsockApi& api) {
  return Load(api.startup, "WSAStartup") && Load(api.cleanup, "WSACleanup") &&
         Load(api.lastError, "WSAGetLastError") && Load(api.socket, "socket") &&
         Load(api.closeSocket, "closesocket") && Load(api.connect, "connect") && Load(api.bind, "bind") &&
         Load(api.listen, "listen") && Load(api.accept, "accept") && Load(api.getSockName, "getsockname") &&
         Load(api.send, "send") && Load(api.recv, "recv") && Load(api.shutdown, "shutdown") &&
         Load(api.select, "select") && Load(api.setSockOpt, "setsockopt") && Load(api.getSockOpt, "getsockopt") &&
         Load(api.ioctlSocket, "ioctlsocket") && Load(api.htons, "htons") && Load(api.ntohs, "ntohs") &&
         Load(api.getHostByName, "gethostbyname");
}

const WinsockApi* LoadWinsock() {
  static WinsockApi api{};
  if (!LoadRequired(api)) return nullptr;
  // Both or neither: one without the other is of no use.
  if (!Load(api.getAddrInfo, "getaddrinfo") || !Load(api.freeAddrInfo, "freeaddrinfo")) {
    api.getAddrInfo = nullptr;
    api.freeAddrInfo = nullptr;
  }
  return &api;
}

}  // namespace

const WinsockApi* Winsock() {
  static const WinsockApi* const api = LoadWinsock();
  return api;
}

tl::Result<WinsockSession> WinsockSession::Start() {
  const WinsockApi* api = Winsock();
  if (!api) return tl::SysError{ERROR_MOD_NOT_FOUND};
  WSADATA data;
  if (int code = api->startup(MAKEWORD(2, 2), &data); code != 0) return tl::SysError{static_cast<uint32_t>(code)};
  WinsockSession session;
  session.started_ = true;
  return session;
}

WinsockSession::~WinsockSession() {
  if (started_) Winsock()->cleanup();
}

tl::SysError LastSocketError() {
  const WinsockApi* api = Winsock();
  return tl::SysError{api ? static_cast<uint32_t>(api->lastError()) : static_cast<uint32_t>(ERROR_MOD_NOT_FOUND)};
}

}  // namespace net
