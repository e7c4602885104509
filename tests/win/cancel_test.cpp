// What a cancelled installation leaves (under Wine): the files and folders
// the run created go, what was there before stays, and "Install.LOG" lists
// the files the run replaced, which a cancel cannot give back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup/report/install_log_win.h"
#include "setup/run/run_control_win.h"
#include "setup/run/run_state.h"
#include "test_files.h"

namespace setup {
namespace {

using test_files::Exists;
using test_files::ReadWholeFile;
using test_files::RemoveTree;
using test_files::TempFolder;
using test_files::WriteWholeFile;

class CancelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = TempFolder() + "orv-cancel-test";
    RemoveTree(root_);
    ::CreateDirectoryA(root_.c_str(), nullptr);
  }
  void TearDown() override { RemoveTree(root_); }

  std::string root_;
};

TEST_F(CancelTest, CreatedItemsGoWhatWasThereStays) {
  // Before the run: the root with a file of the user's.
  const std::string before = root_ + "\\before.txt";
  WriteWholeFile(before, "the user's");
  // The run: a folder chain, files in it (one read-only, one left empty as
  // a write cut short), and a file replaced in the root.
  const std::string app = root_ + "\\App", sub = app + "\\sub", kept = app + "\\kept";
  RememberCreatedFolders({app, sub});
  ::CreateDirectoryA(app.c_str(), nullptr);
  ::CreateDirectoryA(sub.c_str(), nullptr);
  RememberCreatedFolders({kept});
  ::CreateDirectoryA(kept.c_str(), nullptr);
  for (const std::string& file : {app + "\\a.exe", sub + "\\b.dll", sub + "\\cut.bin"}) {
    RememberCreatedFile(file);
    WriteWholeFile(file, file == sub + "\\cut.bin" ? "" : "new");
  }
  ::SetFileAttributesA((sub + "\\b.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  // A file the user put into a folder the run made keeps that folder.
  WriteWholeFile(kept + "\\notes.txt", "mine");
  WriteWholeFile(before, "replaced");
  RememberReplacedFile(before);
  ASSERT_EQ(ReplacedFiles(), std::vector<std::string>{before});

  UndoCreatedItems();

  EXPECT_FALSE(Exists(app + "\\a.exe"));
  EXPECT_FALSE(Exists(sub));
  EXPECT_TRUE(Exists(kept + "\\notes.txt"));
  EXPECT_TRUE(Exists(app)) << "the parent of a folder that stays stays";
  EXPECT_EQ(ReadWholeFile(before), "replaced");
  // A second undo has nothing left to do.
  ::DeleteFileA((kept + "\\notes.txt").c_str());
  UndoCreatedItems();
  EXPECT_TRUE(Exists(kept));
}

TEST_F(CancelTest, LogListsReplacedFilesOnly) {
  ProductSettings product;
  product.displayName = "Orvanta Probe";
  RunState run(product, CommandLineOptions{});
  run.folders.installLocation = root_;
  run.folders.uninstallDataFolder = root_;
  const std::string log = root_ + "\\Install.LOG";

  ASSERT_TRUE(OpenInstallLog());
  const std::string temporary = TemporaryLogPath();
  AppendLog("File copied: a.exe\r\n");
  WriteCancelledInstallLog(run, {});
  EXPECT_FALSE(Exists(log)) << "nothing replaced, nothing to tell";
  EXPECT_FALSE(Exists(temporary));

  ASSERT_TRUE(OpenInstallLog());
  AppendLog("File copied: a.exe\r\n");
  WriteCancelledInstallLog(run, {root_ + "\\shared.dll"});
  const std::string text = ReadWholeFile(log);
  EXPECT_NE(text.find("File copied: a.exe"), std::string::npos) << text;
  EXPECT_NE(text.find(root_ + "\\shared.dll\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Installation cancelled."), std::string::npos) << text;
  EXPECT_FALSE(Exists(TemporaryLogPath()));
}

}  // namespace
}  // namespace setup
