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
#include "setup/ui/progress_win.h"
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
  run.folders.installLocation = run.options.installLocation;
  // A 64-bit product: 32-bit file-system redirection goes off at once; a
  // failure is reported by the bitness check.
  if (product.Is64Bit()) SwitchOffFileRedirection(run.redirection);
  SetInteraction(InteractionOf(run));
}

void Integrate(RunState& run, const ExtractionLists& lists) {
  CreateShortcuts(lists);
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
  // Without a temporary log the steps' lines are dropped; the run goes on.
  static_cast<void>(OpenInstallLog());
  OpenRestorePoint(run);
  const ExtractionLists lists = ExtractFiles(run);
  Integrate(run, lists);
  FinishInstallation(run);
}

}  // namespace setup
