#include "setup/files/target_path.h"

#include <gtest/gtest.h>

#include "tl_core/path_text.h"

namespace setup {
namespace {

TargetFolders Folders() {
  TargetFolders f;
  f.installLocation = "C:\\Program Files\\Demo";
  f.sharedFolder = "C:\\Program Files\\Common Files\\Maker";
  f.fontFolder = "C:\\windows\\Fonts";
  f.systemFolder = "C:\\windows\\system32";
  f.uninstallDataFolder = "C:\\Program Files\\Demo\\uninst";
  f.expand = [](const std::string& text) {
    std::string out = text;
    const std::string var = "%InstallDir%";
    if (size_t at = out.find(var); at != std::string::npos) out.replace(at, var.size(), "C:\\Program Files\\Demo");
    return out;
  };
  return f;
}

constexpr uint32_t kUninstallFolderFlag = 1u << 6;

TEST(TargetPath, KindsFoldersNamesAndExplicitPaths) {
  struct Case {
    const char* name;
    uint32_t kind;
    uint32_t flags;
    const char* target;
    const char* expected;
    bool createFolder;
  } cases[] = {
      {"bin\\app.exe", 0, 0, "", "C:\\Program Files\\Demo\\bin\\app.exe", true},
      {"a.dll", 1, 0, "", "C:\\Program Files\\Common Files\\Maker\\a.dll", false},
      {"f.ttf", 4, 0, "", "C:\\windows\\Fonts\\f.ttf", false},
      {"s.dll", 6, 0, "", "C:\\windows\\system32\\s.dll", false},
      {"c.dll", 7, 0, "", "C:\\windows\\system32\\c.dll", false},
      {"t.tlb", 8, 0, "", "C:\\windows\\system32\\t.tlb", false},
      {"v.dll", 9, 0, "", "C:\\Program Files\\Demo\\v.dll", true},
      {"go.exe", 5, 0, "", "C:\\Program Files\\Demo\\go.exe", true},
      // a new name keeps the default folder
      {"doc\\readme.txt", 0, 0, "liesmich.txt", "C:\\Program Files\\Demo\\liesmich.txt", true},
      {"s.dll", 6, 0, "t.dll", "C:\\windows\\system32\\t.dll", false},
      // the uninstall data folder, by flag, never with a folder step
      {"x.ico", 0, kUninstallFolderFlag, "", "C:\\Program Files\\Demo\\uninst\\x.ico", false},
      // explicit paths: variables, a folder ending in a backslash, relative to the base
      {"sub\\a.txt", 0, 0, "%InstallDir%\\Docs\\", "C:\\Program Files\\Demo\\Docs\\a.txt", true},
      {"sub\\a.txt", 0, 0, "%InstallDir%\\Docs\\\\", "C:\\Program Files\\Demo\\Docs\\a.txt", true},
      {"a.txt", 0, 0, "data\\b.txt", "C:\\Program Files\\Demo\\data\\b.txt", true},
      {"a.dll", 1, 0, "lib\\", "C:\\Program Files\\Common Files\\Maker\\lib\\a.dll", true},
      {"a.txt", 0, 0, "D:\\elsewhere\\a.txt", "D:\\elsewhere\\a.txt", true},
      {"a.txt", 0, 0, "\\top\\a.txt", "C:\\top\\a.txt", true},
      {"a.txt", 0, kUninstallFolderFlag, "%InstallDir%\\x\\", "C:\\Program Files\\Demo\\x\\a.txt", true},
  };
  for (const Case& c : cases) {
    ResolvedTarget t = ResolveTarget(c.name, c.kind, c.flags, c.target, Folders());
    EXPECT_EQ(t.path, c.expected) << c.name << " -> " << c.target;
    EXPECT_EQ(t.createFolder, c.createFolder) << c.name << " -> " << c.target;
  }
}

TEST(PathText, JoinAbsoluteAndFolder) {
  EXPECT_EQ(tl::JoinPath("C:\\a", "b"), "C:\\a\\b");
  EXPECT_EQ(tl::JoinPath("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(tl::JoinPath("C:\\a\\", "\\b"), "C:\\a\\b");
  EXPECT_EQ(tl::JoinPath("C:\\a", ""), "C:\\a");
  EXPECT_EQ(tl::JoinPath("", "b"), "b");
  EXPECT_TRUE(tl::IsAbsolutePath("\\\\server\\share\\x"));
  EXPECT_TRUE(tl::IsAbsolutePath("|C:\\x"));
  EXPECT_FALSE(tl::IsAbsolutePath("C:x"));
  EXPECT_EQ(tl::MakeAbsolutePath("x", "|C:\\b"), "|C:\\b\\x");
  EXPECT_EQ(tl::FolderOfPath("C:\\a.txt"), "C:\\");
  EXPECT_EQ(tl::FolderOfPath("C:\\d\\a.txt"), "C:\\d");
  EXPECT_EQ(tl::FolderOfPath("a.txt"), "");
}

}  // namespace
}  // namespace setup
