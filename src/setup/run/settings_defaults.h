#pragma once
// The defaults that reading the settings fills in: the values the command
// line did not set, the texts an author left empty, and the flags that
// depend on the running system.
#include "setup/run/install_settings.h"

namespace setup {

struct SystemVersion {
  int major = 0;
  int minor = 0;
  bool countsAsVersion6 = false;  // a 5.2 system the OS identification names as a 64-bit XP
};

// Applies the stream to the run: AutomaticModeSetting, DisplayName (a /n:
// name wins), Description, ProductStartMenu, UninstallKeyName, the name part
// of SharedPath, MonoColor, ProductFlags2 bit 10, and the placeholders of
// DialogCaption.
void ApplySettingsDefaults(InstallSettings& run, const SystemVersion& system, const std::string& windowsFolder);

}  // namespace setup
