#include "setup/folders/install_folder.h"

#include "setup/strings/string_table.h"
#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {

bool IsRegistryFolderReference(std::string_view folder) {
  return tl::StartsWithNoCase(folder, "HKLM\\") || tl::StartsWithNoCase(folder, "HKCU\\");
}

bool IsMasterFolderReference(std::string_view folder) { return tl::EqualsNoCase(folder, "<master>"); }

std::string Without32BitSuffix(std::string folder, bool trailingOnly) {
  constexpr std::string_view kSuffix = " (x86)";
  if (trailingOnly) {
    if (folder.size() >= kSuffix.size() && folder.compare(folder.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
      folder.erase(folder.size() - kSuffix.size());
  } else if (size_t at = folder.find(kSuffix); at != std::string::npos) {
    folder.erase(at, kSuffix.size());
  }
  return folder;
}

std::string ReplaceOsFolder(std::string text, std::string_view windowsFolder) {
  return ReplaceOsPlaceholder(text, windowsFolder);
}

std::string ProposedInstallFolder(const std::string& expandedTemplate, const std::string& displayName,
                                  const std::string& programsFolder) {
  const std::string& folder = expandedTemplate.empty() ? displayName : expandedTemplate;
  if (IsMasterFolderReference(folder) || IsRegistryFolderReference(folder)) return folder;
  return tl::MakeAbsolutePath(folder, programsFolder);
}

RegistryValuePath SplitRegistryValuePath(std::string_view path) {
  size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {std::string(path), std::string()};
  return {std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

}  // namespace setup
