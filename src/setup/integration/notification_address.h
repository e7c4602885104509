#pragma once
// Which of the settings' notification addresses an installation requests.
#include <string>

#include "setup/payload/settings_stream.h"

namespace setup {

// The address for what the wizard found when it compared versions: more
// than one flag may be set, and the first of upgrade, downgrade, reinstall
// wins; none means a new installation. UpgradeNotifyURL,
// DowngradeNotifyURL, ReinstallNotifyURL or InstallNotifyURL; empty when
// the settings have none for the kind (then nothing is requested, not even
// another kind's address).
const std::string& NotificationAddressForKind(const SettingsStream& stream, bool upgrade, bool downgrade,
                                              bool reinstall);

}  // namespace setup
