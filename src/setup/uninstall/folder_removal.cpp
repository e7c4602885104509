#include "setup/uninstall/folder_removal.h"

#include <algorithm>

#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {

std::vector<std::string> FoldersDeepestFirst(std::vector<std::string> folders) {
  std::stable_sort(folders.begin(), folders.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return folders;
}

std::vector<std::string> FolderRemovalChain(std::string folder, std::string_view installFolder) {
  std::vector<std::string> chain;
  const std::string_view stop = tl::TrimTrailingBackslashes(installFolder);
  while (!folder.empty() && !tl::EqualsNoCase(tl::TrimTrailingBackslashes(folder), stop)) {
    chain.push_back(folder);
    std::string parent = tl::FolderOfPath(tl::TrimTrailingBackslashes(folder));
    if (parent == folder) break;  // a drive root is its own folder
    folder = std::move(parent);
  }
  return chain;
}

}  // namespace setup
