#pragma once
// Where the system lists installed programs: one key per product, named
// by its UninstallKeyName, below this key of HKEY_LOCAL_MACHINE.
#include <string>
#include <string_view>

namespace setup {

inline constexpr std::string_view kUninstallKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

inline std::string UninstallEntryKey(std::string_view uninstallKeyName) {
  return std::string(kUninstallKeyPath) + std::string(uninstallKeyName);
}

}  // namespace setup
