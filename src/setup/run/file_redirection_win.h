#pragma once
// The file-system redirection of a 32-bit process, switched off while a
// 64-bit product is installed or removed, so that its files land in the
// 64-bit system folders.
#include "setup/run/run_state.h"

namespace setup {

// Switches it off for this thread; the outcome is kept in `redirection`.
void SwitchOffFileRedirection(FileRedirection& redirection);
// Switches it back on when it was switched off.
void RestoreFileRedirection(FileRedirection& redirection);

}  // namespace setup
