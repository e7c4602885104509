#include "setup/uninstall/uninstall_run_win.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "setup/run/file_redirection_win.h"
#include "setup/run/run_control_win.h"
#include "setup/files/installed_file_set.h"
#include "setup/files/restart_replacement_win.h"
#include "setup/integration/finish_actions_win.h"
#include "setup/integration/restart_win.h"
#include "setup/record/uninstall_entry.h"
#include "setup/strings/string_arguments.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/program_closing_win.h"
#include "setup/ui/background_look.h"
#include "setup/ui/background_window_win.h"
#include "setup/ui/progress_dialog_win.h"
#include "setup/ui/progress_win.h"
#include "setup/report/install_log_win.h"
#include "setup/uninstall/folder_removal.h"
#include "setup/uninstall/integration_removal_win.h"
#include "setup/record/registration_values.h"
#include "setup/record/uninstall_data_file_win.h"
#include "setup/uninstall/uninstall_registration_win.h"
#include "setup/vars/batch_runner_win.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/fatal.h"
#include "tl_core/file_win.h"
#include "tl_core/path_text.h"
#include "tl_core/text.h"
#include "tl_core/wide_text_win.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

constexpr unsigned kPhasePauseMs = 600;
constexpr int kMaxFolderLevels = 20;

// The uninstall run's own state beside the run state.
struct UninstallRun {
  RunState& state;
  UninstallRegistration& registration;
  UninstallDataContent data;
  InstalledFileSet deletedFiles;
  std::vector<std::string> folders;  // the folders the installation created
};

void ShowStatus(int number) {
  MarkStatusTime();
  SetStatusText(LocalizedString(number));
}

// The uninstaller's one language: the strings the installation left in
// "Uninstall.DAT".
void LoadUninstallerStrings(const UninstallDataContent& data) {
  StringTableData table;
  table.languages = {"English"};
  int highest = kDialogCaptionStringNumber;
  for (const auto& [number, text] : data.strings) highest = std::max(highest, number);
  table.texts.assign(static_cast<size_t>(highest) + 1, std::vector<std::string>(1));
  for (const auto& [number, text] : data.strings) table.texts[static_cast<size_t>(number)][0] = text;
  RunStrings().Load(table);
}

bool ReadUninstallData(UninstallRun& run) {
  const std::string path = UninstallDataFilePath(run.state.folders.uninstallDataFolder);
  UninstallDataFileRead read = ReadUninstallDataFile(path);
  if (!read.ok) {
    ShowError(tl::Format(kUninstallDataUnreadableMessage, run.state.product.displayName.c_str(), path.c_str(),
                         read.fileError, read.errorText.c_str()));
    return false;
  }
  run.data = std::move(read.content);
  LoadUninstallerStrings(run.data);
  return true;
}

std::vector<CloseRecord> ClosePass(const std::vector<CloseRecord>& all, bool second) {
  std::vector<CloseRecord> pass;
  for (const CloseRecord& record : all)
    if (InSecondClosePass(record) == second) pass.push_back(record);
  return pass;
}

void Confirm(const RunState& run) {
  if (run.automaticMode) return;
  if (!AskYesNo(LocalizedString(kStringUninstallConfirmation), LocalizedString(kStringUninstallCaption)))
    ExitInstaller(1);
}

void RunUninstallBatch(UninstallRun& run, const char* valueName, int hideFlag) {
  tl::RegistryKey& key = run.registration.key;
  const std::string text = key.ReadText(valueName);
  if (text.empty()) return;
  const RunState& state = run.state;
  RunBatch(state, BatchRequest{state.folders.installLocation, state.product.Flag(hideFlag), text, ""});
  key.DeleteValue(valueName);
}

void NotifyAssociationsChanged() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

void DeleteInstallLog(const RunState& run) {
  if (run.product.Flag(kFlagKeepInstallLog)) return;
  ::DeleteFileW(tl::ToWide(InstallLogPath(run.folders.uninstallDataFolder)).c_str());
}

