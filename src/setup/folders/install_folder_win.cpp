#include "setup/folders/install_folder_win.h"

#include <windows.h>

#include <string>

#include "setup/run/install_settings.h"
#include "setup/run/run_control_win.h"
#include "setup/folders/start_checks_win.h"
#include "tl_core/version_order.h"
#include "setup/record/uninstall_entry.h"
#include "setup/strings/string_table.h"
#include "setup/folders/install_folder.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/fatal.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/path_text.h"
#include "tl_core/registry_key_win.h"
#include "tl_core/system_folders_win.h"

namespace setup {
namespace {

constexpr int kFlagNoReinstallQuestion = 28;
constexpr int kFlagCompareVersions = 36;
constexpr int kFlagAskBeforeOldUpgrade = 44;
constexpr int kFlagAllUsersSharedBase = 1;


std::string ReadRegistryValue(std::string_view valuePath) {
  RegistryValuePath split = SplitRegistryValuePath(valuePath);
  std::string key = split.key.rfind('\\', 0) == 0 ? split.key : "\\" + split.key;
  tl::RegistryKey registry;
  if (registry.OpenPath(key, tl::kRegOpenExistingOnly, KEY_READ) == tl::RegOpenResult::kFailed) return {};
  return registry.ReadText(split.value);
}

void PlaceSharedPath(InstallSettings& run) {
  if (!run.stream.Flag(kFlagHasUninstaller)) return;
  const char* baseVariable = run.stream.SharedBase == kFlagAllUsersSharedBase ? "%AppDataAllDir%" : "%CommonDir%";
  std::string base = PathVariablesExpanded(baseVariable);
  if (run.stream.Bitness == 1) base = Without32BitSuffix(base, false);
  run.stream.SharedPath = tl::MakeAbsolutePath(run.stream.SharedPath, base);
}

void SettleFromRegistryValue(const std::string& reference) {
  std::string folder = ReadRegistryValue(reference);
  if (folder.empty()) tl::FatalMessage("Failed to obtain installation directory from \"%s\"", reference.c_str());
  if (!tl::FolderExists(folder))
    tl::FatalMessage("Installation directory \"%s\" obtained from \"%s\" does not exist.", folder.c_str(),
                     reference.c_str());
  Settings().installLocation = folder;
}

// The notice about the earlier installation: 3 installed, 4 same version,
// 5 upgrade, 6 downgrade.
int PreviousInstallationNotice(const InstallSettings& run) {
  if (!run.stream.Flag(kFlagCompareVersions) || run.oldVersion.empty() || run.stream.DisplayVersion.empty()) return 3;
  if (run.reinstall) return 4;
  return run.upgrade ? 5 : 6;
}

void AskAboutPreviousInstallation(const InstallSettings& run) {
  if (run.automaticMode || run.stream.Flag(kFlagNoReinstallQuestion)) return;
  std::string notice = LocalizedString(PreviousInstallationNotice(run)) + "\r\n" + run.previousInstallLocation +
                       "\r\n\r\n" + LocalizedString(7);
  if (!AskYesNo(notice, LocalizedString(2))) CancelInstallation();
  const std::string& oldestUpgradable = run.stream.UpgradeVersion1;
  if (run.stream.Flag(kFlagAskBeforeOldUpgrade) && !run.oldVersion.empty() &&
      (oldestUpgradable.empty() || CompareVersionTexts(run.oldVersion, oldestUpgradable) < 0) &&
      !AskOkCancel(LocalizedString(72), LocalizedString(20)))
    ExitInstaller(1);
}

void CreateInstallFolder(const std::string& folder) {
  if (uint32_t error = tl::CreateFolderWithParents(folder))
    ShowError(LocalizedString(25) + "\r\n" + folder + "\r\n\r\n" + tl::SystemErrorText(error));
}

}  // namespace

void ResolveConfiguredFolders() {
  InstallSettings& run = Settings();
  PlaceSharedPath(run);
  const std::string& folderTemplate = run.stream.InstallDirTemplate;
  std::string expandedTemplate =
      folderTemplate.empty() ? "" : PathVariablesExpanded(ReplaceOsFolder(folderTemplate, tl::WindowsFolder()));
  std::string programs = PathVariablesExpanded("%ProgramsDir%");
  if (run.stream.Bitness == 1) programs = Without32BitSuffix(programs, true);
  run.proposedInstallFolder = ProposedInstallFolder(expandedTemplate, run.displayName, programs);
}

void DetectPreviousInstallation() {
  InstallSettings& run = Settings();
  if (!run.stream.Flag(kFlagHasUninstaller)) return;
  tl::RegistryKey entry;
  if (entry.Open(HKEY_LOCAL_MACHINE, UninstallEntryKey(run.stream.UninstallKeyName), tl::kRegOpenExistingOnly,
                 KEY_READ) != tl::RegOpenResult::kFailed) {
    run.previousInstallLocation = entry.ReadText("InstallLocation");
    run.oldVersion = entry.ReadText("DisplayVersion");
    std::string startMenu = entry.ReadText("ProductStartMenu");
    if (!startMenu.empty()) run.stream.ProductStartMenu = startMenu;
  }
  if (run.previousInstallLocation.empty() && !run.stream.LocationRegistryPath.empty())
    run.previousInstallLocation = ReadRegistryValue(run.stream.LocationRegistryPath);
  run.installedBefore = !run.previousInstallLocation.empty() && tl::FolderExists(run.previousInstallLocation);
  if (!run.installedBefore || run.oldVersion.empty() || run.stream.DisplayVersion.empty()) return;
  int order = CompareVersionTexts(run.oldVersion, run.stream.DisplayVersion);
  run.upgrade = order < 0;
  run.reinstall = order == 0;
  run.downgrade = order > 0;
}

void SettleInstallFolder() {
  InstallSettings& run = Settings();
  const std::string& proposed = run.proposedInstallFolder;
  std::string folder = IsMasterFolderReference(proposed) ? RequiredProductFolder() : proposed;
  if (IsRegistryFolderReference(folder)) {
    SettleFromRegistryValue(folder);
    return;
  }
  if (run.stream.Flag(kFlagHasUninstaller) && run.installedBefore) {
    // ProductFlags bit 0 (remove the earlier installation first) needs the
    // must-uninstall page, which comes with the wizard's pages.
    AskAboutPreviousInstallation(run);
    run.installLocation = run.previousInstallLocation;
    return;
  }
  if (run.installLocation.empty()) run.installLocation = folder;
  CreateInstallFolder(run.installLocation);
}

}  // namespace setup
