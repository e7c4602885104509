#include "setup/uninstall/uninstall_run_win.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "setup/run/file_redirection_win.h"
#include "setup/run/install_settings.h"
#include "setup/run/run_control_win.h"
#include "setup/files/installed_file_set.h"
#include "setup/files/restart_replacement_win.h"
#include "setup/integration/finish_actions_win.h"
#include "setup/integration/restart_win.h"
#include "setup/record/uninstall_entry.h"
#include "setup/report/failure_summary.h"
#include "setup/strings/string_arguments.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/program_closing_win.h"
#include "setup/ui/progress_win.h"
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

namespace setup {
namespace {

constexpr unsigned kPhasePauseMs = 600;
constexpr int kMaxFolderLevels = 20;

// ProductFlags bits the uninstall run tests.
constexpr int kFlagKeepInstallLog = 54;
constexpr int kFlagHideUninstallBatch1 = 26;
constexpr int kFlagHideUninstallBatch2 = 27;
constexpr int kFlagAddToPath = 12;
constexpr int kFlagCloseProgressAtEnd = 51;
constexpr int kFlagRestartAfterUninstall = 45;

// Interface strings of the uninstaller.
constexpr int kFailureMessage = 10;
constexpr int kSuccessCaption = 15;
constexpr int kFailureCaption = 20;
constexpr int kSuccessMessage = 34;
constexpr int kConfirmation = 53;
constexpr int kConfirmationCaption = 55;
constexpr int kFailedDeletionPrefix = 58;
constexpr int kRegistryStatus = 69;
constexpr int kAssociationsStatus = 70;
constexpr int kFontsStatus = 67;
constexpr int kFilesStatus = 68;
constexpr int kRestartQuestion = 74;

struct UninstallRun {
  UninstallRegistration registration;
  UninstallDataContent data;
  InstalledFileSet deletedFiles;
  std::vector<std::string> folders;  // the folders the installation created
};

void ShowStatus(int number) {
  MarkStatusTime();
  SetStatusText(LocalizedString(number));
}

bool IsAutomatic() { return Settings().automaticMode; }

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
  Settings().stream.DialogCaption = data.dialogCaption;
}

bool ReadUninstallData(UninstallRun& run) {
  const std::string path = UninstallDataFilePath(Settings().uninstallDataFolder);
  UninstallDataFileRead read = ReadUninstallDataFile(path);
  if (!read.ok) {
    ShowError(tl::Format(kUninstallDataUnreadableMessage, Settings().displayName.c_str(), path.c_str(),
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

void Confirm() {
  if (IsAutomatic()) return;
  if (!AskYesNo(LocalizedString(kConfirmation), LocalizedString(kConfirmationCaption))) ExitInstaller(1);
}

void RunUninstallBatch(UninstallRun& run, const char* valueName, int hideFlag) {
  tl::RegistryKey& key = run.registration.key;
  const std::string text = key.ReadText(valueName);
  if (text.empty()) return;
  const InstallSettings& settings = Settings();
  RunBatch(BatchRequest{settings.installLocation, settings.stream.Flag(hideFlag), text, ""});
  key.DeleteValue(valueName);
}

void NotifyAssociationsChanged() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

void DeleteInstallLog() {
  if (Settings().stream.Flag(kFlagKeepInstallLog)) return;
  ::DeleteFileW(tl::ToWide(tl::JoinPath(Settings().uninstallDataFolder, "Install.LOG")).c_str());
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
  InstallSettings& settings = Settings();
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
    AppendFailureFormat("%s %s\r\n", LocalizedString(kFailedDeletionPrefix).c_str(), line.c_str());
    settings.uninstallData.RecordPath(line, UninstallPathKind::kFile);
  }
}

void DeleteThumbnailCache(const std::string& folder) {
  ::DeleteFileW(tl::ToWide(tl::JoinPath(folder, "thumbs.db")).c_str());
}

bool RemoveEmptyFolder(const std::string& folder) { return ::RemoveDirectoryW(tl::ToWide(folder).c_str()) != 0; }

// Deepest first; each removed folder's parents follow while they are empty,
// up to the install folder, which the self-removal takes at the very end.
void RemoveFolders(UninstallRun& run) {
  const InstallSettings& settings = Settings();
  std::stable_sort(run.folders.begin(), run.folders.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (std::string folder : run.folders) {
    while (!folder.empty() && !tl::EqualsNoCase(tl::TrimTrailingBackslashes(folder),
                                                tl::TrimTrailingBackslashes(settings.installLocation))) {
      DeleteThumbnailCache(folder);
      if (!RemoveEmptyFolder(folder)) break;
      folder = tl::FolderOfPath(tl::TrimTrailingBackslashes(folder));
    }
  }
  DeleteThumbnailCache(settings.installLocation);
  DeleteThumbnailCache(settings.uninstallDataFolder);
}

// What a later run still has to do: the files that stayed, the strings, the
// programs to close, the packages that stayed, the registry definitions and
// the deletion rules.
void RewriteUninstallData(UninstallRun& run, const std::vector<std::string>& packagesLeft) {
  InstallSettings& settings = Settings();
  UninstallDataContent left;
  left.paths = settings.uninstallData.pathLines();
  left.strings = run.data.strings;
  left.dialogCaption = run.data.dialogCaption;
  left.closeList = run.data.closeList;
  left.msi = packagesLeft;
  left.registry2 = run.data.registry2;
  left.deleteList = run.data.deleteList;
  uint32_t error = 0;
  WriteUninstallDataFile(UninstallDataFilePath(Settings().uninstallDataFolder), left, error);
  settings.uninstallData.ClearPaths();
}

void RemoveStartMenuFolder(UninstallRun& run) {
  const std::string& relative = run.registration.productStartMenu;
  if (relative.empty()) return;
  const bool allUsers = Settings().stream.ShortcutMode == 1;
  std::string folder =
      tl::JoinPath(PathVariableValue(allUsers ? PathVariable::kSMProgramsAllDir : PathVariable::kSMProgramsDir),
                   relative);
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
  InstallSettings& settings = Settings();
  ::DeleteFileW(tl::ToWide(UninstallDataFilePath(Settings().uninstallDataFolder)).c_str());
  if (settings.stream.Flag(kFlagAddToPath)) {
    const std::string message = RemoveInstallFolderFromPath();
    if (!message.empty() && !IsAutomatic()) ShowError(message);
  }
  RunUninstallBatch(run, "UninstallBatch2", kFlagHideUninstallBatch2);
  run.registration.key.Close();
  tl::RegistryKey parent;
  if (parent.Open(HKEY_LOCAL_MACHINE, kUninstallKeyPath, tl::kRegOpenExistingOnly, tl::kRegAccessDelete) !=
      tl::RegOpenResult::kFailed)
    parent.DeleteKey(settings.stream.UninstallKeyName, 0);
}

void UndoInstallation(UninstallRun& run) {
  InstallSettings& settings = Settings();
  RunUninstallBatch(run, "UninstallBatch1", kFlagHideUninstallBatch1);

  ShowStatus(kAssociationsStatus);
  SetProgress(1);
  RemoveAssociations(run.data.associations);
  NotifyAssociationsChanged();
  WaitStatusTime(kPhasePauseMs);

  ShowStatus(kFontsStatus);
  SetProgress(3);
  RemoveFonts(run.registration);

  ShowStatus(kFilesStatus);
  SetProgress(5);
  DeleteInstallLog();
  ReleaseSharedFiles(run.registration);
  const std::vector<std::string> packagesLeft = RemovePackages(run.data.msi);

  SetProgress(10);
  settings.uninstallData.ClearPaths();
  RemoveFiles(run);
  SetProgress(92);
  PruneRestartRenames(run.deletedFiles, false);
  SetProgress(93);
  RemoveFolders(run);
  RewriteUninstallData(run, packagesLeft);
  RemoveStartMenuFolder(run);
  WaitStatusTime(kPhasePauseMs);

  ShowStatus(kRegistryStatus);
  SetProgress(95);
  RemoveRegistryEntries(run.registration, run.data);
  SetProgress(96);
  RemoveFirewallExceptions(run.data.firewall);
  SetProgress(97);
  RemoveDriverPackages(run.data.inf);
  RemoveInstallTree();
  SetProgress(98);
  RemoveSharedFolder(run);
  if (settings.failureSummary.empty()) RemoveRegistration(run);

  run.registration.key.Close();
  RefreshDesktopFolder();
  SetProgress(100);
  RestoreFileRedirection(settings);
  if (settings.stream.Flag(kFlagCloseProgressAtEnd)) WaitStatusTime(kPhasePauseMs);
}

bool ReportOutcome() {
  InstallSettings& settings = Settings();
  if (!settings.failureSummary.empty()) {
    if (!IsAutomatic())
      ShowRunMessageBox(LocalizedFormat(kFailureMessage, {settings.failureSummary}), LocalizedString(kFailureCaption),
                        MB_OK | MB_ICONWARNING);
    return false;
  }
  if (!IsAutomatic())
    ShowRunMessageBox(LocalizedString(kSuccessMessage), LocalizedString(kSuccessCaption), MB_OK | MB_ICONINFORMATION);
  if (settings.stream.Flag(kFlagRestartAfterUninstall)) {
    if (IsAutomatic() || AskYesNo(LocalizedString(kRestartQuestion), LocalizedString(kFailureCaption)))
      RestartComputer();
  }
  return true;
}

}  // namespace

bool UninstallProduct(const std::string& keyName) {
  InstallSettings& settings = Settings();
  UninstallRun run;
  std::string message;
  if (!LoadUninstallRegistration(keyName, run.registration, message)) {
    ShowError(message);
    return false;
  }
  if (settings.stream.Bitness == 1) {
    SwitchOffFileRedirection(settings);
    if (!settings.wow64RedirectionOff) tl::FatalMessage("Wow64DisableWow64FsRedirection() failed");
  }
  if (!ReadUninstallData(run)) return false;
  ClosePrograms(ClosePass(run.data.closeList, false), kConfirmationCaption);
  Confirm();
  ClosePrograms(ClosePass(run.data.closeList, true), kConfirmationCaption);
  UndoInstallation(run);
  return ReportOutcome();
}

}  // namespace setup
