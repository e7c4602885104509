#pragma once
// The bits of ProductFlags (64-bit) and ProductFlags2 (32-bit), the product's
// option words: named once here for the runtime, the authoring tool and the
// tests. Bit n is the bit of value 2 to the power n.

namespace setup {

inline constexpr int kFlagHasUninstaller = 2;
inline constexpr int kFlagPackedChunks = 5;
inline constexpr int kFlagWriteInstallLog = 6;
inline constexpr int kFlagSingleInstance = 8;
inline constexpr int kFlagSilentUninstall = 9;
inline constexpr int kFlagReplaceNewFilesAtRestart = 11;
inline constexpr int kFlagAddToPath = 12;
inline constexpr int kFlagRestartAfterInstall = 14;
inline constexpr int kFlagRestartRequired = 14;
inline constexpr int kFlagBackgroundBitmapSettings = 15;
inline constexpr int kFlagUninstallerBackground = 15;
inline constexpr int kFlagMasterProduct = 16;
inline constexpr int kFlagVerifyWrittenFiles = 18;
inline constexpr int kFlagClearAttributesOnRetry = 19;
inline constexpr int kFlagVerboseLog = 20;
inline constexpr int kFlagNoCompletionMessage = 22;
inline constexpr int kFlagHidePreInstallBatch = 23;
inline constexpr int kFlagHidePostInstallBatch = 24;
inline constexpr int kFlagHideInstallExitBatch = 25;
inline constexpr int kFlagHideUninstallBatch1 = 26;
inline constexpr int kFlagHideUninstallBatch2 = 27;
inline constexpr int kFlagNoReinstallQuestion = 28;
inline constexpr int kFlagNoBackgroundWindow = 29;
inline constexpr int kFlagCompareChecksums = 32;
inline constexpr int kFlagErrorBoxesInAutomaticMode = 35;
inline constexpr int kFlagCompareVersions = 36;
inline constexpr int kFlagAskBeforeAutomaticRestart = 41;
inline constexpr int kFlagAskBeforeOldUpgrade = 44;
inline constexpr int kFlagRestartAfterUninstall = 45;
inline constexpr int kFlagHideFileNames = 49;
inline constexpr int kFlagGrantRightsOnInstallFolder = 50;
inline constexpr int kFlagCloseProgressAtEnd = 51;
inline constexpr int kFlagRebootMarker = 53;
inline constexpr int kFlagKeepInstallLog = 54;
inline constexpr int kFlagNoUninstallOnRemovableDrive = 56;
inline constexpr int kFlagOfferLogAtFinish = 57;
inline constexpr int kFlagHideUpgradeBatch = 60;
inline constexpr int kFlagHideReinstallBatch = 61;
inline constexpr int kFlagGrantRightsOnSharedFolder = 62;

inline constexpr int kFlag2ReinstallBatchSameVersionOnly = 0;
inline constexpr int kFlag2RestorePoint = 1;
inline constexpr int kFlag2BuildUninstallerImage = 5;
inline constexpr int kFlag2LogPreInstallBatch = 6;
inline constexpr int kFlag2LogPostInstallBatch = 7;
inline constexpr int kFlag2LogUpgradeBatch = 8;
inline constexpr int kFlag2LogReinstallBatch = 9;
inline constexpr int kFlag2NewSystemsOnly = 10;

}  // namespace setup
