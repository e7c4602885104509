#include "setup/folders/install_folder_win.h"

#include <windows.h>

#include <string>

#include "setup/run/run_control_win.h"
#include "setup/folders/start_checks_win.h"
#include "tl_core/version_order.h"
#include "setup/record/uninstall_entry.h"
#include "setup/strings/string_table.h"
#include "setup/folders/install_folder.h"
#include "setup/vars/must_uninstall_batch_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "setup/folders/folder_choice_win.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/fatal.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/path_text.h"
#include "tl_core/registry_key_win.h"
#include "tl_core/system_folders_win.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

std::string ReadRegistryValue(std::string_view valuePath) {
  RegistryValuePath split = SplitRegistryValuePath(valuePath);
  std::string key = split.key.rfind('\\', 0) == 0 ? split.key : "\\" + split.key;
  tl::RegistryKey registry;
  if (registry.OpenPath(key, tl::kRegOpenExistingOnly, KEY_READ) == tl::RegOpenResult::kFailed) return {};
  return registry.ReadText(split.value);
}

std::string PlacedSharedFolder(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  if (!run.product.Flag(kFlagHasUninstaller)) return settings.SharedPath;
  const char* baseVariable = settings.SharedBase == kSharedBaseAllUsers ? "%AppDataAllDir%" : "%CommonDir%";
  std::string base = PathVariablesExpanded(run, baseVariable);
  if (run.product.Is64Bit()) base = Without32BitSuffix(base, false);
  return tl::MakeAbsolutePath(settings.SharedPath, base);
}

std::string FolderFromRegistryValue(const std::string& reference) {
  std::string folder = ReadRegistryValue(reference);
  if (folder.empty()) tl::FatalMessage("Failed to obtain installation directory from \"%s\"", reference.c_str());
  if (!tl::FolderExists(folder))
    tl::FatalMessage("Installation directory \"%s\" obtained from \"%s\" does not exist.", folder.c_str(),
                     reference.c_str());
  return folder;
}

void AskAboutEarlierInstallation(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  const EarlierInstallation& earlier = run.earlier;
  if (run.automaticMode || run.product.Flag(kFlagNoReinstallQuestion)) return;
  const int noticeNumber =
      EarlierInstallationNotice(earlier, settings.DisplayVersion, run.product.Flag(kFlagCompareVersions));
  std::string notice = LocalizedString(noticeNumber) + "\r\n" + earlier.location + "\r\n\r\n" +
                       LocalizedString(kStringInstallOverQuestion);
  if (!AskYesNo(notice, LocalizedString(kStringEarlierInstallationCaption))) CancelInstallation();
  const std::string& oldestUpgradable = settings.UpgradeVersion1;
  if (run.product.Flag(kFlagAskBeforeOldUpgrade) && !earlier.version.empty() &&
      (oldestUpgradable.empty() || tl::CompareVersionTexts(earlier.version, oldestUpgradable) < 0) &&
      !AskOkCancel(LocalizedString(kStringOldVersionQuestion), LocalizedString(kStringQuestionCaption)))
    ExitInstaller(1);
}

// The uninstall command of the earlier installation, or an end with string 9.
std::string EarlierUninstallCommand(const RunState& run) {
  tl::RegistryKey entry;
  std::string command;
  if (entry.Open(HKEY_LOCAL_MACHINE, UninstallEntryKey(run.product.stream.UninstallKeyName),
                 tl::kRegOpenExistingOnly, KEY_READ) != tl::RegOpenResult::kFailed) {
    command = entry.ReadText("QuietUninstallString");
    if (command.empty()) command = entry.ReadText("UninstallString");
  }
  if (command.empty()) {
    ShowStopMessage(LocalizedString(kStringMustUninstall));
    ExitInstaller(1);
  }
  return command;
}

// The earlier installation goes first: its uninstaller runs from a batch
// that then starts this installation again. The run ends here either way.
[[noreturn]] void RemoveEarlierInstallationFirst(RunState& run) {
  run.automaticMode = false;
  SetInteraction(InteractionOf(run));
  const std::string command = EarlierUninstallCommand(run);
  if (ShowMustUninstallPage(run)) {
    if (tl::Result<std::string> started = StartMustUninstallBatch(command); !started)
      ShowError(LocalizedString(kStringFileNotInstalled) + "\r\n" + tl::SystemErrorText(started.error()));
  }
  ExitInstaller(1);
}

}  // namespace

void ResolveConfiguredFolders(RunState& run) {
  const SettingsStream& settings = run.product.stream;
  run.folders.sharedFolder = PlacedSharedFolder(run);
  run.folders.startMenuFolder = settings.ProductStartMenu;
  const std::string& folderTemplate = settings.InstallDirTemplate;
  std::string expandedTemplate =
      folderTemplate.empty() ? "" : PathVariablesExpanded(run, ReplaceOsFolder(folderTemplate, tl::WindowsFolder()));
  std::string programs = PathVariablesExpanded(run, "%ProgramsDir%");
  if (run.product.Is64Bit()) programs = Without32BitSuffix(programs, true);
  run.folders.proposedInstallFolder = ProposedInstallFolder(expandedTemplate, run.product.displayName, programs);
}

EarlierInstallation FindEarlierInstallation(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  EarlierInstallation earlier;
  if (!run.product.Flag(kFlagHasUninstaller)) return earlier;
  tl::RegistryKey entry;
  if (entry.Open(HKEY_LOCAL_MACHINE, UninstallEntryKey(settings.UninstallKeyName), tl::kRegOpenExistingOnly,
                 KEY_READ) != tl::RegOpenResult::kFailed) {
    earlier.location = entry.ReadText("InstallLocation");
    earlier.version = entry.ReadText("DisplayVersion");
    earlier.sharedFiles = entry.ReadText("SharedFiles");
    earlier.startMenuFolder = entry.ReadText("ProductStartMenu");
  }
  if (earlier.location.empty() && !settings.LocationRegistryPath.empty())
    earlier.location = ReadRegistryValue(settings.LocationRegistryPath);
  earlier.found = !earlier.location.empty() && tl::FolderExists(earlier.location);
  earlier.kind = KindOfInstallation(earlier.found, earlier.version, settings.DisplayVersion);
  return earlier;
}

void SettleInstallFolder(RunState& run) {
  const std::string& proposed = run.folders.proposedInstallFolder;
  std::string folder = IsMasterFolderReference(proposed) ? RequiredProductFolder(run) : proposed;
  if (IsRegistryFolderReference(folder)) {
    run.folders.installLocation = FolderFromRegistryValue(folder);
    return;
  }
  if (run.product.Flag(kFlagHasUninstaller) && run.earlier.found) {
    if (run.product.Flag(kFlagMustUninstallFirst) &&
        MustRemoveEarlierFirst(run.earlier.version, run.product.stream.UpgradeVersion2))
      RemoveEarlierInstallationFirst(run);
    AskAboutEarlierInstallation(run);
    run.folders.installLocation = run.earlier.location;
    return;
  }
  if (run.folders.installLocation.empty()) run.folders.installLocation = folder;
  if (!run.automaticMode && run.product.Flag(kFlagFolderPage)) {
    ChooseInstallFolder(run);
    return;
  }
  if (uint32_t error = CreateInstallFolder(run, run.folders.installLocation))
    ShowError(CannotCreateText(run.folders.installLocation, error));
}

}  // namespace setup
