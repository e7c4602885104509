#pragma once
// The two runs of the program, each to the end of the process.
#include "setup/run/run_state.h"
#include "setup/run/setup_payload_win.h"

namespace setup {

// Checks, folders, extraction, integration and the finish of an installation
// from the payload read.
[[noreturn]] void RunInstallation(LoadedPayload loaded, const ProcessFacts& process, const CommandLineOptions& options);

// /u:"name": the product's registration and "Uninstall.DAT" read back, the
// installation undone, the product's address told and the uninstaller's own
// removal started.
[[noreturn]] void RunUninstallation(const ProcessFacts& process, const CommandLineOptions& options);

}  // namespace setup
