#include "setup/run/install_settings.h"

namespace setup {

InstallSettings& Settings() {
  static InstallSettings settings;
  return settings;
}

}  // namespace setup
