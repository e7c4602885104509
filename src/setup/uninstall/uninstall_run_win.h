#pragma once
// The uninstall run: reads a product's registration and "Uninstall.DAT",
// asks, undoes the installation phase by phase and reports the outcome.
#include "setup/run/run_state.h"
#include "setup/uninstall/uninstall_registration_win.h"

namespace setup {

// The run of the product whose `registration` is loaded. True when the
// product was removed completely. False when its data could not be used
// (the user was told), or when something remained (registration and a
// reduced "Uninstall.DAT" stay for a later run). Declining the confirmation
// ends the process with exit code 1.
[[nodiscard]] bool UninstallProduct(RunState& run, UninstallRegistration& registration);

}  // namespace setup
