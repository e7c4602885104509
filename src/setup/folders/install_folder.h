#pragma once
// The folders the settings propose, before the wizard settles them.
#include <string>
#include <string_view>

namespace setup {

// A proposed installation folder that names a registry value holding the
// folder ("HKLM\..." or "HKCU\...").
bool IsRegistryFolderReference(std::string_view folder);
// "<master>": the folder of the required product.
bool IsMasterFolderReference(std::string_view folder);

// Removes " (x86)" from a 32-bit program-files folder for a 64-bit product:
// only at the end (trailingOnly) or its first occurrence.
std::string Without32BitSuffix(std::string folder, bool trailingOnly);

// The proposed installation folder from the template: "<os>" is the Windows
// folder, an empty template the product name; a relative result is placed
// under the program-files folder. Registry and "<master>" references stay
// as they are. `expand` has already been applied by the caller to the
// template when it is not empty.
std::string ProposedInstallFolder(const std::string& expandedTemplate, const std::string& displayName,
                                  const std::string& programsFolder);

// Replaces every "<os>" (letter case ignored) by the Windows folder
// (ReplaceOsPlaceholder of the string table).
std::string ReplaceOsFolder(std::string text, std::string_view windowsFolder);

// A registry value path "HKLM\Key\Sub\Value": the key part and the value name.
struct RegistryValuePath {
  std::string key;    // "HKLM\Key\Sub"
  std::string value;  // "Value"
};
RegistryValuePath SplitRegistryValuePath(std::string_view path);

}  // namespace setup
