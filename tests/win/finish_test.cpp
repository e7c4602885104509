// The finish against the real system (under Wine): the restore point as
// Wine answers it, the restart marker and its pending deletion, the desktop
// refresh, the launches at the end of an installation, and the batch that
// removes the uninstaller after it has ended. Every run is automatic, so no
// message box can appear. RestartComputer is not called here: under Wine it
// ends the windowed programs of the whole prefix and carries out every
// pending rename in it.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup/run/run_state.h"
#include "setup/files/pending_renames.h"
#include "setup/integration/finish_actions_win.h"
#include "setup/integration/restart_win.h"
#include "setup/integration/restore_point_win.h"
#include "setup/report/install_log_win.h"
#include "setup/uninstall/self_removal_win.h"
#include "tl_core/file_win.h"
#include "test_files.h"
#include "test_pending_renames.h"

namespace setup {
namespace {

using test_files::Exists;
using test_files::ReadWholeFile;
using test_files::RemoveTree;
using test_files::TempFolder;
using test_files::WaitFor;
using test_files::WriteWholeFile;

constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }
constexpr uint32_t kRestorePointMask = 1u << kFlag2RestorePoint;

// Cleaning up waits a short while only.
constexpr DWORD kCleanupMs = 10000;

std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = ::GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? path : std::string(buffer, n);
}

std::string CurrentFolder() {
  char buffer[MAX_PATH];
  DWORD n = ::GetCurrentDirectoryA(MAX_PATH, buffer);
  return std::string(buffer, n);
}

using test_pending_renames::ReadPendingRaw;
using test_pending_renames::WritePendingRaw;

// Whether the list holds a deletion (empty destination) of path.
bool DeletionPending(const std::string& path) {
  std::optional<std::wstring> raw = ReadPendingRaw();
  if (!raw) return false;
  std::vector<std::wstring> entries = SplitMultiString<wchar_t>(*raw);
  for (size_t i = 0; i + 1 < entries.size(); i += 2) {
    std::string source;
    for (wchar_t c : entries[i]) source += static_cast<char>(c);  // the test's paths are ASCII
    if (entries[i + 1].empty() && ::lstrcmpiA(LongPath(StripRenamePrefix(source)).c_str(), path.c_str()) == 0)
      return true;
  }
  return false;
}

// Whether a cmd.exe that this process started is running.
bool ChildInterpreterRunning() {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = ::Process32First(snapshot, &entry); more && !found; more = ::Process32Next(snapshot, &entry))
    found = entry.th32ParentProcessID == ::GetCurrentProcessId() && ::lstrcmpiA(entry.szExeFile, "cmd.exe") == 0;
  ::CloseHandle(snapshot);
  return found;
}

