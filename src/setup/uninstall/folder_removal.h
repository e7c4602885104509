#pragma once
// The order in which the uninstall run removes the folders an installation
// created: each folder only when it is empty, so the deepest go first and a
// removed folder's parents follow.
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// Longest path first; folders of equal length keep their recorded order.
std::vector<std::string> FoldersDeepestFirst(std::vector<std::string> folders);

// The folder and then its parents, up to and without the installation
// folder (compared without regard to letter case and trailing backslashes),
// which the self-removal takes at the very end. The removal stops at the
// first folder that stays.
std::vector<std::string> FolderRemovalChain(std::string folder, std::string_view installFolder);

}  // namespace setup
