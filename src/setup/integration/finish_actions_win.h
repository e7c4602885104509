#pragma once
// The finish's own steps around the outcome: the restart marker, the
// desktop refresh, and what is launched when the installation ends without
// a restart.
#include "setup/run/finish_choices.h"
#include "setup/run/run_state.h"

namespace setup {

// With ProductFlags bit 53: an empty "reboot.dat" in the install directory,
// registered for deletion at the next restart, so it exists exactly until
// the computer restarts.
void WriteRebootMarker(const RunState& run);

// Tells the shell that the desktop folder changed: the all-users desktop
// when ShortcutMode is 1, the user's otherwise.
void RefreshDesktopFolder(const RunState& run);

// Makes the install directory the current one, then starts RunAfterInstall
// (only after a successful installation) and the chosen actions: open
// FinishFile1, start FinishApp, show the log, open FinishFile2. Nothing
// waits for what it starts; launch failures go to "Install.LOG" only.
void RunFinishLaunches(const RunState& run, const FinishChoices& chosen);

}  // namespace setup
