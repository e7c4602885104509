#pragma once
// The folders of the run without the wizard's pages: the proposed folders
// of the settings, an earlier installation, and the installation folder.
namespace setup {

// SharedPath placed under its base folder, and the proposed installation
// folder from InstallDirTemplate (kept for SettleInstallFolder).
void ResolveConfiguredFolders();

// With uninstall support: the earlier installation's folder, version and
// start menu folder from its uninstall entry (or LocationRegistryPath), and
// whether it is an upgrade, a reinstall or a downgrade.
void DetectPreviousInstallation();

// InstallLocation from /d:, the earlier installation, a registry value or
// the proposed folder; asks about an earlier installation unless automatic;
// the folder is created.
void SettleInstallFolder();

}  // namespace setup