// A fresh folder and run per test; the process's current folder is put
// back afterwards. The interpreters a test
// started are waited for, so that their files can go.
class FinishTest : public ::testing::Test {
 protected:
  FinishTest() : run_(product_, {}) {}
  void SetUp() override {
    savedFolder_ = CurrentFolder();
    folder_ = LongPath(TempFolder()) + "orv_finish_" + std::to_string(::GetCurrentProcessId()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveTree(folder_);
    ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    run_.automaticMode = true;
    product_.displayName = "Orvanta Demo";
    product_.stream.DisplayVersion = "1.0";
    run_.folders.installLocation = folder_;
    run_.folders.uninstallDataFolder = folder_;
    product_.stream.ProductFlags = Bit(kFlagWriteInstallLog);
  }
  // The fixture's run with a command line of its own.
  RunState RunWith(CommandLineOptions options) const {
    RunState run(product_, std::move(options));
    run.automaticMode = run_.automaticMode;
    run.folders = run_.folders;
    return run;
  }
  void TearDown() override {
    DiscardTemporaryLog();
    ::SetCurrentDirectoryA(savedFolder_.c_str());
    WaitFor([] { return !ChildInterpreterRunning(); }, kCleanupMs);
    // A program that has just ended may still hold its folder for a moment.
    WaitFor(
        [&] {
          RemoveTree(folder_);
          return !Exists(folder_);
        },
        kCleanupMs);
  }

  // The run's InstallLog as "Install.LOG" holds it.
  std::string FinishedLog() {
    WriteInstallLog(run_, false, true);
    return ReadWholeFile(folder_ + "\\Install.LOG");
  }

  ProductSettings product_;
  RunState run_;
  std::string savedFolder_;
  std::string folder_;
};

bool SystemHasRestoreFunction() {
  char system[MAX_PATH];
  UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
  HMODULE module = ::LoadLibraryA((std::string(system, n) + "\\srclient.dll").c_str());
  bool found = module && ::GetProcAddress(module, "SRSetRestorePointW");
  if (module) ::FreeLibrary(module);
  return found;
}

TEST_F(FinishTest, RestorePointAsWineAnswersIt) {
  // Wine's srclient.dll has the function but never makes a restore point:
  // it fails with status 0. A system without the DLL gives the other text.
  const std::string error = SystemHasRestoreFunction()
                                ? "Failed, code 0: " + tl::SystemErrorText(0)
                                : std::string("System Restore is not present.");
  RunState& run = run_;
  product_.stream.ProductFlags2 = kRestorePointMask | 1u;
  ASSERT_TRUE(OpenInstallLog());

  OpenRestorePoint(run);
  EXPECT_EQ(RunProductFlags2(run), 1u);  // only bit 1 is cleared
  EXPECT_FALSE(run.restorePointSequence.has_value());
  // With bit 1 cleared by the failure, the commit tries nothing.
  CommitRestorePoint(run);
  std::string log = FinishedLog();
  EXPECT_NE(log.find("Creating restore point...FAILED\r\n" + error + "\r\n\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("commit"), std::string::npos) << log;
}

TEST_F(FinishTest, RestorePointCommitFailures) {
  const struct {
    const char* name;
    uint32_t flags2;
    std::optional<int64_t> sequence;
    bool logged;
  } cases[] = {
      {"no number kept", kRestorePointMask, std::nullopt, true},
      {"the call fails", kRestorePointMask, 41, true},
      {"no restore point asked for", 0, 41, false},
  };
  for (const auto& c : cases) {
    RunState& run = run_;
    product_.stream.ProductFlags2 = c.flags2;
    run.restorePointSequence = c.sequence;
    ASSERT_TRUE(OpenInstallLog());
    CommitRestorePoint(run);
    if (c.flags2) EXPECT_FALSE(run.restorePointSequence.has_value()) << c.name;  // forgotten after the commit
    std::string log = FinishedLog();
    EXPECT_EQ(log.find("Failed to commit restore point.\r\n") != std::string::npos, c.logged) << c.name << log;
    ::DeleteFileA((folder_ + "\\Install.LOG").c_str());
  }
}

TEST_F(FinishTest, OpenRestorePointOnlyWhenAsked) {
  product_.stream.ProductFlags2 = 0;
  ASSERT_TRUE(OpenInstallLog());
  OpenRestorePoint(run_);
  EXPECT_EQ(FinishedLog().find("restore point"), std::string::npos);
}

TEST_F(FinishTest, RebootMarkerExistsUntilTheNextStart) {
  const std::optional<std::wstring> savedPending = ReadPendingRaw();
  const std::string marker = folder_ + "\\reboot.dat";

  WriteRebootMarker(run_);  // bit 53 clear
  EXPECT_FALSE(Exists(marker));
  EXPECT_FALSE(DeletionPending(marker));

  product_.stream.ProductFlags |= Bit(kFlagRebootMarker);
  WriteWholeFile(marker, "left by an earlier run");
  WriteRebootMarker(run_);
  EXPECT_EQ(ReadWholeFile(marker), "");
  EXPECT_TRUE(DeletionPending(marker));

  WritePendingRaw(savedPending);
}

TEST_F(FinishTest, RebootMarkerNotScheduledWhenItCannotBeMade) {
  const std::optional<std::wstring> savedPending = ReadPendingRaw();
  product_.stream.ProductFlags |= Bit(kFlagRebootMarker);
  run_.folders.installLocation = folder_ + "\\missing";
  WriteRebootMarker(run_);
  EXPECT_FALSE(DeletionPending(folder_ + "\\missing\\reboot.dat"));
  EXPECT_EQ(ReadPendingRaw(), savedPending);
}

TEST_F(FinishTest, AskForRestartWithoutAQuestion) {
  const struct {
    uint64_t flags;
    bool restart;
  } cases[] = {{0, false}, {Bit(41), false}, {Bit(14), true}};
  for (const auto& c : cases) {
    product_.stream.ProductFlags = c.flags;
    EXPECT_EQ(AskForRestart(run_), c.restart) << c.flags;
  }
}

// The paths of the folders the shell was told about, caught by a window of
// this thread registered for every folder of the computer.
class ShellUpdateCatcher {
 public:
  static constexpr UINT kMessage = WM_APP + 17;

  ShellUpdateCatcher() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &ShellUpdateCatcher::Receive;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OrvFinishTestCatcher";
    ::RegisterClassA(&windowClass);
    window_ = ::CreateWindowA("OrvFinishTestCatcher", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &root_);
    SHChangeNotifyEntry entry = {root_, TRUE};
    registration_ = ::SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_UPDATEDIR,
                                             kMessage, 1, &entry);
  }
  ~ShellUpdateCatcher() {
    if (registration_) ::SHChangeNotifyDeregister(registration_);
    if (window_) ::DestroyWindow(window_);
    if (root_) ::CoTaskMemFree(root_);
  }
  bool ready() const { return window_ && registration_; }

  std::vector<std::string> Drain() {
    MSG msg;
    while (::PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    return std::exchange(updated_, {});
  }

 private:
  static LRESULT CALLBACK Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMessage && lParam == SHCNE_UPDATEDIR) {
      auto pidls = reinterpret_cast<PCIDLIST_ABSOLUTE*>(wParam);
      char path[MAX_PATH] = {};
      if (pidls && pidls[0] && ::SHGetPathFromIDListA(pidls[0], path)) updated_.push_back(LongPath(path));
      return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }

  static inline std::vector<std::string> updated_;
  HWND window_ = nullptr;
  PIDLIST_ABSOLUTE root_ = nullptr;
  ULONG registration_ = 0;
};

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  return ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK ? LongPath(path)
                                                                                       : std::string();
}

