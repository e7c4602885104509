#pragma once
// The restart that ends an installation which asked for one.
#include "setup/run/run_state.h"
#include "tl_core/result.h"

namespace setup {

// The restart decision of the finish applied: string 37 asked as a Yes/No
// question with caption 20 when a question is due (see DecideRestart).
[[nodiscard]] bool AskForRestart(const RunState& run);

// Enables SeShutdownPrivilege and asks the system to restart (planned,
// application, installation). The call returns at once; the system then
// ends the session's programs, this one included. The system's error code
// when it refused.
tl::Status RestartComputer();

}  // namespace setup
