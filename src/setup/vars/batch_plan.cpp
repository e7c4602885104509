#include "setup/vars/batch_plan.h"

#include "tl_core/version_order.h"
#include "setup/vars/batch_text.h"

namespace setup {
namespace {

BatchRequest MakeRequest(const RunState& run, std::string text, int hideBit, int logBit, const char* displayName) {
  BatchRequest request;
  request.workingDirectory = run.folders.installLocation;
  request.hidden = run.product.Flag(hideBit);
  request.text = std::move(text);
  if (logBit >= 0 && run.product.Flag2(logBit)) request.displayName = displayName;
  return request;
}

bool ReinstallBatchApplies(const RunState& run) {
  if (!run.earlier.found) return false;
  if (!run.product.Flag2(kFlag2ReinstallBatchSameVersionOnly)) return true;
  return tl::CompareVersionTexts(run.product.stream.DisplayVersion, run.earlier.version) == 0;
}

}  // namespace

std::vector<BatchRequest> PreInstallationBatches(const RunState& run) {
  const SettingsStream& stream = run.product.stream;
  std::vector<BatchRequest> batches;
  batches.push_back(MakeRequest(run, WithBatchAppendix(stream.PreInstallBatch, run.options.batchAppend[0]),
                                kFlagHidePreInstallBatch, kFlag2LogPreInstallBatch, "Pre-Installation Batch"));
  if (run.earlier.kind == InstallationKind::kUpgrade) {
    batches.push_back(
        MakeRequest(run, stream.UpgradeBatch, kFlagHideUpgradeBatch, kFlag2LogUpgradeBatch, "Upgrade Batch"));
  }
  if (ReinstallBatchApplies(run)) {
    batches.push_back(
        MakeRequest(run, stream.ReinstallBatch, kFlagHideReinstallBatch, kFlag2LogReinstallBatch, "Reinstall Batch"));
  }
  return batches;
}

BatchRequest PostInstallationBatch(const RunState& run) {
  return MakeRequest(run, WithBatchAppendix(run.product.stream.PostInstallBatch, run.options.batchAppend[1]),
                     kFlagHidePostInstallBatch, kFlag2LogPostInstallBatch, "Post-Installation Batch");
}

BatchRequest InstallationExitBatch(const RunState& run) {
  return MakeRequest(run, WithBatchAppendix(run.product.stream.InstallExitBatch, run.options.batchAppend[2]),
                     kFlagHideInstallExitBatch, -1, "");
}

}  // namespace setup
