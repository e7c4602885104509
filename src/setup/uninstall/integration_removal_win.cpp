#include "setup/uninstall/integration_removal_win.h"

namespace setup {

// The installation does not yet add associations, fonts, shared counts,
// packages, registry entries, firewall exceptions, drivers or the PATH entry
// (each comes with its own subsystem, together with its removal here), so
// there is nothing of theirs to undo: every list these steps get is empty.
void RemoveAssociations(const std::vector<UninstallAssociation>&) {}
void RemoveFonts(UninstallRegistration&) {}
void ReleaseSharedFiles(UninstallRegistration&) {}
std::vector<std::string> RemovePackages(const std::vector<std::string>& packageLines) { return packageLines; }
void RemoveRegistryEntries(UninstallRegistration&, const UninstallDataContent&) {}
void RemoveFirewallExceptions(const std::vector<std::string>&) {}
void RemoveDriverPackages(const std::vector<std::string>&) {}
void RemoveInstallTree() {}
std::string RemoveInstallFolderFromPath() { return {}; }

}  // namespace setup
