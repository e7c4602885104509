#pragma once
// The folders of the run without the wizard's pages: the proposed folders
// of the settings, an earlier installation, and the installation folder.
#include "setup/run/run_state.h"

namespace setup {

// SharedPath placed under its base folder, the Start Menu folder, and the
// proposed installation folder from InstallDirTemplate (kept for
// SettleInstallFolder).
void ResolveConfiguredFolders(RunState& run);

// With uninstall support: the earlier installation's folder and version
// from its uninstall entry (or LocationRegistryPath), and what installing
// over it is. Its Start Menu folder becomes the run's.
EarlierInstallation FindEarlierInstallation(RunState& run);

// InstallLocation from /d:, the earlier installation, a registry value or
// the proposed folder; asks about an earlier installation unless automatic;
// the folder is created.
void SettleInstallFolder(RunState& run);

}  // namespace setup
