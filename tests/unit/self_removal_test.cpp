#include "setup/uninstall/self_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setup {
namespace {

using Folders = std::vector<std::string>;

constexpr char kUninstaller[] = "C:\\Program Files\\App\\Uninstall\\uninstall.exe";
constexpr char kBatch[] = "C:\\TEMP\\delunins.bat";

const std::string kLoop =
    ":Repeat\r\n"
    "del \"C:\\Program Files\\App\\Uninstall\\uninstall.exe\"\r\n"
    "if exist \"C:\\Program Files\\App\\Uninstall\\uninstall.exe\" goto Repeat\r\n";

TEST(SelfRemoval, Folders) {
  const struct {
    const char* name;
    const char* installDirectory;
    const char* subdir;
    Folders expected;
  } cases[] = {
      {"no subdirectory", "C:\\App", "", {"C:\\App"}},
      {"one level", "C:\\App", "Uninstall", {"C:\\App\\Uninstall", "C:\\App"}},
      {"deepest first", "C:\\App", "a\\b", {"C:\\App\\a\\b", "C:\\App\\a", "C:\\App"}},
      {"stray separators", "C:\\App\\", "\\a\\\\b\\", {"C:\\App\\a\\b", "C:\\App\\a", "C:\\App\\"}},
      {"forward slashes", "C:\\App", "a/b", {"C:\\App\\a\\b", "C:\\App\\a", "C:\\App"}},
      {"no install directory", "", "a\\b", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SelfRemovalFolders(c.installDirectory, c.subdir), c.expected) << c.name;
}

TEST(SelfRemoval, AtMostFiftySubfolders) {
  std::string subdir;
  for (int i = 1; i <= 51; ++i) subdir += (i > 1 ? "\\d" : "d") + std::to_string(i);
  const Folders folders = SelfRemovalFolders("C:\\App", subdir);
  ASSERT_EQ(folders.size(), 51u);  // 50 subfolders and the install directory
  EXPECT_EQ(folders.front(), "C:\\App\\" + subdir);  // the deepest one comes first
  EXPECT_EQ(folders[49].substr(folders[49].rfind('\\')), "\\d2");  // d1 alone is beyond the limit
  EXPECT_EQ(folders.back(), "C:\\App");
}

TEST(SelfRemoval, BatchText) {
  const struct {
    const char* name;
    Folders folders;
    std::string lines;  // between the pause and the batch's own deletion
  } cases[] = {
      {"empty subdirectory", SelfRemovalFolders("C:\\Program Files\\App", ""),
       "rd \"C:\\Program Files\\App\"\r\n"},
      {"two levels", SelfRemovalFolders("C:\\Program Files\\App", "a\\b"),
       "rd \"C:\\Program Files\\App\\a\\b\"\r\n"
       "rd \"C:\\Program Files\\App\\a\"\r\n"
       "rd \"C:\\Program Files\\App\"\r\n"},
      {"nothing to remove", {}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SelfRemovalBatchText(kUninstaller, c.folders, kBatch),
              kLoop + kLoop + "CHOICE /T 3 /D Y\r\n" + c.lines + "del \"C:\\TEMP\\delunins.bat\"\r\n")
        << c.name;
  }
}

TEST(SelfRemoval, CommandLine) {
  const struct {
    const char* batch;
    const char* expected;
  } cases[] = {
      {"C:\\TEMP\\DELUNINS.BAT", "\"C:\\windows\\system32\\cmd.exe\" /c C:\\TEMP\\DELUNINS.BAT"},
      // No short name: the path keeps its quotes inside the stripped pair.
      {"C:\\my temp\\delunins.bat", "\"C:\\windows\\system32\\cmd.exe\" /c \"\"C:\\my temp\\delunins.bat\"\""},
      {"C:\\a&b\\delunins.bat", "\"C:\\windows\\system32\\cmd.exe\" /c \"\"C:\\a&b\\delunins.bat\"\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SelfRemovalCommandLine("C:\\windows\\system32\\cmd.exe", c.batch), c.expected) << c.batch;
}

}  // namespace
}  // namespace setup
