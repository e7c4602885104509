#include "setup/entry/install_run_win.h"

#include "setup/entry/install_settings.h"
#include "setup/entry/run_control_win.h"
#include "setup/entry/start_checks_win.h"
#include "setup/files/extraction_win.h"
#include "setup/integration/integration_win.h"
#include "setup/report/install_log_win.h"
#include "setup/ui/install_folder_win.h"
#include "setup/ui/progress_win.h"
#include "setup/vars/batch_runner_win.h"

namespace setup {
namespace {

// Earlier installations, then the folders. The pages of an interactive run
// (language, greeting, password, license, readme, folder, start menu) come
// with the wizard; an automatic run takes the defaults.
void SettleFolders() {
  ResolveConfiguredFolders();
  DetectPreviousInstallation();
  SettleInstallFolder();
}

void Integrate(const ExtractionLists& lists) {
  CreateShortcuts(lists);
  WriteRegistryEntries();
  InstallAssociations();
  AddFirewallExceptions();
  SetProgress(99);
  WriteUninstallerFile();
  WriteUninstallRegistration(lists);
  WriteInstallDirValue();
}

[[noreturn]] void Finish() {
  InstallSettings& run = Settings();
  SetProgress(100);
  WriteRebootMarker();
  WriteUninstallDataFile();
  RunPostInstallationBatch();
  StartNotificationRequest();
  CommitRestorePoint();
  WriteInstallLog(run.reinstall, true, run.failureSummary);
  AskForRestart();
  RunInstallationExitBatch();
  RemoveEmptyFolders();
  RunFinishActions();
  ExitInstaller(1);
}

}  // namespace

void RunInstallation() {
  RunStartChecks();
  SettleFolders();
  OpenInstallLog();
  CreateRestorePoint();
  ExtractionLists lists;
  ExtractFiles(lists);
  Integrate(lists);
  Finish();
}

}  // namespace setup
