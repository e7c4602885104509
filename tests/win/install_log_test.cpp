// The InstallLog and "Install.LOG" on a real file system (under Wine): the
// temporary "TLT" file and its removal, the header lines, appending blocks,
// the failure section and when no file is written. Every run is automatic,
// so no message box can appear.
#include "setup/report/install_log_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "setup/run/run_state.h"
#include "setup/strings/string_table.h"
#include "tl_core/os_facts_win.h"
#include "test_files.h"

namespace setup {
namespace {

using test_files::TempFolder;
using test_files::Exists;
using test_files::ReadWholeFile;

constexpr char kSuccessLine[] = "Setup complete";
constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

void LoadStrings() {
  StringTableData data;
  data.languages = {"English"};
  data.texts.assign(44, {""});
  data.texts[31] = {"Could not install"};
  data.texts[40] = {"Setup failed. View %s?"};
  data.texts[41] = {"Setup"};
  data.texts[42] = {"Setup is done."};
  data.texts[43] = {kSuccessLine};
  RunStrings().Load(data);
}

class InstallLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TempFolder() + "orv_install_log_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    logPath_ = folder_ + "\\Install.LOG";
    ::DeleteFileA(logPath_.c_str());
    LoadStrings();
    uninstallDataFolder_ = folder_ + "\\";  // one backslash must remain in the joined path
    product_.displayName = "Example App";
    product_.stream.DisplayVersion = "2.1";
    product_.stream.ProductFlags = Bit(2) | Bit(6);
  }
  // An automatic run of the fixture's product that ends with `summary`.
  void WriteLog(bool reinstall, bool interactive, const std::string& summary) {
    RunState run(product_, {});
    run.automaticMode = true;
    run.folders.uninstallDataFolder = uninstallDataFolder_;
    run.folders.installLocation = "C:\\Program Files\\Example";
    run.earlier.version = oldVersion_;
    run.failures.Append(summary);
    WriteInstallLog(run, reinstall, interactive);
  }
  void TearDown() override {
    DiscardTemporaryLog();
    ::DeleteFileA(logPath_.c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }

  ProductSettings product_;
  std::string uninstallDataFolder_;
  std::string oldVersion_;
  std::string folder_;
  std::string logPath_;
};

TEST_F(InstallLogTest, TemporaryLogIsATltFileInTempThatWritingRemoves) {
  ASSERT_TRUE(OpenInstallLog());
  std::string temporary = TemporaryLogPath();
  ASSERT_FALSE(temporary.empty());
  EXPECT_TRUE(Exists(temporary));
  size_t cut = temporary.find_last_of('\\');
  EXPECT_EQ(::lstrcmpiA(temporary.substr(0, cut + 1).c_str(), TempFolder().c_str()), 0) << temporary;
  EXPECT_TRUE(StartsWith(temporary.substr(cut + 1), "TLT")) << temporary;

  AppendLog("Step...OK\r\n");
  WriteLog(false, true, "");
  EXPECT_FALSE(Exists(temporary));
  EXPECT_TRUE(TemporaryLogPath().empty());
  AppendLog("dropped: no log is open\r\n");
  EXPECT_EQ(InstallLogPath(uninstallDataFolder_), logPath_);
  EXPECT_TRUE(Exists(logPath_));
}

TEST_F(InstallLogTest, HeaderBodyAndSuccessLine) {
  ASSERT_TRUE(OpenInstallLog());
  AppendLog("Creating restore point...");
  AppendLog("OK\r\n");
  InstallLog().AppendFormat("Registering COM File \"%s\"...%s", "C:\\App\\x.dll", "FAILED\r\n");
  InstallLog().AppendParts({"Desktop Shortcut(", "App", ") >>> ", "C:\\App\\app.exe", "\r\n"});
  // More than one block of the buffer and of the copy.
  std::string bulk;
  for (int i = 0; i < 700; ++i) bulk += "Deleted file: C:\\App\\old" + std::to_string(i) + ".txt\r\n";
  AppendLog(bulk);
  ASSERT_GT(bulk.size(), 3u * 4096u);
  WriteLog(true, true, "");

  std::vector<std::string> lines = Lines(ReadWholeFile(logPath_));
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Installation log for: Example App");
  ASSERT_TRUE(StartsWith(lines[1], "Install date: "));
  std::regex dateShape(
      "([1-9]|[12][0-9]|3[01])-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-20[0-9][0-9] "
      "([1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9][ap]");
  EXPECT_TRUE(std::regex_match(lines[1].substr(14), dateShape)) << lines[1];
  EXPECT_EQ(lines[2], "Install type: Reinstall");
  EXPECT_EQ(lines[3], "Install location: C:\\Program Files\\Example");
  EXPECT_EQ(lines[4], "Installer version: 27.0.5");
  EXPECT_EQ(lines[5], "Product version: 2.1");
  EXPECT_EQ(lines[6], "Operating system: " + tl::OperatingSystemName(0u));
  EXPECT_TRUE(StartsWith(lines[6], "Operating system: Windows ")) << lines[6];
  EXPECT_EQ(lines[7], "");

  std::string text = ReadWholeFile(logPath_);
  std::string header = text.substr(0, text.find("\r\n\r\n") + 4);
  EXPECT_EQ(text,
            header + "Creating restore point...OK\r\nRegistering COM File \"C:\\App\\x.dll\"...FAILED\r\n"
                     "Desktop Shortcut(App) >>> C:\\App\\app.exe\r\n" +
                bulk + "\r\n" + kSuccessLine + "\r\n");
}

TEST_F(InstallLogTest, SecondWriteAppendsAfterTheSeparatorWithFailureSection) {
  ASSERT_TRUE(OpenInstallLog());
  AppendLog("first run\r\n");
  WriteLog(false, true, "");
  std::string first = ReadWholeFile(logPath_);
  ASSERT_NE(first.find("Install type: New\r\n"), std::string::npos);

  // A failed run writes even without bit 6; bit 2 and the version lines vary.
  product_.stream.ProductFlags = 0;
  product_.stream.DisplayVersion.clear();
  oldVersion_ = "2.0";
  ASSERT_TRUE(OpenInstallLog());
  AppendLog("second run\r\n");
  const std::string summary = "\r\nCould not install C:\\App\\a.dll\r\nAccess denied.\r\n\r\n";
  WriteLog(false, true, summary);

  std::string text = ReadWholeFile(logPath_);
  ASSERT_EQ(text.substr(0, first.size()), first);
  std::string second = text.substr(first.size());
  const std::string separator = "\r\n\r\n" + std::string(46, '*') + "\r\n";
  ASSERT_EQ(second.substr(0, separator.size()), separator);
  std::vector<std::string> lines = Lines(second.substr(separator.size()));
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Installation log for: Example App");
  EXPECT_TRUE(StartsWith(lines[1], "Install date: "));
  EXPECT_EQ(lines[2], "Install location: C:\\Program Files\\Example");
  EXPECT_EQ(lines[3], "Installer version: 27.0.5");
  EXPECT_EQ(lines[4], "Overwriting version: 2.0");
  EXPECT_TRUE(StartsWith(lines[5], "Operating system: "));
  const std::string tail = "\r\n\r\nsecond run\r\n\r\n*** FAILURE SUMMARY ***\r\n" + summary;
  ASSERT_GE(second.size(), tail.size());
  EXPECT_EQ(second.substr(second.size() - tail.size()), tail);
}

TEST_F(InstallLogTest, NoFileAfterSuccessWithoutBit6ButTheTemporaryLogGoes) {
  product_.stream.ProductFlags = Bit(2);
  ASSERT_TRUE(OpenInstallLog());
  std::string temporary = TemporaryLogPath();
  AppendLog("step\r\n");
  WriteLog(false, true, "");
  EXPECT_FALSE(Exists(logPath_));
  EXPECT_FALSE(Exists(temporary));
}

TEST_F(InstallLogTest, UnwritableLogFolderIsSilentAndTheTemporaryLogGoes) {
  uninstallDataFolder_ = folder_ + "\\missing\\folder";
  ASSERT_TRUE(OpenInstallLog());
  std::string temporary = TemporaryLogPath();
  WriteLog(false, true, "failed\r\n");
  EXPECT_FALSE(Exists(temporary));
  EXPECT_FALSE(Exists(folder_ + "\\missing"));
}

TEST_F(InstallLogTest, CrashBeforeTheCopyPhaseStillWritesHeaderAndSummary) {
  // The crash handler writes without a temporary log and without questions.
  WriteLog(false, false, "\r\n\r\nINSTALLER CRASHED!\r\n");
  std::string text = ReadWholeFile(logPath_);
  EXPECT_TRUE(StartsWith(text, "Installation log for: Example App\r\n")) << text;
  EXPECT_NE(text.find("Install type: New\r\n"), std::string::npos);
  const std::string tail = "\r\n\r\n\r\n*** FAILURE SUMMARY ***\r\n\r\n\r\nINSTALLER CRASHED!\r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

}  // namespace
}  // namespace setup
