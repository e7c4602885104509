// Restart replacement against the real file system and registry (under
// Wine): a file the test holds open without sharing is parked in a "TLT"
// file and its move scheduled; refusals go to the FailureSummary; pending
// renames of written files are pruned. PendingFileRenameOperations is saved
// before each test and put back after it.
#include "setup/files/restart_replacement_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/run/run_state.h"
#include "setup/files/pending_renames.h"
#include "setup/report/install_log_win.h"
#include "setup/strings/string_table.h"
#include "tl_core/file_win.h"
#include "test_files.h"
#include "test_pending_renames.h"

namespace setup {
namespace {

using test_files::TempFolder;
using test_files::Exists;
using test_files::ReadWholeFile;
using test_files::WriteWholeFile;

constexpr char kString31[] = "Could not install";
constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

using Strings = std::vector<std::string>;

std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = ::GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? path : std::string(buffer, n);
}

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

using test_pending_renames::ReadPendingRaw;
using test_pending_renames::WritePendingRaw;

Strings PendingList() {
  Strings list;
  std::optional<std::wstring> raw = ReadPendingRaw();
  if (!raw) return list;
  for (const std::wstring& entry : SplitMultiString<wchar_t>(*raw)) {
    std::string narrow;
    for (wchar_t c : entry) narrow += static_cast<char>(c);  // the test's paths are ASCII
    list.push_back(narrow);
  }
  return list;
}

void SetPendingList(const Strings& list) {
  std::vector<std::wstring> wide;
  for (const std::string& entry : list) wide.emplace_back(entry.begin(), entry.end());
  WritePendingRaw(JoinMultiString(wide));
}

// Index of the pair whose stripped destination names path; -1 when none does.
int PairFor(const Strings& list, const std::string& path) {
  for (size_t i = 0; i + 1 < list.size(); i += 2)
    if (!list[i + 1].empty() && SamePath(StripRenamePrefix(list[i + 1]), path)) return static_cast<int>(i);
  return -1;
}

void LoadStrings() {
  StringTableData data;
  data.languages = {"English"};
  data.texts.assign(44, {""});
  data.texts[31] = {kString31};
  data.texts[43] = {"Setup complete"};
  RunStrings().Load(data);
}

int CountTltFiles(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA((folder + "\\TLT*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return count;
}

class RestartReplacementTest : public ::testing::Test {
 protected:
  RestartReplacementTest() : run_(product_, {}) {}
  void SetUp() override {
    savedPending_ = ReadPendingRaw();
    folder_ = LongPath(TempFolder()) + "orv_restart_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    target_ = folder_ + "\\Locked.dll";
    WriteWholeFile(target_, "old bytes");
    // Held open without sharing, as a running program holds its DLL.
    lock_ = ::CreateFileA(target_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock_, INVALID_HANDLE_VALUE);
    LoadStrings();
    run_.automaticMode = true;
    run_.folders.uninstallDataFolder = folder_;
    product_.stream.ProductFlags = Bit(6);
  }
  void TearDown() override {
    DiscardTemporaryLog();
    if (lock_ != INVALID_HANDLE_VALUE) ::CloseHandle(lock_);
    WritePendingRaw(savedPending_);
    test_files::RemoveTree(folder_);
  }

  // The run's InstallLog as "Install.LOG" holds it.
  std::string FinishedLog() {
    WriteInstallLog(run_, false, true);
    return ReadWholeFile(folder_ + "\\Install.LOG");
  }

  ProductSettings product_;
  RunState run_;
  std::optional<std::wstring> savedPending_;
  std::string folder_;
  std::string target_;
  HANDLE lock_ = INVALID_HANDLE_VALUE;
};

TEST_F(RestartReplacementTest, LockedFileThatExistedIsParkedAndScheduled) {
  ASSERT_TRUE(OpenInstallLog());
  const std::string data = "new bytes of the library";
  RestartReplacement request;
  request.target = target_;
  request.data = std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  request.stamp = tl::DateTime{2021, 3, 14, 15, 9, 26};
  request.existedBefore = true;
  request.lastError = ERROR_SHARING_VIOLATION;

  ASSERT_TRUE(ReplaceAtRestart(run_, request));
  EXPECT_TRUE(run_.restartRequired);
  EXPECT_EQ(run_.failures.text(), "");

  Strings list = PendingList();
  int pair = PairFor(list, target_);
  ASSERT_GE(pair, 0) << "no pending move onto " << target_;
  std::string parked = StripRenamePrefix(list[pair]);
  std::string parkedLong = LongPath(parked);
  EXPECT_TRUE(SamePath(parkedLong.substr(0, parkedLong.find_last_of('\\')), folder_)) << parkedLong;
  EXPECT_TRUE(SamePath(parkedLong.substr(parkedLong.find_last_of('\\') + 1, 3), "TLT")) << parkedLong;
  EXPECT_EQ(ReadWholeFile(parked), data);
  EXPECT_EQ(ReadWholeFile(target_), "<missing>");  // still locked: nothing was touched

  // The stamp is UTC and becomes the creation and last-write time.
  HANDLE file = ::CreateFileA(parked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME created, written;
  ASSERT_TRUE(::GetFileTime(file, &created, nullptr, &written));
  ::CloseHandle(file);
  SYSTEMTIME time;
  ASSERT_TRUE(::FileTimeToSystemTime(&written, &time));
  EXPECT_EQ(std::vector<int>({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}),
            std::vector<int>({2021, 3, 14, 15, 9, 26}));
  EXPECT_EQ(::CompareFileTime(&created, &written), 0);

  const std::string expected = "\r\n" + std::string(kString31) + " " + target_ + "\r\n" +
                               tl::SystemErrorText(ERROR_SHARING_VIOLATION) + "\r\n\r\n\"" + target_ +
                               "\" was successfully registered for replacement.\r\nTemporary file is \"" + parked +
                               "\"\r\nReboot will be required.\r\n\r\n";
  EXPECT_NE(FinishedLog().find(expected), std::string::npos) << expected;
}

TEST_F(RestartReplacementTest, RefusalsGoToTheFailureSummary) {
  struct Case {
    const char* name;
    bool existedBefore;
    uint64_t flags;
    uint32_t lastError;
    std::string target;
    std::string reason;  // what follows the first line of the message
  };
  const Case cases[] = {
      {"new file without bit 11", false, 0, ERROR_SHARING_VIOLATION, target_,
       tl::SystemErrorText(ERROR_SHARING_VIOLATION) + "\r\n\r\n"},
      {"invalid name even with bit 11", true, Bit(11), ERROR_INVALID_NAME, target_,
       tl::SystemErrorText(ERROR_INVALID_NAME) + "\r\n\r\n"},
      {"missing drive", true, 0, ERROR_PATH_NOT_FOUND, "q:\\App\\a.dll", "Drive Q: is not present.\r\n"},
  };
  const std::string data = "data";
  for (const Case& c : cases) {
    if (c.target[0] == 'q') ASSERT_EQ(::GetLogicalDrives() & (1u << ('Q' - 'A')), 0u) << "this system has a Q: drive";
    run_.failures.Clear();
    product_.stream.ProductFlags = c.flags;
    Strings before = PendingList();
    RestartReplacement request;
    request.target = c.target;
    request.data = std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    request.existedBefore = c.existedBefore;
    request.lastError = c.lastError;

    EXPECT_FALSE(ReplaceAtRestart(run_, request)) << c.name;
    EXPECT_EQ(run_.failures.text(), "\r\n" + std::string(kString31) + " " + c.target + "\r\n" + c.reason)
        << c.name;
    EXPECT_EQ(PendingList(), before) << c.name;
    EXPECT_EQ(CountTltFiles(folder_), 0) << c.name;
    EXPECT_FALSE(run_.restartRequired) << c.name;
  }
}

TEST_F(RestartReplacementTest, ScheduleMoveAndDelete) {
  const std::string source = folder_ + "\\source.tmp";
  WriteWholeFile(source, "x");
  ::SetLastError(0);
  EXPECT_FALSE(ScheduleRestartMove("", target_));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_FALSE(ScheduleRestartMove(folder_ + "\\absent.tmp", target_));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  Strings before = PendingList();
  EXPECT_TRUE(ScheduleRestartMove(source, source));  // nothing to do
  EXPECT_EQ(::GetLastError(), 170u);
  EXPECT_EQ(PendingList(), before);

  EXPECT_TRUE(ScheduleRestartMove(source, target_));
  EXPECT_EQ(::GetLastError(), 170u);
  EXPECT_TRUE(ScheduleRestartDelete(source));
  Strings list = PendingList();
  int move = PairFor(list, target_);
  ASSERT_GE(move, 0);
  EXPECT_TRUE(SamePath(StripRenamePrefix(list[move]), source));
  bool deletion = false;
  for (size_t i = 0; i + 1 < list.size(); i += 2)
    deletion |= list[i + 1].empty() && SamePath(StripRenamePrefix(list[i]), source);
  EXPECT_TRUE(deletion);
  EXPECT_TRUE(Exists(source));  // only scheduled
}

TEST_F(RestartReplacementTest, PruneRemovesPairsOfWrittenFilesAndKeepsOthers) {
  const std::string stale = folder_ + "\\TLTstale.tmp";
  WriteWholeFile(stale, "parked by an earlier run");
  const Strings others = {"\\??\\C:\\windows\\temp\\other.tmp", "!\\??\\C:\\elsewhere\\other.dll",
                          "\\??\\C:\\windows\\temp\\gone.tmp", ""};
  Strings list = {"\\??\\" + stale, "!\\??\\" + target_, others[0], others[1],
                  "\\??\\" + folder_ + "\\OLD.DLL", "", others[2], others[3]};
  SetPendingList(list);

  InstalledFileSet written;
  written.Add(target_);
  written.Add(folder_ + "\\old.dll");
  ASSERT_TRUE(OpenInstallLog());
  PruneRestartRenames(written, true);

  EXPECT_EQ(PendingList(), others);
  EXPECT_FALSE(Exists(stale));  // recycled
  std::string log = FinishedLog();
  EXPECT_NE(log.find("\r\n\r\nFile \"" + target_ + "\" was removed from the list of pending moves.\r\nFile \"" +
                     folder_ + "\\OLD.DLL\" was removed from the list of pending deletions.\r\n"),
            std::string::npos)
      << log;
}

TEST_F(RestartReplacementTest, PruneWithoutLogOrMatchWritesNothing) {
  const Strings list = {"\\??\\C:\\windows\\temp\\a.tmp", "!\\??\\C:\\elsewhere\\a.dll"};
  SetPendingList(list);
  std::optional<std::wstring> raw = ReadPendingRaw();
  InstalledFileSet written;
  written.Add(target_);
  ASSERT_TRUE(OpenInstallLog());
  PruneRestartRenames(written, true);
  EXPECT_EQ(ReadPendingRaw(), raw);

  // Without a log: the pair goes, the log stays empty.
  SetPendingList({"\\??\\" + folder_ + "\\locked.dll", ""});
  PruneRestartRenames(written, false);
  EXPECT_EQ(PendingList(), Strings());
  std::string log = FinishedLog();
  EXPECT_EQ(log.find("was removed"), std::string::npos) << log;
}

}  // namespace
}  // namespace setup
