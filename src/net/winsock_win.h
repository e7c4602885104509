#pragma once
// ws2_32, reached on demand: the runtime does not import it, since every
// DLL loaded at start-up costs time on each run and only the notification
// request needs sockets. Everything socket-related goes through Winsock().
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "tl_core/result.h"
#include "tl_core/scoped_handle_win.h"

namespace net {

// The functions the client (and a loopback test server) call.
struct WinsockApi {
  decltype(&::WSAStartup) startup;
  decltype(&::WSACleanup) cleanup;
  decltype(&::WSAGetLastError) lastError;
  decltype(&::socket) socket;
  decltype(&::closesocket) closeSocket;
  decltype(&::connect) connect;
  decltype(&::bind) bind;
  decltype(&::listen) listen;
  decltype(&::accept) accept;
  decltype(&::getsockname) getSockName;
  decltype(&::send) send;
  decltype(&::recv) recv;
  decltype(&::shutdown) shutdown;
  decltype(&::select) select;
  decltype(&::setsockopt) setSockOpt;
  decltype(&::getsockopt) getSockOpt;
  decltype(&::ioctlsocket) ioctlSocket;
  decltype(&::htons) htons;
  decltype(&::ntohs) ntohs;
  decltype(&::gethostbyname) getHostByName;
  // Missing on the oldest systems; names then go through getHostByName.
  decltype(&::getaddrinfo) getAddrInfo;
  decltype(&::freeaddrinfo) freeAddrInfo;
};

// Loaded once from the system folder; nullptr when ws2_32 or one of the
// functions above (getaddrinfo and freeaddrinfo aside) is missing.
const WinsockApi* Winsock();

// WSAStartup (version 2.2) paired with WSACleanup.
class WinsockSession {
 public:
  // Fails with ERROR_MOD_NOT_FOUND without ws2_32, else with WSAStartup's code.
  static tl::Result<WinsockSession> Start();

  WinsockSession(WinsockSession&& other) noexcept : started_(other.started_) { other.started_ = false; }
  WinsockSession& operator=(WinsockSession&&) = delete;
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  ~WinsockSession();

  const WinsockApi& api() const { return *Winsock(); }

 private:
  WinsockSession() = default;
  bool started_ = false;
};

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() { return INVALID_SOCKET; }
  // A socket exists only inside a WinsockSession, so the table is loaded.
  static void Close(Handle s) { Winsock()->closeSocket(s); }
};
using ScopedSocket = tl::ScopedGeneric<SocketTraits>;

// The calling thread's last socket error as a system error value.
tl::SysError LastSocketError();

}  // namespace net