TEST_F(FinishTest, DesktopRefreshNamesTheDesktopOfTheShortcutMode) {
  ShellUpdateCatcher catcher;
  ASSERT_TRUE(catcher.ready());
  const std::string common = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
  const std::string own = ShellFolder(CSIDL_DESKTOPDIRECTORY);
  ASSERT_FALSE(common.empty());
  ASSERT_FALSE(own.empty());
  ASSERT_NE(common, own);
  catcher.Drain();

  const struct {
    uint8_t mode;
    std::string desktop;
  } cases[] = {{1, common}, {0, own}, {2, own}};
  for (const auto& c : cases) {
    product_.stream.ShortcutMode = c.mode;
    RefreshDesktopFolder(run_);
    EXPECT_EQ(catcher.Drain(), std::vector<std::string>{c.desktop}) << int(c.mode);
  }
}

// The 64-bit cmd.exe where there is one: it starts without the emulator,
// where a 32-bit one takes about a minute.
std::string NativeInterpreter() {
  char windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryA(windows, MAX_PATH);
  std::string native = std::string(windows, n) + "\\sysnative\\cmd.exe";
  return Exists(native) ? native : std::string(windows, n) + "\\system32\\cmd.exe";
}

// That interpreter copied into a folder with a blank in its name, whose
// folder is the one a launch should run in.
std::string CopyNativeInterpreter(const std::string& folder) {
  ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string copy = folder + "\\cmd.exe";
  return ::CopyFileA(NativeInterpreter().c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

TEST_F(FinishTest, RunAfterInstallStartsInTheFolderOfItsProgram) {
  const std::string tools = folder_ + "\\My Tools";
  const std::string interpreter = CopyNativeInterpreter(tools);
  ASSERT_FALSE(interpreter.empty());
  const std::string marker = folder_ + "\\ran.txt";
  // The program writes its current folder into the marker.
  CommandLineOptions options;
  options.runAfterInstall = "\"" + interpreter + "\" /c cd > \"" + marker + "\"";
  ::SetCurrentDirectoryA(TempFolder().c_str());

  RunFinishLaunches(RunWith(options), FinishChoices{});
  EXPECT_EQ(LongPath(CurrentFolder()), folder_);
  ASSERT_TRUE(WaitFor([&] { return ReadWholeFile(marker).find("\r\n") != std::string::npos; }));
  EXPECT_EQ(LongPath(ReadWholeFile(marker).substr(0, ReadWholeFile(marker).find("\r\n"))), tools);
  EXPECT_FALSE(Exists(folder_ + "\\Install.LOG"));  // nothing failed
}

TEST_F(FinishTest, LaunchFailuresGoToInstallLog) {
  const std::string missing = folder_ + "\\missing.exe";
  const std::string absentCommand = "\"" + missing + "\" /quiet";
  WriteWholeFile(folder_ + "\\Install.LOG", "earlier block\r\n");
  CommandLineOptions options;
  options.runAfterInstall = absentCommand;
  product_.stream.FinishApp = "%InstallDir%\\missing.exe";
  RunState run = RunWith(options);
  const std::string notFound = tl::SystemErrorText(ERROR_FILE_NOT_FOUND);

  const struct {
    const char* name;
    std::string summary;
    FinishChoices chosen;
    std::string appended;
  } cases[] = {
      {"launch on exit", "", FinishChoices{},
       "Failed to launch command: " + absentCommand + "\r\n" + notFound + "\r\n"},
      // A failed installation starts no launch-on-exit command, so it cannot fail either.
      {"not after a failure", "\r\nsomething failed\r\n", FinishChoices{}, ""},
      {"finish application, also after a failure", "\r\nsomething failed\r\n", FinishChoices{false, true, false, false},
       "Failed to launch app: " + missing + "\r\n" + notFound + "\r\n"},
  };
  for (const auto& c : cases) {
    WriteWholeFile(folder_ + "\\Install.LOG", "earlier block\r\n");
    run.failures.Clear();
    run.failures.Append(c.summary);
    RunFinishLaunches(run, c.chosen);
    EXPECT_EQ(ReadWholeFile(folder_ + "\\Install.LOG"), "earlier block\r\n" + c.appended) << c.name;
  }
}

// A file type of the test's own whose "open" copies the file beside itself
// with the 64-bit interpreter: a 32-bit one would take minutes to start
// under the emulator. Removed again when the test ends.
class OpenedFileType {
 public:
  static constexpr char kExtension[] = ".orvfinishtest";

  explicit OpenedFileType(const std::string& interpreter) {
    const std::string command = "\"" + interpreter + "\" /c copy \"%1\" \"%1.opened\"";
    ok_ = SetDefault(kExtension, kProgId) && SetDefault(std::string(kProgId) + "\\shell\\open\\command", command);
  }
  ~OpenedFileType() {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kExtension);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtension);
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
  }
  bool ok() const { return ok_; }

 private:
  static constexpr char kProgId[] = "OrvFinishTest.File";

  static bool SetDefault(const std::string& keyPath, const std::string& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return false;
    bool set = ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return set;
  }

  bool ok_ = false;
};

