#pragma once
// What the installation adds to the system besides files, each one call of
// the install run. These have no body yet and leave the system as it is.
#include "setup/files/extraction_lists.h"

namespace setup {

void CreateShortcuts(const ExtractionLists& lists);
void WriteRegistryEntries();
void InstallAssociations();
void AddFirewallExceptions();

}  // namespace setup
