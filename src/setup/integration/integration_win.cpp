#include "setup/integration/integration_win.h"

namespace setup {

// Not built yet: shortcuts, registry entries, associations, firewall
// exceptions, the uninstaller and its registration, the restore point and
// the finish actions each come with their own subsystem. Until then the
// install run calls them in their place and they change nothing.
void CreateRestorePoint() {}
void CreateShortcuts(const ExtractionLists&) {}
void WriteRegistryEntries() {}
void InstallAssociations() {}
void AddFirewallExceptions() {}
void WriteUninstallerFile() {}
void WriteUninstallRegistration(const ExtractionLists&) {}
void WriteInstallDirValue() {}
void WriteRebootMarker() {}
void WriteUninstallDataFile() {}
void StartNotificationRequest() {}
void CommitRestorePoint() {}
void AskForRestart() {}
void RemoveEmptyFolders() {}
void RunFinishActions() {}

}  // namespace setup
