// Folders made for the installation: which ones a call created, and the
// private folders the batches are written into.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "test_files.h"
#include "tl_core/folder_win.h"

namespace {

using test_files::Exists;
using test_files::TempFolder;

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = TempFolder() + "orv folder test " + std::to_string(::GetCurrentProcessId());
    test_files::RemoveTree(root_);
    ASSERT_TRUE(::CreateDirectoryA(root_.c_str(), nullptr));
  }
  void TearDown() override { test_files::RemoveTree(root_); }
  std::string root_;
};

// Only the folders the call made are reported, outermost first: what
// existed before is never among them.
TEST_F(FolderTest, CreatedParentsAreReportedOutermostFirst) {
  const struct {
    const char* name;
    std::vector<std::string> existing;  // made before the call
    std::string folder;
    std::vector<std::string> created;
  } cases[] = {
      {"two new levels", {}, "\\a\\b", {"\\a", "\\a\\b"}},
      {"one new level under an existing one", {"\\c"}, "\\c\\d", {"\\c\\d"}},
      {"all there", {"\\e", "\\e\\f"}, "\\e\\f\\", {}},
  };
  for (const auto& c : cases) {
    for (const std::string& folder : c.existing) ASSERT_TRUE(::CreateDirectoryA((root_ + folder).c_str(), nullptr));
    std::vector<std::string> created;
    EXPECT_EQ(tl::CreateFolderWithParents(root_ + c.folder, &created), 0u) << c.name;
    std::vector<std::string> expected;
    for (const std::string& folder : c.created) expected.push_back(root_ + folder);
    EXPECT_EQ(created, expected) << c.name;
  }
}

// A file where a folder must be: the call fails and reports nothing made.
TEST_F(FolderTest, AFileInTheWayStopsTheCreation) {
  test_files::WriteWholeFile(root_ + "\\file", "x");
  for (const char* folder : {"\\file", "\\file\\below", "\\file\\below\\deeper"}) {
    std::vector<std::string> created;
    EXPECT_NE(tl::CreateFolderWithParents(root_ + folder, &created), 0u) << folder;
    EXPECT_TRUE(created.empty()) << folder;
    EXPECT_FALSE(Exists(root_ + "\\file\\below")) << folder;
  }
}

// Each call makes a new folder of its own under the base; the names cannot
// be guessed from one another.
TEST_F(FolderTest, PrivateFoldersAreNewAndDistinct) {
  std::set<std::string> made;
  for (int i = 0; i < 3; ++i) {
    tl::Result<std::string> folder = tl::CreatePrivateFolder(root_, "orv");
    ASSERT_TRUE(folder.ok()) << folder.error();
    EXPECT_EQ(folder.value().rfind(root_ + "\\orv", 0), 0u) << folder.value();
    EXPECT_EQ(folder.value().size(), root_.size() + 4 + 16) << "16 hexadecimal digits of noise";
    EXPECT_TRUE(Exists(folder.value()));
    made.insert(folder.value());
  }
  EXPECT_EQ(made.size(), 3u);
  const tl::Result<std::string> missing = tl::CreatePrivateFolder(root_ + "\\no such base", "orv");
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
