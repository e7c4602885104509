#include "setup/integration/finish_win.h"

#include <windows.h>

#include "setup/integration/finish_actions_win.h"
#include "setup/integration/installation_uninstall_data_win.h"
#include "setup/integration/notification_address.h"
#include "setup/integration/notification_request_win.h"
#include "setup/integration/restart_win.h"
#include "setup/integration/restore_point_win.h"
#include "setup/report/install_log_win.h"
#include "setup/run/file_redirection_win.h"
#include "setup/run/run_control_win.h"
#include "setup/strings/string_table.h"
#include "setup/ui/progress_dialog_win.h"
#include "setup/ui/progress_win.h"
#include "setup/vars/batch_runner_win.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

void RequestInstallationNotification(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  const InstallationKind kind = run.earlier.kind;
  const std::string& address =
      NotificationAddressForKind(settings, kind == InstallationKind::kUpgrade, kind == InstallationKind::kDowngrade,
                                 kind == InstallationKind::kReinstall);
  if (!address.empty()) RequestNotificationAddress(address, settings.DisplayVersion);
}

void RemoveFolderIfEmpty(const std::string& folder) {
  if (!folder.empty()) ::RemoveDirectoryW(tl::ToWide(folder).c_str());
}

// An installation that placed nothing leaves no folders behind.
void RemoveEmptyFolders(const RunFolders& folders) {
  RemoveFolderIfEmpty(folders.sharedFolder);
  RemoveFolderIfEmpty(folders.uninstallDataFolder);
  RemoveFolderIfEmpty(folders.installLocation);
}

}  // namespace

void FinishInstallation(RunState& run) {
  const unsigned pause = run.product.stream.ProgressPause;
  WriteRebootMarker(run);
  WaitStatusTime(pause);
  MarkStatusTime();
  SetStatusText(LocalizedString(kStringFinishingStatus));
  SetProgress(100);
  WriteInstallationUninstallData(run);
  RunPostInstallationBatch(run);
  RequestInstallationNotification(run);
  RefreshDesktopFolder(run);
  CommitRestorePoint(run);
  WaitStatusTime(pause);
  // The summary page and the outcome come without it.
  CloseProgressDialog();
  if (!run.options.runAfterInstall.empty())
    InstallLog().AppendFormat("Launch on exit: %s\r\n", run.options.runAfterInstall.c_str());
  // Any earlier installation makes this one a reinstallation in the log,
  // whether it was older, newer or of the same version.
  const FinishChoices chosen = WriteInstallLog(run, run.earlier.kind != InstallationKind::kNew, true);
  const bool restart = AskForRestart(run);
  RunInstallationExitBatch(run);
  RemoveEmptyFolders(run.folders);
  RestoreFileRedirection(run.redirection);
  // A refused restart leaves the computer as it is; the run ends either way.
  if (restart)
    static_cast<void>(RestartComputer());
  else
    RunFinishLaunches(run, chosen);
  ExitInstaller(1);
}

}  // namespace setup
