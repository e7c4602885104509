#pragma once
// Access rights on files and folders.
#include <cstdint>
#include <string>

namespace tl {

// Adds an entry granting Everyone full access to the file or folder (for a
// folder inherited by everything below it). 0, or the system error.
uint32_t GrantEveryoneFullAccess(const std::string& path);

}  // namespace tl
