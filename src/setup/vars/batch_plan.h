#pragma once
// Which batches an installation runs, and with what: text with its
// command-line appendix, hidden flag and display name, from the settings.
#include <string>
#include <vector>

#include "setup/run/install_settings.h"

namespace setup {

struct BatchRequest {
  std::string workingDirectory;  // the installation folder; empty: the current folder
  bool hidden = false;
  std::string text;
  std::string displayName;  // not empty: the output is captured into the InstallLog
};

// ProductFlags bits that hide a batch's window.
inline constexpr int kFlagHidePreInstallBatch = 23;
inline constexpr int kFlagHidePostInstallBatch = 24;
inline constexpr int kFlagHideInstallExitBatch = 25;
inline constexpr int kFlagHideUpgradeBatch = 60;
inline constexpr int kFlagHideReinstallBatch = 61;
// ProductFlags2 bits that capture a batch's output under its display name.
inline constexpr int kFlag2LogPreInstallBatch = 6;
inline constexpr int kFlag2LogPostInstallBatch = 7;
inline constexpr int kFlag2LogUpgradeBatch = 8;
inline constexpr int kFlag2LogReinstallBatch = 9;
// ProductFlags2 bit 0 set: the Reinstall batch runs only over the same version.
inline constexpr int kFlag2ReinstallBatchSameVersionOnly = 0;

// Pre-Installation (always), then Upgrade when an older version is being
// upgraded, then Reinstall when an earlier installation was found and either
// its version equals the new one or ProductFlags2 bit 0 is clear.
std::vector<BatchRequest> PreInstallationBatches(const InstallSettings& settings);
BatchRequest PostInstallationBatch(const InstallSettings& settings);
// Never captured.
BatchRequest InstallationExitBatch(const InstallSettings& settings);

}  // namespace setup
