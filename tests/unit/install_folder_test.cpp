#include "setup/folders/install_folder.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(InstallFolder, ProposedFolderFromTheTemplate) {
  const std::string programs = "C:\\Program Files";
  struct Case {
    const char* expandedTemplate;
    const char* expected;
  } cases[] = {
      {"", "C:\\Program Files\\Demo"},  // empty: the product name
      {"Maker\\Demo", "C:\\Program Files\\Maker\\Demo"},
      {"D:\\Apps\\Demo", "D:\\Apps\\Demo"},  // already absolute
      {"HKLM\\Software\\Maker\\Path", "HKLM\\Software\\Maker\\Path"},
      {"hkcu\\Software\\Maker\\Path", "hkcu\\Software\\Maker\\Path"},
      {"<MASTER>", "<MASTER>"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProposedInstallFolder(c.expandedTemplate, "Demo", programs), c.expected);
}

TEST(InstallFolder, TextRules) {
  EXPECT_EQ(Without32BitSuffix("C:\\Program Files (x86)", true), "C:\\Program Files");
  EXPECT_EQ(Without32BitSuffix("C:\\Program Files (x86)\\Common Files", true), "C:\\Program Files (x86)\\Common Files");
  EXPECT_EQ(Without32BitSuffix("C:\\Program Files (x86)\\Common Files", false), "C:\\Program Files\\Common Files");
  EXPECT_EQ(Without32BitSuffix("C:\\Program Files (X86)", true), "C:\\Program Files (X86)");  // exact case only
  EXPECT_EQ(ReplaceOsFolder("<os>\\x;<OS>", "C:\\windows"), "C:\\windows\\x;C:\\windows");
  RegistryValuePath p = SplitRegistryValuePath("HKLM\\Software\\Maker\\InstallPath");
  EXPECT_EQ(p.key, "HKLM\\Software\\Maker");
  EXPECT_EQ(p.value, "InstallPath");
}

}  // namespace
}  // namespace setup
