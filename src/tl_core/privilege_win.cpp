#include "tl_core/privilege_win.h"

#include <windows.h>

#include "tl_core/scoped_handle_win.h"

namespace tl {

bool EnableProcessPrivilege(const char* name) {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
    return false;
  ScopedHandle token(raw);
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) return false;
  if (!::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
  return ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace tl
