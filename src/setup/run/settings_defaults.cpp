#include "setup/run/settings_defaults.h"

#include "setup/strings/string_table.h"

namespace setup {
namespace {

void ApplyAutomaticMode(InstallSettings& run) {
  if (run.stream.AutomaticModeSetting == 1) run.automaticMode = true;
  if (run.stream.AutomaticModeSetting == 2) run.automaticMode = false;
}

void ApplyNames(InstallSettings& run) {
  SettingsStream& s = run.stream;
  if (run.displayName.empty()) run.displayName = s.ProductName;
  if (s.Description.empty()) s.Description = run.displayName;
  if (s.SharedPath.empty()) s.SharedPath = s.Publisher.empty() ? run.displayName : s.Publisher;
  if (s.ProductStartMenu.empty())
    s.ProductStartMenu = s.Publisher.empty() ? run.displayName : s.Publisher + "\\" + run.displayName;
  if (s.UninstallKeyName.empty()) s.UninstallKeyName = run.displayName;
  if (run.uninstallKeyName.empty()) run.uninstallKeyName = s.UninstallKeyName;
}

bool OlderThanVersion6(const SystemVersion& system) { return system.major < 6 && !system.countsAsVersion6; }

}  // namespace

void ApplySettingsDefaults(InstallSettings& run, const SystemVersion& system, const std::string& windowsFolder) {
  ApplyAutomaticMode(run);
  ApplyNames(run);
  run.monoColor = run.stream.TopColor == run.stream.BottomColor;
  if (OlderThanVersion6(system)) run.stream.ProductFlags2 &= ~(1u << kFlag2NewSystemsOnly);
  run.stream.DialogCaption =
      ReplacePlaceholders(run.stream.DialogCaption, {run.displayName, run.stream.Description, windowsFolder});
}

}  // namespace setup
