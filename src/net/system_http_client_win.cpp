#include "net/system_http_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>

#include "tl_core/scoped_handle_win.h"
#include "tl_core/system_library_win.h"

namespace net {
namespace {

struct WinInetApi {
  decltype(&::InternetOpenA) open;
  decltype(&::InternetSetOptionA) setOption;
  decltype(&::InternetOpenUrlA) openUrl;
  decltype(&::InternetReadFile) readFile;
  decltype(&::InternetCloseHandle) closeHandle;
};

template <class F>
bool Load(F& function, const char* name) {
  function = tl::OnDemandFunction<F>("wininet.dll", name);
  return function != nullptr;
}

const WinInetApi* LoadWinInet() {
  static WinInetApi api{};
  const bool complete = Load(api.open, "InternetOpenA") && Load(api.setOption, "InternetSetOptionA") &&
                        Load(api.openUrl, "InternetOpenUrlA") && Load(api.readFile, "InternetReadFile") &&
                        Load(api.closeHandle, "InternetCloseHandle");
  return complete ? &api : nullptr;
}

const WinInetApi* WinInet() {
  static const WinInetApi* const api = LoadWinInet();
  return api;
}

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  // A handle exists only after WinInet() loaded the table.
  static void Close(Handle h) { WinInet()->closeHandle(h); }
};
using ScopedInternetHandle = tl::ScopedGeneric<InternetHandleTraits>;

tl::SysError LastError() { return tl::SysError{::GetLastError()}; }

// Set on the session: request handles made from it inherit the limits.
tl::Status LimitWaits(const WinInetApi& api, HINTERNET session, uint32_t timeLimitMs) {
  DWORD value = timeLimitMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    if (!api.setOption(session, option, &value, sizeof(value))) return LastError();
  return {};
}

void DrainAnswer(const WinInetApi& api, HINTERNET request, uint32_t maxAnswerBytes) {
  char buffer[4096];
  uint32_t total = 0;
  while (total < maxAnswerBytes) {
    DWORD got = 0;
    const DWORD want = std::min<uint32_t>(sizeof(buffer), maxAnswerBytes - total);
    if (!api.readFile(request, buffer, want, &got) || got == 0) return;
    total += got;
  }
}

}  // namespace

tl::Status RequestThroughSystemClient(std::string_view address, uint32_t timeLimitMs, uint32_t maxAnswerBytes) {
  const WinInetApi* api = WinInet();
  if (!api) return tl::SysError{ERROR_MOD_NOT_FOUND};
  ScopedInternetHandle session(api->open("Orvanta Setup", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return LastError();
  if (tl::Status limited = LimitWaits(*api, session.Get(), timeLimitMs); !limited) return limited;
  const std::string url(address);
  constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                           INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
  // One request and done: the connection is not worth keeping for reuse.
  static constexpr char kHeaders[] = "Connection: close\r\n";
  ScopedInternetHandle request(api->openUrl(session.Get(), url.c_str(), kHeaders, sizeof(kHeaders) - 1, kFlags, 0));
  if (!request) return LastError();
  DrainAnswer(*api, request.Get(), maxAnswerBytes);
  return {};
}

}  // namespace net
