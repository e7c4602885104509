#pragma once
// The install run from the payload to the first file: the language, the
// start checks, the earlier installation, and the pages that settle the
// folders, in their order. An automatic run takes the defaults.
#include "setup/run/run_state.h"

namespace setup {

// On return InstallLocation, the Start Menu folder, the language and the
// kind of installation are settled. A cancel ends the run.
void RunWizard(RunState& run);

}  // namespace setup
