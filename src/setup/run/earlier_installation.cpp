#include "setup/run/earlier_installation.h"

#include "tl_core/version_order.h"

namespace setup {

InstallationKind KindOfInstallation(bool found, std::string_view oldVersion, std::string_view newVersion) {
  if (!found) return InstallationKind::kNew;
  if (oldVersion.empty() || newVersion.empty()) return InstallationKind::kReinstall;
  const int order = tl::CompareVersionTexts(oldVersion, newVersion);
  if (order < 0) return InstallationKind::kUpgrade;
  return order > 0 ? InstallationKind::kDowngrade : InstallationKind::kReinstall;
}

int EarlierInstallationNotice(const EarlierInstallation& earlier, std::string_view newVersion, bool compareVersions) {
  if (!compareVersions || earlier.version.empty() || newVersion.empty()) return 3;
  switch (earlier.kind) {
    case InstallationKind::kUpgrade:
      return 5;
    case InstallationKind::kDowngrade:
      return 6;
    default:
      return 4;
  }
}

bool MustRemoveEarlierFirst(std::string_view oldVersion, std::string_view automaticUpgradeVersion) {
  if (automaticUpgradeVersion.empty()) return true;
  return tl::CompareVersionTexts(oldVersion, automaticUpgradeVersion) < 0;
}

}  // namespace setup
