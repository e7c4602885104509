#pragma once
// The end of an installation: what it leaves for its uninstaller, the
// post-installation work, the outcome shown, restart or launches, and the
// end of the process.
#include "setup/run/run_state.h"

namespace setup {

[[noreturn]] void FinishInstallation(RunState& run);

}  // namespace setup
