#include "setup/files/target_path.h"

#include "setup/payload/file_record.h"
#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {
namespace {

const std::string& DefaultFolder(uint32_t kind, const TargetFolders& folders) {
  switch (static_cast<FileKind>(kind)) {
    case FileKind::kShared:
      return folders.sharedFolder;
    case FileKind::kFont:
      return folders.fontFolder;
    case FileKind::kSystem:
    case FileKind::kComServer:
    case FileKind::kTypeLibrary:
      return folders.systemFolder;
    default: return folders.installLocation;
  }
}

// Every kind that DefaultFolder() puts into the installation folder.
bool GoesToInstallFolder(uint32_t kind) {
  switch (static_cast<FileKind>(kind)) {
    case FileKind::kShared:
    case FileKind::kFont:
    case FileKind::kSystem:
    case FileKind::kComServer:
    case FileKind::kTypeLibrary:
      return false;
    default:
      return true;
  }
}

ResolvedTarget ExplicitPath(const std::string& name, uint32_t kind, const std::string& target,
                            const TargetFolders& folders) {
  std::string path = folders.expand ? folders.expand(target) : target;
  if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\\\") == 0) path.pop_back();
  path =
      tl::MakeAbsolutePath(path, kind == KindValue(FileKind::kShared) ? folders.sharedFolder : folders.installLocation);
  if (tl::EndsWithBackslash(path)) path += std::string(tl::FileNamePart(name));
  return {path, true};
}

}  // namespace

ResolvedTarget ResolveTarget(const std::string& name, uint32_t kind, uint32_t flags, const std::string& target,
                             const TargetFolders& folders) {
  if (target.find('\\') != std::string::npos) return ExplicitPath(name, kind, target, folders);
  const std::string& fileName = target.empty() ? name : target;
  if (flags & kFileFlagUninstallDataFolder) return {tl::JoinPath(folders.uninstallDataFolder, fileName), false};
  return {tl::JoinPath(DefaultFolder(kind, folders), fileName), GoesToInstallFolder(kind)};
}

}  // namespace setup
