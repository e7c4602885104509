#pragma once
// Which batches an installation runs, and with what: text with its
// command-line appendix, hidden flag and display name, from the settings.
#include <string>
#include <vector>

#include "setup/run/run_state.h"

namespace setup {

struct BatchRequest {
  std::string workingDirectory;  // the installation folder; empty: the current folder
  bool hidden = false;
  std::string text;
  std::string displayName;  // not empty: the output is captured into the InstallLog
};

// Pre-Installation (always), then Upgrade when an older version is being
// upgraded, then Reinstall when an earlier installation was found and either
// its version equals the new one or kFlag2ReinstallBatchSameVersionOnly is clear.
std::vector<BatchRequest> PreInstallationBatches(const RunState& run);
BatchRequest PostInstallationBatch(const RunState& run);
// Never captured.
BatchRequest InstallationExitBatch(const RunState& run);

}  // namespace setup
