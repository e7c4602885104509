#include "option_names.h"

#include <array>

#include "setup/payload/file_record.h"
#include "setup/payload/product_flags.h"
#include "setup/payload/settings_stream.h"

namespace pack {
namespace {

// ProductFlags. The defaults give an ordinary product: an uninstaller, packed
// and checked archive chunks, an installation log, the folder page and the
// progress dialog.
constexpr NamedBit kOptions[] = {
    {"must-uninstall-first", setup::kFlagMustUninstallFirst, false},
    {"uninstaller-start-menu-shortcut", setup::kFlagUninstallerStartMenuShortcut, true},
    {"uninstaller", setup::kFlagHasUninstaller, true},
    {"ask-before-removing-fonts", setup::kFlagAskBeforeRemovingFonts, false},
    {"compress", setup::kFlagPackedChunks, true},
    {"write-install-log", setup::kFlagWriteInstallLog, true},
    {"folder-page", setup::kFlagFolderPage, true},
    {"single-instance", setup::kFlagSingleInstance, false},
    {"silent-uninstall", setup::kFlagSilentUninstall, false},
    {"remove-install-folder", setup::kFlagRemoveInstallFolder, false},
    {"replace-locked-files-at-restart", setup::kFlagReplaceNewFilesAtRestart, false},
    {"add-to-path", setup::kFlagAddToPath, false},
    {"restart-after-install", setup::kFlagRestartRequired, false},
    {"uninstaller-background", setup::kFlagUninstallerBackground, false},
    {"requires-product", setup::kFlagMasterProduct, false},
    {"ask-before-removing-shared-files", setup::kFlagAskBeforeRemovingSharedFiles, false},
    {"verify-written-files", setup::kFlagVerifyWrittenFiles, false},
    {"clear-attributes-on-retry", setup::kFlagClearAttributesOnRetry, false},
    {"verbose-log", setup::kFlagVerboseLog, false},
    {"no-cancel-during-install", setup::kFlagNoCancelDuringInstall, false},
    {"no-completion-message", setup::kFlagNoCompletionMessage, false},
    {"hide-pre-install-batch", setup::kFlagHidePreInstallBatch, false},
    {"hide-post-install-batch", setup::kFlagHidePostInstallBatch, false},
    {"hide-install-exit-batch", setup::kFlagHideInstallExitBatch, false},
    {"hide-uninstall-batch-1", setup::kFlagHideUninstallBatch1, false},
    {"hide-uninstall-batch-2", setup::kFlagHideUninstallBatch2, false},
    {"no-earlier-install-notice", setup::kFlagNoReinstallQuestion, false},
    {"no-background-window", setup::kFlagNoBackgroundWindow, false},
    {"confirm-folder", setup::kFlagConfirmFolder, false},
    {"verify-checksums", setup::kFlagCompareChecksums, true},
    {"uninstaller-desktop-shortcut", setup::kFlagUninstallerDesktopShortcut, false},
    {"start-menu-page", setup::kFlagStartMenuPage, false},
    {"errors-in-automatic-mode", setup::kFlagErrorBoxesInAutomaticMode, false},
    {"compare-versions", setup::kFlagCompareVersions, false},
    {"refuse-network-folder", setup::kFlagRefuseNetworkFolder, false},
    {"uninstaller-shortcut-in-uninstall-folder", setup::kFlagUninstallerShortcutInUninstallFolder, false},
    {"maximized-background", setup::kFlagMaximizedBackground, false},
    {"ask-before-automatic-restart", setup::kFlagAskBeforeAutomaticRestart, false},
    {"no-greeting", setup::kFlagNoGreeting, false},
    {"ask-before-old-version-upgrade", setup::kFlagAskBeforeOldUpgrade, false},
    {"restart-after-uninstall", setup::kFlagRestartAfterUninstall, false},
    {"hide-file-names", setup::kFlagHideFileNames, false},
    {"grant-rights-on-install-folder", setup::kFlagGrantRightsOnInstallFolder, false},
    {"progress-dialog", setup::kFlagCloseProgressAtEnd, true},
    {"interface-font", setup::kFlagInterfaceFont, false},
    {"restart-marker", setup::kFlagRebootMarker, false},
    {"keep-install-log", setup::kFlagKeepInstallLog, false},
    {"refuse-removable-drive", setup::kFlagRefuseRemovableDrive, false},
    {"no-uninstaller-on-removable-drive", setup::kFlagNoUninstallOnRemovableDrive, false},
    {"offer-install-log", setup::kFlagOfferLogAtFinish, false},
    {"bind-executables", setup::kFlagBindExecutables, false},
    {"install-log-shortcut", setup::kFlagInstallLogShortcut, false},
    {"hide-upgrade-batch", setup::kFlagHideUpgradeBatch, false},
    {"hide-reinstall-batch", setup::kFlagHideReinstallBatch, false},
    {"grant-rights-on-shared-folder", setup::kFlagGrantRightsOnSharedFolder, false},
};

// ProductFlags2.
constexpr NamedBit kOptions2[] = {
    {"reinstall-batch-only-for-same-version", setup::kFlag2ReinstallBatchSameVersionOnly, false},
    {"restore-point", setup::kFlag2RestorePoint, false},
    {"uninstaller-image", setup::kFlag2BuildUninstallerImage, true},
    {"log-pre-install-batch", setup::kFlag2LogPreInstallBatch, false},
    {"log-post-install-batch", setup::kFlag2LogPostInstallBatch, false},
    {"log-upgrade-batch", setup::kFlag2LogUpgradeBatch, false},
    {"log-reinstall-batch", setup::kFlag2LogReinstallBatch, false},
    {"button-pictures", setup::kFlag2ButtonPictures, false},
    {"no-shortcuts-on-removable-drive", setup::kFlag2NoShortcutsOnRemovableDrive, false},
};

using setup::FileKind;
using setup::KindValue;
constexpr NamedValue kKinds[] = {
    {"app", KindValue(FileKind::kApplication)},
    {"shared", KindValue(FileKind::kShared)},
    {"font", KindValue(FileKind::kFont)},
    {"startup-app", KindValue(FileKind::kStartupApplication)},
    {"system", KindValue(FileKind::kSystem)},
    {"com-server", KindValue(FileKind::kComServer)},
    {"type-library", KindValue(FileKind::kTypeLibrary)},
    {"versioned-app", KindValue(FileKind::kVersionedApplication)},
    {"driver", KindValue(FileKind::kDriverPackage)},
    {"package", KindValue(FileKind::kInstallerPackage)},
    {"applet", KindValue(FileKind::kControlPanelApplet)},
};

constexpr NamedValue kReplaceModes[] = {
    {"always", 0}, {"never", 1}, {"if-exists", 2}, {"if-missing", 3}, {"not-over-newer", 4},
};

constexpr NamedValue kAttributes[] = {
    {"read-only", 0x1}, {"hidden", 0x2}, {"system", 0x4}, {"archive", 0x20}, {"temporary", 0x100}, {"offline", 0x1000},
};

constexpr NamedValue kBitness[] = {
    {"any", setup::kBitnessAny}, {"64-bit", setup::kBitness64}, {"32-bit-only", setup::kBitness32Only}};
constexpr NamedValue kAdminModes[] = {{"none", 0}, {"required", 1}, {"recommended", 2}};
constexpr NamedValue kAutomaticModes[] = {{"command-line", 0}, {"always", 1}, {"never", 2}};
constexpr NamedValue kShortcutModes[] = {{"current-user", setup::kShortcutsForCurrentUser},
                                         {"all-users", setup::kShortcutsForAllUsers}};
constexpr NamedValue kSharedBases[] = {{"common-files", setup::kSharedBaseCommonFiles},
                                       {"all-users-app-data", setup::kSharedBaseAllUsers}};
constexpr NamedValue kBorders[] = {{"none", 0}, {"sunken", 1}, {"thin", 2}};
constexpr NamedValue kPageStyles[] = {{"plain", 0}, {"side-picture", 1}, {"header", 2}};
constexpr NamedValue kPositions[] = {
    {"hidden", 0},      {"top-left", 1},      {"top-center", 2},   {"top-right", 3},
    {"bottom-left", 4}, {"bottom-center", 5}, {"bottom-right", 6},
};
constexpr NamedValue kStretchModes[] = {{"stretch", 0}, {"fit", 1}, {"center", 2}, {"tile", 3}};
constexpr NamedValue kHorizontal[] = {{"unchanged", 0}, {"left", 1}, {"right", 2}, {"center", 3}};
constexpr NamedValue kVertical[] = {{"unchanged", 0}, {"top", 8}, {"bottom", 16}, {"center", 24}};
constexpr NamedValue kShowModes[] = {{"normal", 0}, {"minimized", 1}, {"maximized", 2}};
constexpr NamedValue kCloseActions[] = {{"close", 0}, {"quit", 1}, {"ask", 2}};
constexpr NamedValue kDeleteConditions[] = {
    {"always", 0},       {"date-equal", 1},    {"date-not-earlier", 2}, {"date-not-later", 3},
    {"size-equal", 4},   {"size-at-least", 5}, {"size-at-most", 6},
};
constexpr NamedValue kRegistryTypes[] = {
    {"sz", 1}, {"expand-sz", 2}, {"binary", 3}, {"dword", 4}, {"multi-sz", 7}, {"qword", 11},
};
constexpr NamedValue kUninstallValueTypes[] = {{"text", 1}, {"expandable", 2}, {"number", 4}};

constexpr std::string_view kPageStyleKeys[] = {"greeting", "language", "license", "readme",
                                               "folder",   "start-menu", "progress", "summary"};

}  // namespace

std::span<const NamedBit> ProductOptions() { return kOptions; }
std::span<const NamedBit> ProductOptions2() { return kOptions2; }

const NamedBit* FindOption(std::span<const NamedBit> options, std::string_view name) {
  for (const NamedBit& option : options)
    if (option.name == name) return &option;
  return nullptr;
}

std::span<const NamedValue> FileKinds() { return kKinds; }
std::span<const NamedValue> ReplaceModes() { return kReplaceModes; }
std::span<const NamedValue> FileAttributes() { return kAttributes; }
std::span<const NamedValue> BitnessNames() { return kBitness; }
std::span<const NamedValue> AdminModes() { return kAdminModes; }
std::span<const NamedValue> AutomaticModes() { return kAutomaticModes; }
std::span<const NamedValue> ShortcutModes() { return kShortcutModes; }
std::span<const NamedValue> SharedBases() { return kSharedBases; }
std::span<const NamedValue> SidePictureBorders() { return kBorders; }
std::span<const NamedValue> PageStyles() { return kPageStyles; }
std::span<const NamedValue> TextPositions() { return kPositions; }
std::span<const NamedValue> StretchModes() { return kStretchModes; }
std::span<const NamedValue> HorizontalPlacements() { return kHorizontal; }
std::span<const NamedValue> VerticalPlacements() { return kVertical; }
std::span<const NamedValue> ShowModes() { return kShowModes; }
std::span<const NamedValue> CloseActions() { return kCloseActions; }
std::span<const NamedValue> DeleteConditions() { return kDeleteConditions; }
std::span<const NamedValue> RegistryValueTypes() { return kRegistryTypes; }
std::span<const NamedValue> UninstallValueTypes() { return kUninstallValueTypes; }
std::span<const std::string_view> PageStyleKeys() { return kPageStyleKeys; }

std::optional<uint32_t> ValueOf(std::span<const NamedValue> names, std::string_view name) {
  for (const NamedValue& entry : names)
    if (entry.name == name) return entry.value;
  return std::nullopt;
}

std::string_view NameOf(std::span<const NamedValue> names, uint32_t value) {
  for (const NamedValue& entry : names)
    if (entry.value == value) return entry.name;
  return {};
}

std::string NameList(std::span<const NamedValue> names) {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) list += i + 1 == names.size() ? " or " : ", ";
    list += names[i].name;
  }
  return list;
}

}  // namespace pack
