#pragma once
// The uninstaller's view of a product's uninstall registration: the key is
// opened by the name given on the command line and its values fill the run's
// settings.
#include <string>

#include "setup/run/product_settings.h"
#include "tl_core/registry_key_win.h"

namespace setup {

// Values of the registration that only the uninstall run uses.
struct UninstallRegistration {
  tl::RegistryKey key;  // the registration key, open for reading and writing
  std::string installLocation;
  std::string productFonts;
  std::string productRegistry;
  std::string productStartMenu;
  std::string sharedPath;
  std::string sharedFiles;
};

// Opens the registration of `keyName` and reads the product's settings it
// stores into `product` (whose displayName, the /n: name, stays unless the
// registration names the product) and the rest into `registration`. When
// the registration is missing or unusable, the message the user gets is
// returned in `message` (already filled) and false.
[[nodiscard]] bool LoadUninstallRegistration(const std::string& keyName, ProductSettings& product,
                                             UninstallRegistration& registration, std::string& message);

}  // namespace setup
