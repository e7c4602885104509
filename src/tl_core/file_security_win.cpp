#include "tl_core/file_security_win.h"

#include <windows.h>
#include <aclapi.h>

#include "tl_core/wide_text_win.h"

namespace tl {

uint32_t GrantEveryoneFullAccess(const std::string& path) {
  std::wstring name = ToWide(path);
  PACL currentAcl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = ::GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                        &currentAcl, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) return error;

  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
    error = ::GetLastError();
    ::LocalFree(descriptor);
    return error;
  }
  EXPLICIT_ACCESSW access = {};
  access.grfAccessPermissions = GENERIC_ALL;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPWSTR>(everyone);

  PACL newAcl = nullptr;
  error = ::SetEntriesInAclW(1, &access, currentAcl, &newAcl);
  if (error == ERROR_SUCCESS)
    error = ::SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, newAcl,
                                    nullptr);
  if (newAcl) ::LocalFree(newAcl);
  ::FreeSid(everyone);
  ::LocalFree(descriptor);
  return error;
}

}  // namespace tl
