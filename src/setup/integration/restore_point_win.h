#pragma once
// The system restore point around an installation: opened at the start of
// the file phase, committed at the finish. Both go through srclient.dll's
// SRSetRestorePointW, loaded on first use; failures are logged only and
// never fail the installation.
namespace setup {

// With ProductFlags2 bit 1: shows status string 97, logs "Creating restore
// point..." and its outcome, and keeps the sequence number in
// Settings().restorePointSequence. A failure clears the bit, so the finish
// tries no commit.
void OpenRestorePoint();

// With ProductFlags2 bit 1 still set: ends the system change of the kept
// sequence number and forgets it. Logs "Failed to commit restore point."
// when there is no number, no library or the call fails.
void CommitRestorePoint();

}  // namespace setup
