#include "setup/files/target_path.h"

#include "setup/payload/file_record.h"
#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {
namespace {

bool GoesToInstallFolder(uint32_t kind) { return kind != 1 && kind != 4 && kind != 6 && kind != 7 && kind != 8; }

const std::string& DefaultFolder(uint32_t kind, const TargetFolders& folders) {
  switch (kind) {
    case 1: return folders.sharedFolder;
    case 4: return folders.fontFolder;
    case 6: case 7: case 8: return folders.systemFolder;
    default: return folders.installLocation;
  }
}

ResolvedTarget ExplicitPath(const std::string& name, uint32_t kind, const std::string& target,
                            const TargetFolders& folders) {
  std::string path = folders.expand ? folders.expand(target) : target;
  if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\\\") == 0) path.pop_back();
  path = tl::MakeAbsolutePath(path, kind == 1 ? folders.sharedFolder : folders.installLocation);
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
