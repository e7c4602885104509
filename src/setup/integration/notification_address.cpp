#include "setup/integration/notification_address.h"

namespace setup {

const std::string& NotificationAddressForKind(const SettingsStream& stream, bool upgrade, bool downgrade,
                                              bool reinstall) {
  if (upgrade) return stream.UpgradeNotifyURL;
  if (downgrade) return stream.DowngradeNotifyURL;
  if (reinstall) return stream.ReinstallNotifyURL;
  return stream.InstallNotifyURL;
}

}  // namespace setup
