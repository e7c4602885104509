#include "setup/entry/runs_win.h"

#include "setup/integration/background_bitmap_win.h"
#include "setup/integration/notification_request_win.h"
#include "setup/run/settings_defaults.h"
#include "setup/payload/product_flags.h"
#include "setup/run/own_file_win.h"
#include "setup/run/run_control_win.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/uninstall/self_removal_win.h"
#include "setup/uninstall/uninstall_run_win.h"
#include "tl_core/path_text.h"

namespace setup {
namespace {

// The run as the registration starts it: the uninstall data folder beside
// the installation, automatic when /a or the product asks for it.
void StartRun(RunState& run, const ProcessFacts& process, const UninstallRegistration& registration) {
  run.process = process;
  run.automaticMode = run.options.automaticMode || run.product.Flag(kFlagSilentUninstall);
  run.showsWindows = RunShowsWindows(run.automaticMode, run.product.Flag(kFlagSilentUninstall));
  run.folders.installLocation = registration.installLocation;
  run.folders.uninstallDataFolder = tl::JoinPath(registration.installLocation, run.product.stream.UninstallSubdir);
  SetInteraction(InteractionOf(run));
}

// After a complete removal the product's address is told, and the
// uninstaller has its own file deleted once the process has ended.
void FinishUninstallation(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  if (!settings.NotifyURL.empty()) RequestNotificationAddress(settings.NotifyURL, settings.DisplayVersion);
  StartSelfRemoval(run, ModuleFileName());
}

}  // namespace

void RunUninstallation(const ProcessFacts& process, const CommandLineOptions& options) {
  SetInteraction({options.automaticMode, true, false});
  ProductSettings product;
  product.displayName = options.displayName;
  UninstallRegistration registration;
  std::string message;
  if (!LoadUninstallRegistration(options.uninstallKeyName, product, registration, message)) {
    ShowError(message);
    ExitInstaller(0);
  }
  // The bitmap the installation left for the uninstaller's background.
  if (product.Flag(kFlagUninstallerBackground))
    product.stream.Bitmap =
        ReadBackgroundBitmap(tl::JoinPath(registration.installLocation, product.stream.UninstallSubdir));
  RunState run(product, options);
  StartRun(run, process, registration);
  if (UninstallProduct(run, registration)) FinishUninstallation(run);
  ExitInstaller(0);
}

}  // namespace setup
