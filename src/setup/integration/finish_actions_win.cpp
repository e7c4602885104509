#include "setup/integration/finish_actions_win.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "setup/files/restart_replacement_win.h"
#include "setup/integration/launch_command.h"
#include "setup/report/install_log_win.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/path_text.h"
#include "tl_core/process_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"
#include "setup/payload/product_flags.h"

namespace setup {
namespace {

constexpr char kRebootMarkerName[] = "reboot.dat";

// Launches after the log is written go to the final file: the temporary
// InstallLog is gone by then.
void AppendToInstallLogFile(const RunState& run, const std::string& text) {
  tl::File file;
  if (file.Open(InstallLogPath(run.folders.uninstallDataFolder),
                tl::kOpenOrCreate | tl::kNoReadAccess | tl::kShareRead | tl::kSeekToEnd) != tl::kFileOk)
    return;
  (void)file.Write(text.data(), static_cast<int64_t>(text.size()));
}

void LogLaunchFailure(const RunState& run, const char* what, const std::string& command, DWORD error) {
  // The system's text comes without its line end; the entry gets one so the
  // next block starts on a line of its own.
  AppendToInstallLogFile(run, what + command + "\r\n" + tl::SystemErrorText(error) + "\r\n");
}

// The shell's default action for the file (its "open" where there is no
// other default); the shell is loaded only when a finish action needs it.
void OpenWithShell(const std::string& path) {
  using ShellExecuteWFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static const auto execute = tl::OnDemandFunction<ShellExecuteWFn>("shell32.dll", "ShellExecuteW");
  if (execute) execute(nullptr, nullptr, tl::ToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenFinishFile(const RunState& run, const std::string& configured) {
  if (configured.empty()) return;
  OpenWithShell(PathVariablesExpanded(run, configured));
}

void MakeCurrentFolder(const std::string& folder) {
  if (!folder.empty()) ::SetCurrentDirectoryW(tl::ToWide(folder).c_str());
}

void StartRunAfterInstall(const RunState& run, const std::string& command) {
  std::string folder = ProgramFolderOfCommandLine(command);
  if (!folder.empty() && !tl::FolderExists(folder)) folder.clear();
  if (tl::RunProcess(command, 0, folder) == tl::kRunStartFailed)
    LogLaunchFailure(run, "Failed to launch command: ", command, ::GetLastError());
}

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = tl::PathAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void StartFinishApp(const RunState& run, const std::string& configured) {
  if (configured.empty()) return;
  const std::string path = PathVariablesExpanded(run, configured);
  // A program path with a blank must not be split at it by the system.
  const std::string command = IsExistingFile(path) ? QuotedProgram(path) : path;
  if (tl::RunProcess(command, 0, run.folders.installLocation) == tl::kRunStartFailed)
    LogLaunchFailure(run, "Failed to launch app: ", path, ::GetLastError());
}

}  // namespace

void WriteRebootMarker(const RunState& run) {
  if (!run.product.Flag(kFlagRebootMarker)) return;
  const std::string path = tl::JoinPath(run.folders.installLocation, kRebootMarkerName);
  tl::File marker;
  if (marker.Open(path, tl::kCreateOrTruncate | tl::kNoReadAccess) != tl::kFileOk) return;
  marker.Close();
  // Without the scheduled deletion the marker stays: nothing to report.
  static_cast<void>(ScheduleRestartDelete(path));
}

void RefreshDesktopFolder(const RunState& run) {
  using SHChangeNotifyFn = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);
  static const auto notify = tl::OnDemandFunction<SHChangeNotifyFn>("shell32.dll", "SHChangeNotify");
  if (!notify) return;
  const bool allUsers = run.product.stream.ShortcutMode == kShortcutsForAllUsers;
  const std::string desktop =
      PathVariableValue(run, allUsers ? PathVariable::kDesktopAllDir : PathVariable::kDesktopDir);
  if (desktop.empty()) return;
  const std::wstring wide = tl::ToWide(desktop);
  notify(SHCNE_UPDATEDIR, SHCNF_PATHW, wide.c_str(), nullptr);
}

void RunFinishLaunches(const RunState& run, const FinishChoices& chosen) {
  const SettingsStream& settings = run.product.stream;
  const std::string& runAfterInstall = run.options.runAfterInstall;
  MakeCurrentFolder(run.folders.installLocation);
  if (run.failures.empty() && !runAfterInstall.empty()) StartRunAfterInstall(run, runAfterInstall);
  if (chosen.openFinishFile1) OpenFinishFile(run, settings.FinishFile1);
  if (chosen.launchFinishApp) StartFinishApp(run, settings.FinishApp);
  if (chosen.showInstallLog) ShowInstallLog(InstallLogPath(run.folders.uninstallDataFolder));
  if (chosen.openFinishFile2) OpenFinishFile(run, settings.FinishFile2);
}

}  // namespace setup
