#pragma once
// The installation folder as the user chooses it on the folder page, and
// its creation.
#include <cstdint>
#include <string>

#include "setup/run/run_state.h"

namespace setup {

// Shows the folder page until a folder passes every test (or the user
// cancels, which ends the run); the folder is then created and writable.
void ChooseInstallFolder(RunState& run);

// Creates the folder with its parents and records those it made; a cancel
// that follows removes them again while they are empty. 0 or the system
// error.
uint32_t CreateInstallFolder(RunState& run, const std::string& folder);

// Interface string 25, the folder and the system's reason.
std::string CannotCreateText(const std::string& folder, uint32_t error);

}  // namespace setup
