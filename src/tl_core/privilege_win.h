#pragma once
namespace tl {
// Enables a privilege (such as "SeTakeOwnershipPrivilege") in the process
// token; false when the token does not hold it or cannot be adjusted.
bool EnableProcessPrivilege(const char* name);
}  // namespace tl
