#include "setup/record/uninstall_data.h"

#include "tl_core/text.h"

namespace setup {

void UninstallData::RecordPath(std::string_view path, UninstallPathKind kind) {
  if (path.size() <= 3) return;
  if (kind == UninstallPathKind::kFolder) {
    if (!recordedFolders_.insert(tl::UpperAscii(path)).second) return;
    pathList_ += '~';
  }
  pathList_.append(path);
  pathList_ += "\r\n";
}

std::vector<std::string> UninstallData::pathLines() const {
  std::vector<std::string> lines;
  for (size_t start = 0; start < pathList_.size();) {
    size_t end = pathList_.find("\r\n", start);
    if (end == std::string::npos) end = pathList_.size();
    if (end > start) lines.push_back(pathList_.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void UninstallData::ClearPaths() {
  pathList_.clear();
  recordedFolders_.clear();
}

}  // namespace setup
