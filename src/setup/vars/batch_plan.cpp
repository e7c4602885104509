#include "setup/vars/batch_plan.h"

#include "tl_core/version_order.h"
#include "setup/vars/batch_text.h"

namespace setup {
namespace {

BatchRequest MakeRequest(const InstallSettings& settings, std::string text, int hideBit, int logBit,
                         const char* displayName) {
  BatchRequest request;
  request.workingDirectory = settings.installLocation;
  request.hidden = settings.stream.Flag(hideBit);
  request.text = std::move(text);
  if (logBit >= 0 && settings.stream.Flag2(logBit)) request.displayName = displayName;
  return request;
}

bool ReinstallBatchApplies(const InstallSettings& settings) {
  if (!settings.installedBefore) return false;
  if (!settings.stream.Flag2(kFlag2ReinstallBatchSameVersionOnly)) return true;
  return CompareVersionTexts(settings.stream.DisplayVersion, settings.oldVersion) == 0;
}

}  // namespace

std::vector<BatchRequest> PreInstallationBatches(const InstallSettings& settings) {
  const SettingsStream& stream = settings.stream;
  std::vector<BatchRequest> batches;
  batches.push_back(MakeRequest(settings, WithBatchAppendix(stream.PreInstallBatch, settings.batchAppend[0]),
                                kFlagHidePreInstallBatch, kFlag2LogPreInstallBatch, "Pre-Installation Batch"));
  if (settings.upgrade) {
    batches.push_back(MakeRequest(settings, stream.UpgradeBatch, kFlagHideUpgradeBatch, kFlag2LogUpgradeBatch,
                                  "Upgrade Batch"));
  }
  if (ReinstallBatchApplies(settings)) {
    batches.push_back(MakeRequest(settings, stream.ReinstallBatch, kFlagHideReinstallBatch,
                                  kFlag2LogReinstallBatch, "Reinstall Batch"));
  }
  return batches;
}

BatchRequest PostInstallationBatch(const InstallSettings& settings) {
  return MakeRequest(settings, WithBatchAppendix(settings.stream.PostInstallBatch, settings.batchAppend[1]),
                     kFlagHidePostInstallBatch, kFlag2LogPostInstallBatch, "Post-Installation Batch");
}

BatchRequest InstallationExitBatch(const InstallSettings& settings) {
  return MakeRequest(settings, WithBatchAppendix(settings.stream.InstallExitBatch, settings.batchAppend[2]),
                     kFlagHideInstallExitBatch, -1, "");
}

}  // namespace setup