TEST_F(FinishTest, FinishFilesOpenWithTheShell) {
  OpenedFileType fileType(CopyNativeInterpreter(folder_ + "\\My Tools"));
  ASSERT_TRUE(fileType.ok());
  const std::string first = folder_ + "\\first" + OpenedFileType::kExtension;
  const std::string second = folder_ + "\\second" + OpenedFileType::kExtension;
  WriteWholeFile(first, "first document");
  WriteWholeFile(second, "second document");
  product_.stream.FinishFile1 = std::string("%InstallDir%\\first") + OpenedFileType::kExtension;
  product_.stream.FinishFile2 = std::string("%InstallDir%\\second") + OpenedFileType::kExtension;

  RunFinishLaunches(run_, FinishChoices{true, false, false, true});
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(first + ".opened") == "first document"; }));
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(second + ".opened") == "second document"; }));

  // Only the second chosen: the first is not opened (it would have been
  // started before the second).
  ::DeleteFileA((first + ".opened").c_str());
  ::DeleteFileA((second + ".opened").c_str());
  RunFinishLaunches(run_, FinishChoices{false, false, false, true});
  EXPECT_TRUE(WaitFor([&] { return Exists(second + ".opened"); }));
  EXPECT_FALSE(Exists(first + ".opened"));
}

