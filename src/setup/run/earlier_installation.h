#pragma once
// An earlier installation of the product, and what installing over it is.
#include <string>
#include <string_view>

namespace setup {

// New: nothing found. Reinstall: found, with the same version or without
// versions to compare. Upgrade: the version found is older; downgrade: newer.
enum class InstallationKind { kNew, kReinstall, kUpgrade, kDowngrade };

struct EarlierInstallation {
  std::string location;  // its folder, when one was found
  bool found = false;    // that folder exists
  std::string version;   // its version, also %OldVersion%
  std::string sharedFiles;  // its "SharedFiles" value: the shared files it counted
  std::string startMenuFolder;  // its "ProductStartMenu" value
  InstallationKind kind = InstallationKind::kNew;
};

InstallationKind KindOfInstallation(bool found, std::string_view oldVersion, std::string_view newVersion);

// The interface string of the notice about the earlier installation: 3 it
// is installed (versions not compared: `compareVersions` is off or either
// version is empty), 4 the same version, 5 an upgrade, 6 a downgrade.
// With MustUninstallFirst: the earlier installation must be removed first,
// unless the automatic-upgrade version is set and the earlier version is not
// older than it.
bool MustRemoveEarlierFirst(std::string_view oldVersion, std::string_view automaticUpgradeVersion);

int EarlierInstallationNotice(const EarlierInstallation& earlier, std::string_view newVersion, bool compareVersions);

}  // namespace setup
