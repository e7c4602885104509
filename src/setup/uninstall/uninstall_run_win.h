#pragma once
// The uninstall run: reads a product's registration and "Uninstall.DAT",
// asks, undoes the installation phase by phase and reports the outcome.
#include <string>

namespace setup {

// True when the product was removed completely. False when the registration
// or its data could not be used (the user was told), or when something
// remained (registration and a reduced "Uninstall.DAT" stay for a later
// run). Declining the confirmation ends the process with exit code 1.
bool UninstallProduct(const std::string& keyName);

}  // namespace setup
