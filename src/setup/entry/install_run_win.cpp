#include "setup/entry/runs_win.h"

#include "setup/files/extraction_win.h"
#include "setup/integration/finish_win.h"
#include "setup/integration/integration_win.h"
#include "setup/integration/restore_point_win.h"
#include "setup/integration/uninstall_record_win.h"
#include "setup/integration/uninstaller_file_win.h"
#include "setup/payload/product_flags.h"
#include "setup/report/install_log_win.h"
#include "setup/run/file_redirection_win.h"
#include "setup/run/settings_defaults.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/background_look.h"
#include "setup/ui/background_window_win.h"
#include "setup/ui/progress_dialog_win.h"
#include "setup/ui/progress_win.h"
#include "setup/run/run_control_win.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/integration/background_bitmap_win.h"
#include "setup/wizard/wizard_win.h"

namespace setup {
namespace {

// The run as the payload and the command line start it.
void StartRun(RunState& run, LoadedPayload& loaded, const ProcessFacts& process) {
  const ProductSettings& product = run.product;
  run.process = process;
  run.payload = std::move(loaded.payload);
  run.uninstaller = std::move(loaded.uninstaller);
  run.automaticMode = AutomaticModeOf(run.options.automaticMode, product.stream.AutomaticModeSetting);
  run.showsWindows = RunShowsWindows(run.automaticMode, product.stream.AutomaticModeSetting == kAutomaticModeAlways);
  run.folders.installLocation = run.options.installLocation;
  // A 64-bit product: 32-bit file-system redirection goes off at once; a
  // failure is reported by the bitness check.
  if (product.Is64Bit()) SwitchOffFileRedirection(run.redirection);
  SetInteraction(InteractionOf(run));
  // The whole look, now that the settings and the strings are read.
  SetBackgroundLook(BackgroundLookOf(product, LocalizedString(kStringSetupTitle)));
}

// A cancel lists the files it could not give back in "Install.LOG".
void ReportReplacedFilesOnCancel(const RunState& run) {
  SetCancelReport([&run] { WriteCancelledInstallLog(run, ReplacedFiles()); });
}

void Integrate(RunState& run, const ExtractionLists& lists) {
  // What follows changes the system in ways a cancel could not take back.
  DisableProgressCancel();
  CreateShortcuts(lists);
  WriteBackgroundBitmap(run);
  WriteRegistryEntries();
  InstallAssociations();
  AddFirewallExceptions();
  SetProgress(99);
  if (!run.WantsUninstaller()) {
    WriteInstallDirValue(run);
    return;
  }
  WriteUninstaller(run);
  // The installed-fonts and shared-file lists come with font registration
  // and shared counts; until then the registration carries neither.
  WriteUninstallRecord(run, "", "");  // also writes the installation-directory value
}

}  // namespace

void RunInstallation(LoadedPayload loaded, const ProcessFacts& process, const CommandLineOptions& options) {
  const ProductSettings product = std::move(loaded.product);
  RunState run(product, options);
  StartRun(run, loaded, process);
  RunWizard(run);
  OpenProgressDialog(run);
  // Without a temporary log the steps' lines are dropped; the run goes on.
  static_cast<void>(OpenInstallLog());
  ReportReplacedFilesOnCancel(run);
  OpenRestorePoint(run);
  const ExtractionLists lists = ExtractFiles(run);
  Integrate(run, lists);
  FinishInstallation(run);
}

}  // namespace setup
