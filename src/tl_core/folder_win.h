#pragma once
// Folders and existence tests; "|" UTF-8 paths go through the wide calls.
#include <windows.h>

#include <cstdint>
#include <string>

namespace tl {

// Attributes of a path, or INVALID_FILE_ATTRIBUTES (last error set).
DWORD PathAttributes(const std::string& path);
bool FolderExists(const std::string& path);

// Creates the folder and every missing parent. 0, or the system error of
// the first folder that could not be made (ERROR_ALREADY_EXISTS when a
// file of that name stands in the way).
uint32_t CreateFolderWithParents(const std::string& path);

}  // namespace tl
