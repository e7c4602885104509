#pragma once
// Folders and existence tests; "|" UTF-8 paths go through the wide calls.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tl_core/result.h"

namespace tl {

// Attributes of a path, or INVALID_FILE_ATTRIBUTES (last error set).
DWORD PathAttributes(const std::string& path);
bool FolderExists(const std::string& path);

// Creates the folder and every missing parent. 0, or the system error of
// the first folder that could not be made (ERROR_ALREADY_EXISTS when a
// file of that name stands in the way). When `created` is given, the
// folders this call made are added to it, outermost first.
uint32_t CreateFolderWithParents(const std::string& path, std::vector<std::string>* created = nullptr);

// Creates a new folder of an unpredictable name under `base` (never opens
// one that exists, which someone else could have made) and returns its path.
Result<std::string> CreatePrivateFolder(const std::string& base, std::string_view prefix);

// The system's temporary folder, or "c:\temp" when it names none.
std::string TemporaryFolder();

}  // namespace tl
