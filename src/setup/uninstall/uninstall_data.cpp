#include "setup/uninstall/uninstall_data.h"

namespace setup {
namespace {

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

}  // namespace

void UninstallData::RecordPath(std::string_view path, UninstallPathKind kind) {
  if (path.size() <= 3) return;
  if (kind == UninstallPathKind::kFolder) {
    if (!recordedFolders_.insert(UpperAscii(path)).second) return;
    pathList_ += '~';
  }
  pathList_.append(path);
  pathList_ += "\r\n";
}

void UninstallData::ClearPaths() {
  pathList_.clear();
  recordedFolders_.clear();
}

}  // namespace setup
