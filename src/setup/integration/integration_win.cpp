#include "setup/integration/integration_win.h"

namespace setup {

// Not built yet: shortcuts, registry entries, associations and firewall
// exceptions each come with their own subsystem. Until then the install run
// calls them in their place and they change nothing.
void CreateShortcuts(const ExtractionLists&) {}
void WriteRegistryEntries() {}
void InstallAssociations() {}
void AddFirewallExceptions() {}

}  // namespace setup
