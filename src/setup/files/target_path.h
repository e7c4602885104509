#pragma once
// Where a file record goes: its kind's default folder, a new name, an
// explicit path (with path variables), or the uninstall data folder.
#include <cstdint>
#include <functional>
#include <string>

namespace setup {

struct TargetFolders {
  std::string installLocation;      // %InstallDir%
  std::string sharedFolder;         // %SharedDir%
  std::string fontFolder;           // %FontDir%
  std::string systemFolder;         // %SystemDir%
  std::string uninstallDataFolder;
  // Expands path variables in an explicit target.
  std::function<std::string(const std::string&)> expand;
};

struct ResolvedTarget {
  std::string path;
  // The target's folder is created (and recorded) before writing.
  bool createFolder = false;
};

// The record's name, kind, flags and target field decide.
ResolvedTarget ResolveTarget(const std::string& name, uint32_t kind, uint32_t flags, const std::string& target,
                             const TargetFolders& folders);

}  // namespace setup
