#pragma once
// The folders of the run without the wizard's pages: the proposed folders
// of the settings, an earlier installation, and the installation folder.
#include "setup/run/run_state.h"

namespace setup {

// SharedPath placed under its base folder, the Start Menu folder, and the
// proposed installation folder from InstallDirTemplate (kept for
// SettleInstallFolder).
void ResolveConfiguredFolders(RunState& run);

// With uninstall support: the earlier installation's folder, version,
// shared files and Start Menu folder from its uninstall entry (the folder
// else from LocationRegistryPath), and what installing over it is.
EarlierInstallation FindEarlierInstallation(const RunState& run);

// InstallLocation from a registry value, the earlier installation (which
// may have to be removed first: the must-uninstall page), /d:, the folder
// page or the proposed folder; asks about an earlier installation unless
// automatic; the folder is created.
void SettleInstallFolder(RunState& run);

}  // namespace setup
