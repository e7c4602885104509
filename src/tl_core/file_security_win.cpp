#include "tl_core/file_security_win.h"

#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "tl_core/wide_text_win.h"

namespace tl {
namespace {

struct LocalFreeDeleter {
  void operator()(void* memory) const { ::LocalFree(memory); }
};
struct SidDeleter {
  void operator()(void* sid) const { ::FreeSid(sid); }
};
template <class T>
using LocalPtr = std::unique_ptr<T, LocalFreeDeleter>;

}  // namespace

uint32_t GrantEveryoneFullAccess(const std::string& path) {
  std::wstring name = ToWide(path);
  PACL currentAcl = nullptr;  // points into the descriptor
  PSECURITY_DESCRIPTOR rawDescriptor = nullptr;
  DWORD error = ::GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                        &currentAcl, nullptr, &rawDescriptor);
  if (error != ERROR_SUCCESS) return error;
  LocalPtr<void> descriptor(rawDescriptor);

  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID rawEveryone = nullptr;
  if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &rawEveryone))
    return ::GetLastError();
  std::unique_ptr<void, SidDeleter> everyone(rawEveryone);

  EXPLICIT_ACCESSW access = {};
  access.grfAccessPermissions = GENERIC_ALL;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPWSTR>(everyone.get());

  PACL rawAcl = nullptr;
  error = ::SetEntriesInAclW(1, &access, currentAcl, &rawAcl);
  if (error != ERROR_SUCCESS) return error;
  LocalPtr<ACL> newAcl(rawAcl);
  return ::SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 newAcl.get(), nullptr);
}

}  // namespace tl
