#pragma once
// What the installation adds to the system besides files, and the steps of
// the finish. Each is one call of the install run; the ones without a body
// yet leave the system as it is.
#include "setup/files/extraction_lists.h"

namespace setup {

void CreateRestorePoint();
void CreateShortcuts(const ExtractionLists& lists);
void WriteRegistryEntries();
void InstallAssociations();
void AddFirewallExceptions();
void WriteUninstallerFile();
void WriteUninstallRegistration(const ExtractionLists& lists);
void WriteInstallDirValue();

void WriteRebootMarker();
void WriteUninstallDataFile();
void StartNotificationRequest();
void CommitRestorePoint();
void AskForRestart();
void RemoveEmptyFolders();
void RunFinishActions();

}  // namespace setup
