#pragma once
// The system restore point around an installation: opened at the start of
// the file phase, committed at the finish. Both go through srclient.dll's
// SRSetRestorePointW, loaded on first use; failures are logged only and
// never fail the installation.
#include "setup/run/run_state.h"

namespace setup {

// With ProductFlags2 bit 1: shows status string 97, logs "Creating restore
// point..." and its outcome, and keeps the sequence number in the run. A
// failure withdraws the run's restore point, so the finish tries no commit.
void OpenRestorePoint(RunState& run);

// While the run still wants its restore point: ends the system change of
// the kept sequence number and forgets it. Logs "Failed to commit restore
// point." when there is no number, no library or the call fails.
void CommitRestorePoint(RunState& run);

}  // namespace setup
