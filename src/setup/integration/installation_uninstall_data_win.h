#pragma once
// What an installation leaves for its uninstaller in "Uninstall.DAT".
#include "setup/record/uninstall_data_text.h"

namespace setup {

// The recorded paths, the uninstaller's strings in the chosen language, the
// programs to close at uninstallation, the registry definitions and the
// deletion rules.
UninstallDataContent InstallationUninstallData();

// The finish step: writes the file when the product has an uninstaller; a
// failure counts as a failed file write.
void WriteInstallationUninstallData();

}  // namespace setup
