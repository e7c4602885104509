#pragma once
// UninstallData: what the installation created and the uninstaller must
// undo, kept in memory while the run works.
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace setup {

enum class UninstallPathKind { kFile = 0, kFolder = 1 };

class UninstallData {
 public:
  // Appends one line to the path list: the path for a file, "~" and the
  // path for a folder. Paths of three characters or fewer (a drive root)
  // are never recorded; a folder is recorded once per run (compared in
  // upper case); files are not de-duplicated.
  void RecordPath(std::string_view path, UninstallPathKind kind);
  // Empties the path list and the set of recorded folders.
  void ClearPaths();

  // Every line, each ending in CR LF, in the order recorded.
  const std::string& pathList() const { return pathList_; }
  // The same lines without their line ends.
  std::vector<std::string> pathLines() const;

 private:
  std::string pathList_;
  std::unordered_set<std::string> recordedFolders_;
};

}  // namespace setup
