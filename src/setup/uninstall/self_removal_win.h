#pragma once
// After a complete uninstallation: "delunins.bat" written to the temporary
// folder and started hidden, so that the uninstaller's file and the empty
// folders of the installation go once this process has ended.
#include <string>

namespace setup {

// Uses Settings().installLocation and the uninstall subdirectory
// (Settings().stream.UninstallSubdir). Returns at once; the caller then ends
// the process, which releases the uninstaller's file. Nothing is started
// when the batch cannot be written.
void StartSelfRemoval(const std::string& uninstallerPath);

}  // namespace setup
