#include "setup/uninstall/folder_removal.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

using Folders = std::vector<std::string>;

TEST(FolderRemoval, DeepestFirstKeepingTheOrderOfEqualLengths) {
  EXPECT_EQ(FoldersDeepestFirst({"C:\\App\\a", "C:\\App\\a\\bb", "C:\\App\\b", "C:\\App\\a\\b\\c"}),
            (Folders{"C:\\App\\a\\b\\c", "C:\\App\\a\\bb", "C:\\App\\a", "C:\\App\\b"}));
  EXPECT_EQ(FoldersDeepestFirst({}), Folders{});
}

TEST(FolderRemoval, ChainUpToTheInstallationFolder) {
  const struct {
    const char* name;
    const char* folder;
    const char* install;
    Folders chain;
  } cases[] = {
      {"nested", "C:\\App\\a\\b", "C:\\App", {"C:\\App\\a\\b", "C:\\App\\a"}},
      {"letter case and trailing backslashes", "c:\\app\\A\\", "C:\\App\\\\", {"c:\\app\\A\\"}},
      {"the installation folder itself", "C:\\App", "C:\\App\\", {}},
      {"nothing recorded", "", "C:\\App", {}},
      {"outside the installation folder: up to the drive root, once",
       "D:\\Data\\x", "C:\\App", {"D:\\Data\\x", "D:\\Data", "D:\\"}},
      {"a name that only begins like the installation folder", "C:\\Apple\\x", "C:\\App",
       {"C:\\Apple\\x", "C:\\Apple", "C:\\"}},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderRemovalChain(c.folder, c.install), c.chain) << c.name;
}

}  // namespace
}  // namespace setup
