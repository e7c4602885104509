#pragma once
// Writing the uninstall registration record and the installation-directory
// value into the registry, and the disk requirement of the run. What is
// written is decided in uninstall_record.h.
#include <cstdint>
#include <string>

#include "setup/run/run_state.h"

namespace setup {

// The product's entry under HKLM's uninstall key (always the 32-bit view),
// written value by value over an existing one; the author's extra values;
// then the installation-directory value. Failures go to the run's failure
// summary.
// productFonts and sharedFiles are the installed-fonts and shared-file lists
// (empty texts delete their values). Computes the disk requirement first
// when the run has none yet.
void WriteUninstallRecord(RunState& run, const std::string& productFonts, const std::string& sharedFiles);

// InstallLocation as REG_SZ into the value that LocationRegistryPath names
// (key path, a backslash, value name). Nothing without a backslash; silent.
void WriteInstallDirValue(const RunState& run);

}  // namespace setup