// Deletes one installed file; true when it is gone.
bool DeleteInstalledFile(const std::string& path) {
  const std::wstring wide = tl::ToWide(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // nothing to delete
  if (attributes & ~FILE_ATTRIBUTE_NORMAL) ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::DeleteFileW(wide.c_str()) != 0;
}

void RemoveFiles(UninstallRun& run) {
  RunState& state = run.state;
  const size_t count = run.data.paths.size();
  for (size_t i = 0; i < count; ++i) {
    const std::string& line = run.data.paths[i];
    if (line.empty()) continue;
    if (line.front() == '~') {
      run.folders.push_back(line.substr(1));
      continue;
    }
    SetProgress(11 + static_cast<int>(81 * i / count));
    if (DeleteInstalledFile(line)) {
      run.deletedFiles.Add(line);
      continue;
    }
    state.failures.AppendFormat("%s %s\r\n", LocalizedString(kStringCannotDeleteFile).c_str(), line.c_str());
    state.uninstallData.RecordPath(line, UninstallPathKind::kFile);
  }
}

void DeleteThumbnailCache(const std::string& folder) {
  ::DeleteFileW(tl::ToWide(tl::JoinPath(folder, "thumbs.db")).c_str());
}

bool RemoveEmptyFolder(const std::string& folder) { return ::RemoveDirectoryW(tl::ToWide(folder).c_str()) != 0; }

// Deepest first; each removed folder's parents follow while they are empty,
// up to the install folder, which the self-removal takes at the very end.
void RemoveFolders(UninstallRun& run) {
  const RunFolders& folders = run.state.folders;
  for (const std::string& created : FoldersDeepestFirst(run.folders)) {
    for (const std::string& folder : FolderRemovalChain(created, folders.installLocation)) {
      DeleteThumbnailCache(folder);
      if (!RemoveEmptyFolder(folder)) break;
    }
  }
  DeleteThumbnailCache(folders.installLocation);
  DeleteThumbnailCache(folders.uninstallDataFolder);
}

// What a later run still has to do: the files that stayed, the strings, the
// programs to close, the packages that stayed, the registry definitions and
// the deletion rules.
void RewriteUninstallData(UninstallRun& run, const std::vector<std::string>& packagesLeft) {
  RunState& state = run.state;
  UninstallDataContent left;
  left.paths = state.uninstallData.pathLines();
  left.strings = run.data.strings;
  left.dialogCaption = run.data.dialogCaption;
  left.closeList = run.data.closeList;
  left.msi = packagesLeft;
  left.registry2 = run.data.registry2;
  left.deleteList = run.data.deleteList;
  const std::string path = UninstallDataFilePath(state.folders.uninstallDataFolder);
  if (const tl::Status written = WriteUninstallDataFile(path, left); !written)
    state.failures.AppendFormat(kUninstallDataNotRewrittenMessage, path.c_str(),
                                tl::SystemErrorText(written.error()).c_str());
  state.uninstallData.ClearPaths();
}

void RemoveStartMenuFolder(UninstallRun& run) {
  const std::string& relative = run.registration.productStartMenu;
  if (relative.empty()) return;
  const RunState& state = run.state;
  const bool allUsers = state.product.stream.ShortcutMode == kShortcutsForAllUsers;
  std::string folder = tl::JoinPath(
      PathVariableValue(state, allUsers ? PathVariable::kSMProgramsAllDir : PathVariable::kSMProgramsDir), relative);
  for (int level = 0; level < kMaxFolderLevels && folder.size() > 3; ++level) {
    if (!RemoveEmptyFolder(folder)) break;
    folder = tl::FolderOfPath(tl::TrimTrailingBackslashes(folder));
  }
}

void RemoveSharedFolder(UninstallRun& run) {
  if (!run.registration.sharedPath.empty()) RemoveEmptyFolder(run.registration.sharedPath);
}

// Only after a complete removal: the data file, the PATH entry, the second
// uninstall batch and the registration itself.
void RemoveRegistration(UninstallRun& run) {
  const RunState& state = run.state;
  ::DeleteFileW(tl::ToWide(UninstallDataFilePath(state.folders.uninstallDataFolder)).c_str());
  if (state.product.Flag(kFlagAddToPath)) {
    const std::string message = RemoveInstallFolderFromPath();
    if (!message.empty() && !state.automaticMode) ShowError(message);
  }
  RunUninstallBatch(run, "UninstallBatch2", kFlagHideUninstallBatch2);
  run.registration.key.Close();
  tl::RegistryKey parent;
  if (parent.Open(HKEY_LOCAL_MACHINE, kUninstallKeyPath, tl::kRegOpenExistingOnly, tl::kRegAccessDelete) !=
      tl::RegOpenResult::kFailed)
    parent.DeleteKey(state.product.stream.UninstallKeyName, 0);
}

void UndoInstallation(UninstallRun& run) {
  RunState& state = run.state;
  RunUninstallBatch(run, "UninstallBatch1", kFlagHideUninstallBatch1);

  ShowStatus(kStringRemovingAssociationsStatus);
  SetProgress(1);
  RemoveAssociations(run.data.associations);
  NotifyAssociationsChanged();
  WaitStatusTime(kPhasePauseMs);

  ShowStatus(kStringRemovingFontsStatus);
  SetProgress(3);
  RemoveFonts(run.registration);

  ShowStatus(kStringReleasingSharedFilesStatus);
  SetProgress(5);
  DeleteInstallLog(state);
  ReleaseSharedFiles(run.registration);
  const std::vector<std::string> packagesLeft = RemovePackages(run.data.msi);

  SetProgress(10);
  state.uninstallData.ClearPaths();
  RemoveFiles(run);
  SetProgress(92);
  PruneRestartRenames(run.deletedFiles, false);
  SetProgress(93);
  RemoveFolders(run);
  RewriteUninstallData(run, packagesLeft);
  RemoveStartMenuFolder(run);
  WaitStatusTime(kPhasePauseMs);

  ShowStatus(kStringRemovingRegistryStatus);
  SetProgress(95);
  RemoveRegistryEntries(run.registration, run.data);
  SetProgress(96);
  RemoveFirewallExceptions(run.data.firewall);
  SetProgress(97);
  RemoveDriverPackages(run.data.inf);
  RemoveInstallTree();
  SetProgress(98);
  RemoveSharedFolder(run);
  if (state.failures.empty()) RemoveRegistration(run);

  run.registration.key.Close();
  RefreshDesktopFolder(state);
  SetProgress(100);
  RestoreFileRedirection(state.redirection);
  if (state.product.Flag(kFlagCloseProgressAtEnd)) {
    WaitStatusTime(kPhasePauseMs);
    CloseProgressDialog();
  }
}

// The installation's title stands in the registration's DisplayTitle already.
void OpenBackgroundWindow(const RunState& run) {
  if (run.product.Flag(kFlagNoBackgroundWindow) || !run.showsWindows) return;
  CreateBackgroundWindow(static_cast<HINSTANCE>(run.process.instance), static_cast<HICON>(run.process.smallIcon),
                         static_cast<HICON>(run.process.largeIcon), BackgroundLookOf(run.product, ""),
                         run.options.startMinimized);
}

bool ReportOutcome(const RunState& run) {
  const bool automatic = run.automaticMode;
  if (!run.failures.empty()) {
    if (!automatic)
      ShowRunMessageBox(LocalizedFormat(kStringUninstallFailed, {run.failures.text()}),
                        LocalizedString(kStringQuestionCaption), MB_OK | MB_ICONWARNING);
    return false;
  }
  if (!automatic)
    ShowRunMessageBox(LocalizedString(kStringUninstallComplete), LocalizedString(kStringUninstallCompleteCaption),
                      MB_OK | MB_ICONINFORMATION);
  if (run.product.Flag(kFlagRestartAfterUninstall)) {
    if (automatic ||
        AskYesNo(LocalizedString(kStringUninstallRestartQuestion), LocalizedString(kStringQuestionCaption)))
      static_cast<void>(RestartComputer());  // refused: the computer stays as it is
  }
  return true;
}

}  // namespace

bool UninstallProduct(RunState& state, UninstallRegistration& registration) {
  UninstallRun run{state, registration, {}, {}, {}};
  if (state.product.Is64Bit()) {
    SwitchOffFileRedirection(state.redirection);
    if (!state.redirection.off) tl::FatalMessage("Wow64DisableWow64FsRedirection() failed");
  }
  OpenBackgroundWindow(state);
  if (!ReadUninstallData(run)) return false;
  ClosePrograms(ClosePass(run.data.closeList, false), kStringUninstallCaption);
  Confirm(state);
  ClosePrograms(ClosePass(run.data.closeList, true), kStringUninstallCaption);
  OpenProgressDialog(state, run.data.dialogCaption);
  UndoInstallation(run);
  return ReportOutcome(state);
}

}  // namespace setup
