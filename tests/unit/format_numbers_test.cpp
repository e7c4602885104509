// Every named format number pinned to its value: the ProductFlags and
// ProductFlags2 bits, the interface string numbers, the check codes and the
// file kinds. Installers already built and the settings of installed
// products hold these numbers, so a changed value breaks them; a name that
// moves must fail here.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "setup/payload/check_codes.h"
#include "setup/payload/file_record.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

struct Pinned {
  const char* name;
  long long value;
  long long expected;
};

#define PIN(name, expected) \
  Pinned { #name, static_cast<long long>(name), expected }

struct Group {
  const char* what;
  std::vector<Pinned> entries;
  long long highest;  // the largest value the stored field can hold
};

std::vector<Group> Groups() {
  return {
      {"ProductFlags", {
      PIN(kFlagMustUninstallFirst, 0),
      PIN(kFlagUninstallerStartMenuShortcut, 1),
      PIN(kFlagHasUninstaller, 2),
      PIN(kFlagAskBeforeRemovingFonts, 4),
      PIN(kFlagPackedChunks, 5),
      PIN(kFlagWriteInstallLog, 6),
      PIN(kFlagFolderPage, 7),
      PIN(kFlagSingleInstance, 8),
      PIN(kFlagSilentUninstall, 9),
      PIN(kFlagRemoveInstallFolder, 10),
      PIN(kFlagReplaceNewFilesAtRestart, 11),
      PIN(kFlagAddToPath, 12),
      PIN(kFlagRestartRequired, 14),
      PIN(kFlagUninstallerBackground, 15),
      PIN(kFlagMasterProduct, 16),
      PIN(kFlagAskBeforeRemovingSharedFiles, 17),
      PIN(kFlagVerifyWrittenFiles, 18),
      PIN(kFlagClearAttributesOnRetry, 19),
      PIN(kFlagVerboseLog, 20),
      PIN(kFlagNoCancelDuringInstall, 21),
      PIN(kFlagNoCompletionMessage, 22),
      PIN(kFlagHidePreInstallBatch, 23),
      PIN(kFlagHidePostInstallBatch, 24),
      PIN(kFlagHideInstallExitBatch, 25),
      PIN(kFlagHideUninstallBatch1, 26),
      PIN(kFlagHideUninstallBatch2, 27),
      PIN(kFlagNoReinstallQuestion, 28),
      PIN(kFlagNoBackgroundWindow, 29),
      PIN(kFlagConfirmFolder, 31),
      PIN(kFlagCompareChecksums, 32),
      PIN(kFlagUninstallerDesktopShortcut, 33),
      PIN(kFlagStartMenuPage, 34),
      PIN(kFlagErrorBoxesInAutomaticMode, 35),
      PIN(kFlagCompareVersions, 36),
      PIN(kFlagRefuseNetworkFolder, 37),
      PIN(kFlagUninstallerShortcutInUninstallFolder, 38),
      PIN(kFlagMaximizedBackground, 40),
      PIN(kFlagAskBeforeAutomaticRestart, 41),
      PIN(kFlagNoGreeting, 43),
      PIN(kFlagAskBeforeOldUpgrade, 44),
      PIN(kFlagRestartAfterUninstall, 45),
      PIN(kFlagHideFileNames, 49),
      PIN(kFlagGrantRightsOnInstallFolder, 50),
      PIN(kFlagCloseProgressAtEnd, 51),
      PIN(kFlagInterfaceFont, 52),
      PIN(kFlagRebootMarker, 53),
      PIN(kFlagKeepInstallLog, 54),
      PIN(kFlagRefuseRemovableDrive, 55),
      PIN(kFlagNoUninstallOnRemovableDrive, 56),
      PIN(kFlagOfferLogAtFinish, 57),
      PIN(kFlagBindExecutables, 58),
      PIN(kFlagInstallLogShortcut, 59),
      PIN(kFlagHideUpgradeBatch, 60),
      PIN(kFlagHideReinstallBatch, 61),
      PIN(kFlagGrantRightsOnSharedFolder, 62),
      }, 63},
      {"ProductFlags2", {
      PIN(kFlag2ReinstallBatchSameVersionOnly, 0),
      PIN(kFlag2RestorePoint, 1),
      PIN(kFlag2BuildUninstallerImage, 5),
      PIN(kFlag2LogPreInstallBatch, 6),
      PIN(kFlag2LogPostInstallBatch, 7),
      PIN(kFlag2LogUpgradeBatch, 8),
      PIN(kFlag2LogReinstallBatch, 9),
      PIN(kFlag2ButtonPictures, 10),
      PIN(kFlag2NoShortcutsOnRemovableDrive, 11),
      }, 31},
      {"interface strings", {
      PIN(kStringSetupTitle, 0),
      PIN(kStringGreeting, 1),
      PIN(kStringEarlierInstallationCaption, 2),
      PIN(kStringAlreadyInstalled, 3),
      PIN(kStringSameVersionInstalled, 4),
      PIN(kStringOlderVersionInstalled, 5),
      PIN(kStringNewerVersionInstalled, 6),
      PIN(kStringInstallOverQuestion, 7),
      PIN(kStringPreparingStatus, 8),
      PIN(kStringMustUninstall, 9),
      PIN(kStringUninstallFailed, 10),
      PIN(kStringFolderPageText, 11),
      PIN(kStringRequiredProductMissing, 12),
      PIN(kStringCorruptInstaller, 13),
      PIN(kStringInvalidFolder, 14),
      PIN(kStringUninstallCompleteCaption, 15),
      PIN(kStringDriveMissing, 16),
      PIN(kStringProgramsFolderRefused, 18),
      PIN(kStringLowDiskSpace, 19),
      PIN(kStringQuestionCaption, 20),
      PIN(kStringErrorCaption, 21),
      PIN(kStringFolderExists, 22),
      PIN(kStringFolderWillBeCreated, 23),
      PIN(kStringFolderPageTitle, 24),
      PIN(kStringCannotCreateFolder, 25),
      PIN(kStringCancelQuestion, 28),
      PIN(kStringUnpackingStatus, 29),
      PIN(kStringUninstallTitle, 30),
      PIN(kStringFileNotInstalled, 31),
      PIN(kStringUninstallComplete, 34),
      PIN(kStringRemoveSharedFileCaption, 35),
      PIN(kStringFinishingStatus, 36),
      PIN(kStringRestartQuestion, 37),
      PIN(kStringProgressHeading, 39),
      PIN(kStringOutcomeQuestion, 40),
      PIN(kStringOutcomeQuestionCaption, 41),
      PIN(kStringCompleted, 42),
      PIN(kStringCompletedCaption, 43),
      PIN(kStringLicenseTitle, 44),
      PIN(kStringAgreeButton, 45),
      PIN(kStringDeclineButton, 46),
      PIN(kStringDocumentPageText, 47),
      PIN(kStringNextButton, 48),
      PIN(kStringCancelButton, 49),
      PIN(kStringBrowseButton, 52),
      PIN(kStringUninstallConfirmation, 53),
      PIN(kStringInstallingStatus, 54),
      PIN(kStringUninstallCaption, 55),
      PIN(kStringRemoveFontQuestion, 56),
      PIN(kStringRemoveFontCaption, 57),
      PIN(kStringCannotDeleteFile, 58),
      PIN(kStringRemoveSharedFileQuestion, 59),
      PIN(kStringUnsupportedSystem, 61),
      PIN(kStringCheckingStatus, 62),
      PIN(kStringExtraLicense, 63),
      PIN(kStringExtraReadme, 64),
      PIN(kStringWizardCaption, 65),
      PIN(kStringNetworkFolderRefused, 66),
      PIN(kStringRemovingFontsStatus, 67),
      PIN(kStringReleasingSharedFilesStatus, 68),
      PIN(kStringRemovingRegistryStatus, 69),
      PIN(kStringRemovingAssociationsStatus, 70),
      PIN(kStringUninstallProgressHeading, 71),
      PIN(kStringOldVersionQuestion, 72),
      PIN(kStringFolderNotWritable, 73),
      PIN(kStringUninstallRestartQuestion, 74),
      PIN(kStringPasswordCaption, 75),
      PIN(kStringPasswordText, 76),
      PIN(kStringAdminRequired, 77),
      PIN(kStringAdminRecommended, 78),
      PIN(kStringYesButton, 79),
      PIN(kStringNoButton, 80),
      PIN(kStringWrongBitness, 81),
      PIN(kStringLanguagePageText, 82),
      PIN(kStringOpenFinishFile1Box, 83),
      PIN(kStringLaunchFinishAppBox, 84),
      PIN(kStringShowLogBox, 85),
      PIN(kStringOpenFinishFile2Box, 87),
      PIN(kStringStartMenuPageText, 88),
      PIN(kStringStartMenuTitle, 89),
      PIN(kStringInstallButton, 90),
      PIN(kStringAnotherInstallationRunning, 91),
      PIN(kStringRequiredSpaceLabel, 92),
      PIN(kStringFreeSpaceLabel, 93),
      PIN(kStringLanguageTitle, 94),
      PIN(kStringFinishButton, 95),
      PIN(kStringDriveRefused, 96),
      PIN(kStringCreatingRestorePoint, 97),
      PIN(kStringInstallCancelled, 98),
      PIN(kStringProgramRunning, 99),
      PIN(kStringRetryButton, 100),
      PIN(kStringUninstallCancelled, 101),
      PIN(kStringWrongPassword, 102),
      PIN(kStringGreetingTitle, 103),
      PIN(kStringUninstallButton, 104),
      }, 9999},
      {"check codes", {
      PIN(check::kNoRawData, 9),
      PIN(check::kCannotPosition, 10),
      PIN(check::kProgressPause, 19),
      PIN(check::kPayloadMagic, 20),
      PIN(check::kSettingsPackedSize, 22),
      PIN(check::kLicenseCount, 24),
      PIN(check::kSettingsChecksum, 25),
      PIN(check::kReadmeCount, 26),
      PIN(check::kFileCount, 27),
      PIN(check::kFileSize, 28),
      PIN(check::kArchiveSize, 29),
      PIN(check::kLanguageCount, 30),
      PIN(check::kStringCount, 31),
      PIN(check::kEndMarker, 32),
      PIN(check::kImageUnreadable, 35),
      PIN(check::kAssociationCount, 36),
      PIN(check::kUninstallValueCount, 37),
      PIN(check::kDeleteListLength, 38),
      PIN(check::kBitmapSize, 39),
      PIN(check::kImageChecksum, 40),
      PIN(check::kCloseListLength, 41),
      PIN(check::kImageTailUnreadable, 42),
      PIN(check::kPeHeaderOffset, 43),
      PIN(check::kSectionCount, 44),
      PIN(check::kPayloadEnd, 45),
      PIN(check::kArchiveLength, 46),
      PIN(check::kSettingsUnpack, 47),
      PIN(check::kShortcutCount, 48),
      PIN(check::kArchiveChecksum, 55),
      PIN(check::kChunkUnpack, 60),
      PIN(check::kChunkSize, 61),
      PIN(check::kChunkChecksum, 62),
      PIN(check::kChunkTooLong, 63),
      PIN(check::kEmptyFileName, 70),
      PIN(check::kNegativeFileSize, 71),
      PIN(check::kFileSizeTooLarge, 72),
      PIN(check::kArchiveLeftOver, 80),
      PIN(check::kRecordsLeftOver, 83),
      PIN(check::kDataChecksum, 100),
      PIN(check::kFileKind, 110),
      }, 0x7FFFFFFF},
      {"file kinds", {
      PIN(FileKind::kApplication, 0),
      PIN(FileKind::kShared, 1),
      PIN(FileKind::kFont, 4),
      PIN(FileKind::kStartupApplication, 5),
      PIN(FileKind::kSystem, 6),
      PIN(FileKind::kComServer, 7),
      PIN(FileKind::kTypeLibrary, 8),
      PIN(FileKind::kVersionedApplication, 9),
      PIN(FileKind::kDriverPackage, 10),
      PIN(FileKind::kInstallerPackage, 11),
      PIN(FileKind::kControlPanelApplet, 12),
      }, 12},
  };
}

TEST(FormatNumbers, EachNameHasItsNumber) {
  for (const Group& group : Groups()) {
    SCOPED_TRACE(group.what);
    for (const Pinned& pin : group.entries) EXPECT_EQ(pin.value, pin.expected) << pin.name;
  }
}

// Within a group no two names share a number, and every number fits the
// field that stores it.
TEST(FormatNumbers, NumbersAreDistinctAndInRange) {
  for (const Group& group : Groups()) {
    SCOPED_TRACE(group.what);
    std::map<long long, std::string> seen;
    for (const Pinned& pin : group.entries) {
      EXPECT_GE(pin.value, 0) << pin.name;
      EXPECT_LE(pin.value, group.highest) << pin.name;
      auto [it, added] = seen.emplace(pin.value, pin.name);
      EXPECT_TRUE(added) << pin.name << " and " << it->second << " are both " << pin.value;
    }
  }
}

TEST(FormatNumbers, EveryKindIsKnownAndNothingElse) {
  const std::vector<Group> groups = Groups();
  std::map<uint32_t, bool> known;
  for (const Pinned& pin : groups.back().entries) known[static_cast<uint32_t>(pin.value)] = true;
  for (uint32_t value = 0; value <= 40; ++value) EXPECT_EQ(IsKnownFileKind(value), known.count(value) == 1) << value;
  EXPECT_FALSE(IsKnownFileKind(0xFFFFFFFFu));
}

#undef PIN

}  // namespace
}  // namespace setup
