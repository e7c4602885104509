#pragma once
// After a complete uninstallation: "delunins.bat" written to the temporary
// folder and started hidden, so that the uninstaller's file and the empty
// folders of the installation go once this process has ended.
#include <string>

#include "setup/run/run_state.h"

namespace setup {

// Removes the run's installation folder and its uninstall subdirectory when
// they are empty. Returns at once; the caller then ends the process, which
// releases the uninstaller's file. Nothing is started when the batch cannot
// be written.
void StartSelfRemoval(const RunState& run, const std::string& uninstallerPath);

}  // namespace setup
