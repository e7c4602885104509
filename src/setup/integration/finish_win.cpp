#include "setup/integration/finish_win.h"

#include <windows.h>

#include "setup/run/file_redirection_win.h"
#include "setup/run/install_settings.h"
#include "setup/run/run_control_win.h"
#include "setup/integration/finish_actions_win.h"
#include "setup/integration/notification_address.h"
#include "setup/integration/notification_request_win.h"
#include "setup/integration/restart_win.h"
#include "setup/integration/restore_point_win.h"
#include "setup/report/install_log_win.h"
#include "setup/strings/string_table.h"
#include "setup/ui/progress_win.h"
#include "setup/integration/installation_uninstall_data_win.h"
#include "setup/vars/batch_runner_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

constexpr int kFinishingStatus = 36;

void RequestInstallationNotification() {
  const InstallSettings& run = Settings();
  const std::string& address = NotificationAddressForKind(run.stream, run.upgrade, run.downgrade, run.reinstall || run.installedBefore);
  if (!address.empty()) RequestNotificationAddress(address, run.stream.DisplayVersion);
}

void RemoveFolderIfEmpty(const std::string& folder) {
  if (!folder.empty()) ::RemoveDirectoryW(tl::ToWide(folder).c_str());
}

// An installation that placed nothing leaves no folders behind.
void RemoveEmptyFolders() {
  const InstallSettings& run = Settings();
  RemoveFolderIfEmpty(run.stream.SharedPath);
  RemoveFolderIfEmpty(run.uninstallDataFolder);
  RemoveFolderIfEmpty(run.installLocation);
}

}  // namespace

void FinishInstallation() {
  InstallSettings& run = Settings();
  WriteRebootMarker();
  WaitStatusTime(run.stream.ProgressPause);
  MarkStatusTime();
  SetStatusText(LocalizedString(kFinishingStatus));
  SetProgress(100);
  WriteInstallationUninstallData();
  RunPostInstallationBatch();
  RequestInstallationNotification();
  RefreshDesktopFolder();
  CommitRestorePoint();
  WaitStatusTime(run.stream.ProgressPause);
  if (!run.runAfterInstall.empty()) AppendLogFormat("Launch on exit: %s\r\n", run.runAfterInstall.c_str());
  WriteInstallLog(run.reinstall, true, run.failureSummary);
  const bool restart = AskForRestart();
  RunInstallationExitBatch();
  RemoveEmptyFolders();
  RestoreFileRedirection(run);
  if (restart)
    RestartComputer();
  else
    RunFinishLaunches(FinishChoices{});
  ExitInstaller(1);
}

}  // namespace setup
