#pragma once
// Generated batch files: written as "SETUPBAT.BAT" in the working folder,
// run through the command interpreter, optionally captured into the log.
#include "setup/vars/batch_plan.h"

namespace setup {

// A batch that cannot be written or started is reported in an error box
// (none in automatic mode) and the run goes on; captured output goes to the
// InstallLog.
void RunBatch(const RunState& run, const BatchRequest& request);

// The batches of an installation, each with its command-line appendix,
// hidden flag and display name from the settings.
void RunPreInstallationBatches(const RunState& run);  // Pre-Installation, then Upgrade and Reinstall when they apply
void RunPostInstallationBatch(const RunState& run);
void RunInstallationExitBatch(const RunState& run);

}  // namespace setup
