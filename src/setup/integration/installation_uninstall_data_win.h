#pragma once
// What an installation leaves for its uninstaller in "Uninstall.DAT".
#include "setup/record/uninstall_data_text.h"
#include "setup/run/run_state.h"

namespace setup {

// The recorded paths, the uninstaller's strings in the chosen language, the
// programs to close at uninstallation, the registry definitions and the
// deletion rules.
UninstallDataContent InstallationUninstallData(const RunState& run);

// The finish step: writes the file when the run keeps an uninstaller; a
// failure counts as a failed file write.
void WriteInstallationUninstallData(RunState& run);

}  // namespace setup
