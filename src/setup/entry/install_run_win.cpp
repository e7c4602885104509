#include "setup/entry/install_run_win.h"

#include "setup/run/install_settings.h"
#include "setup/folders/start_checks_win.h"
#include "setup/files/extraction_win.h"
#include "setup/integration/finish_win.h"
#include "setup/integration/integration_win.h"
#include "setup/integration/restore_point_win.h"
#include "setup/integration/uninstall_record_win.h"
#include "setup/integration/uninstaller_file_win.h"
#include "setup/report/install_log_win.h"
#include "setup/folders/install_folder_win.h"
#include "setup/ui/progress_win.h"

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
  if (!Settings().stream.Flag(kFlagHasUninstaller)) {
    WriteInstallDirValue();
    return;
  }
  WriteUninstaller();
  // The installed-fonts and shared-file lists come with font registration
  // and shared counts; until then the registration carries neither.
  WriteUninstallRecord("", "");  // also writes the installation-directory value
}

}  // namespace

void RunInstallation() {
  RunStartChecks();
  SettleFolders();
  OpenInstallLog();
  OpenRestorePoint();
  ExtractionLists lists;
  ExtractFiles(lists);
  Integrate(lists);
  FinishInstallation();
}

}  // namespace setup
