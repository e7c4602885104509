#pragma once
// The undo steps for what an installation registered with the system besides
// its files. Each works from a list that "Uninstall.DAT" or the registration
// provides; a step with nothing to do does nothing.
#include <string>
#include <vector>

#include "setup/record/uninstall_data_text.h"
#include "setup/uninstall/uninstall_registration_win.h"

namespace setup {

void RemoveAssociations(const std::vector<UninstallAssociation>& associations);
void RemoveFonts(UninstallRegistration& registration);
void ReleaseSharedFiles(UninstallRegistration& registration);
// Returns the package lines whose removal failed, each ending in CR LF.
std::vector<std::string> RemovePackages(const std::vector<std::string>& packageLines);
void RemoveRegistryEntries(UninstallRegistration& registration, const UninstallDataContent& data);
void RemoveFirewallExceptions(const std::vector<std::string>& firewallLines);
void RemoveDriverPackages(const std::vector<std::string>& infLines);
void RemoveInstallTree();
// The message for the user when the PATH could not be changed; empty on success.
std::string RemoveInstallFolderFromPath();

}  // namespace setup
