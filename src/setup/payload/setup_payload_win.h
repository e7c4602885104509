#pragma once
// Reading the program's own payload: the header in the mapped ".setup"
// section, the settings block and stream into InstallSettings, the string
// table, the archive's place and checksum, and the uninstaller image.
// Every damage ends the run with the corrupt-installer message.
#include "setup/payload/section_locator.h"

namespace setup {

void ReadSetupPayload(const SetupSection& section);

}  // namespace setup
