#pragma once
// Generated batch files: written as "SETUPBAT.BAT" in the working folder,
// run through the command interpreter, optionally captured into the log.
#include <string>

namespace setup {

struct BatchRequest {
  std::string workingDirectory;  // the installation folder; empty: the current folder
  bool hidden = false;
  std::string text;
  std::string displayName;  // not empty: the output is captured into the InstallLog
};

// True when the batch ran or there was nothing to run.
bool RunBatch(const BatchRequest& request);

// The batches of an installation, each with its command-line appendix,
// hidden flag and display name from the settings.
void RunPreInstallationBatches();   // Pre-Installation, then Upgrade and Reinstall when they apply
void RunPostInstallationBatch();
void RunInstallationExitBatch();

}  // namespace setup