std::string EnvironmentValue(const char* name) {
  char value[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

// The uninstaller stand-in is held open, without sharing, by hold_file.exe
// (a test tool in ORV_TOOLS_BIN) until the test lets it end, as a running
// uninstaller holds its own file until the process ends. The batch goes to
// a private temporary folder, so that no other program's "delunins.bat"
// gets in the way.
TEST_F(FinishTest, SelfRemovalDeletesTheUninstallerAfterItEndsAndTheEmptyFolders) {
  const std::string tools = EnvironmentValue("ORV_TOOLS_BIN");
  ASSERT_FALSE(tools.empty()) << "ORV_TOOLS_BIN must name the folder of hold_file.exe";
  const std::string holder = tools + "\\hold_file.exe";
  ASSERT_TRUE(Exists(holder)) << holder;

  const std::string install = folder_ + "\\App Dir";
  const std::string uninstallFolder = install + "\\Sub\\Uninstall";
  ::CreateDirectoryA(install.c_str(), nullptr);
  ::CreateDirectoryA((install + "\\Sub").c_str(), nullptr);
  ::CreateDirectoryA(uninstallFolder.c_str(), nullptr);
  const std::string uninstaller = uninstallFolder + "\\uninstall.exe";
  WriteWholeFile(uninstaller, "MZ stand-in");
  WriteWholeFile(install + "\\notes.txt", "the user's own file");
  const std::string temporary = folder_ + "\\temp";
  ::CreateDirectoryA(temporary.c_str(), nullptr);
  const std::string release = folder_ + "\\release";

  std::string command = "\"" + holder + "\" \"" + uninstaller + "\" \"" + release + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &info));
  ::CloseHandle(info.hThread);
  // Held once another open fails for sharing.
  ASSERT_TRUE(WaitFor([&] {
    HANDLE probe = ::CreateFileA(uninstaller.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) ::CloseHandle(probe);
    return probe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
  }));

  const std::string savedTmp = EnvironmentValue("TMP");
  const std::string savedComspec = EnvironmentValue("COMSPEC");
  ::SetEnvironmentVariableA("TMP", (temporary + "\\").c_str());
  ::SetEnvironmentVariableA("COMSPEC", NativeInterpreter().c_str());
  run_.folders.installLocation = install;
  product_.stream.UninstallSubdir = "Sub\\Uninstall";
  StartSelfRemoval(run_, uninstaller);
  ::SetEnvironmentVariableA("TMP", savedTmp.empty() ? nullptr : savedTmp.c_str());
  ::SetEnvironmentVariableA("COMSPEC", savedComspec.empty() ? nullptr : savedComspec.c_str());

  const std::string batch = temporary + "\\delunins.bat";
  ASSERT_TRUE(Exists(batch));
  EXPECT_NE(ReadWholeFile(batch).find("rd \"" + uninstallFolder + "\"\r\nrd \"" + install + "\\Sub\"\r\nrd \"" +
                                      install + "\"\r\n"),
            std::string::npos)
      << ReadWholeFile(batch);
  // The batch loops while the uninstaller's file is held.
  ASSERT_TRUE(WaitFor(ChildInterpreterRunning));
  ::Sleep(2000);
  EXPECT_TRUE(Exists(uninstaller));
  EXPECT_TRUE(Exists(batch));

  WriteWholeFile(release, "");
  ::WaitForSingleObject(info.hProcess, INFINITE);
  ::CloseHandle(info.hProcess);
  ASSERT_TRUE(WaitFor([&] { return !Exists(batch); }));
  EXPECT_FALSE(Exists(uninstaller));
  EXPECT_FALSE(Exists(uninstallFolder));
  EXPECT_FALSE(Exists(install + "\\Sub"));
  EXPECT_EQ(ReadWholeFile(install + "\\notes.txt"), "the user's own file");  // its folder stays
}

}  // namespace
}  // namespace setup
