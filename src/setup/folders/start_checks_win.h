#pragma once
// The checks before the installation: processor width, excluded systems,
// administrator rights, a required product and a single running installer.
// A failed check ends the run with exit code 1.
#include <string>

#include "setup/run/run_state.h"

namespace setup {

void RunStartChecks(const RunState& run);

// The product named by MasterKeyName (or DisplayName) must be installed;
// its folder when it is. Ends the run with string 12 when it is not.
std::string RequiredProductFolder(const RunState& run);

}  // namespace setup
