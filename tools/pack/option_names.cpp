#include "option_names.h"

#include <array>

namespace pack {
namespace {

// ProductFlags. The defaults give an ordinary product: an uninstaller, packed
// and checked archive chunks, an installation log, the folder page and the
// progress dialog.
constexpr NamedBit kOptions[] = {
    {"must-uninstall-first", 0, false},
    {"uninstaller-start-menu-shortcut", 1, true},
    {"uninstaller", 2, true},
    {"ask-before-removing-fonts", 4, false},
    {"compress", 5, true},
    {"write-install-log", 6, true},
    {"folder-page", 7, true},
    {"single-instance", 8, false},
    {"silent-uninstall", 9, false},
    {"remove-install-folder", 10, false},
    {"replace-locked-files-at-restart", 11, false},
    {"add-to-path", 12, false},
    {"restart-after-install", 14, false},
    {"uninstaller-background", 15, false},
    {"requires-product", 16, false},
    {"ask-before-removing-shared-files", 17, false},
    {"verify-written-files", 18, false},
    {"clear-attributes-on-retry", 19, false},
    {"verbose-log", 20, false},
    {"no-cancel-during-install", 21, false},
    {"no-completion-message", 22, false},
    {"hide-pre-install-batch", 23, false},
    {"hide-post-install-batch", 24, false},
    {"hide-install-exit-batch", 25, false},
    {"hide-uninstall-batch-1", 26, false},
    {"hide-uninstall-batch-2", 27, false},
    {"no-earlier-install-notice", 28, false},
    {"no-background-window", 29, false},
    {"confirm-folder", 31, false},
    {"verify-checksums", 32, true},
    {"uninstaller-desktop-shortcut", 33, false},
    {"start-menu-page", 34, false},
    {"errors-in-automatic-mode", 35, false},
    {"compare-versions", 36, false},
    {"refuse-network-folder", 37, false},
    {"uninstaller-shortcut-in-uninstall-folder", 38, false},
    {"maximized-background", 40, false},
    {"ask-before-automatic-restart", 41, false},
    {"no-greeting", 43, false},
    {"ask-before-old-version-upgrade", 44, false},
    {"restart-after-uninstall", 45, false},
    {"hide-file-names", 49, false},
    {"grant-rights-on-install-folder", 50, false},
    {"progress-dialog", 51, true},
    {"interface-font", 52, false},
    {"restart-marker", 53, false},
    {"keep-install-log", 54, false},
    {"refuse-removable-drive", 55, false},
    {"no-uninstaller-on-removable-drive", 56, false},
    {"offer-install-log", 57, false},
    {"bind-executables", 58, false},
    {"install-log-shortcut", 59, false},
    {"hide-upgrade-batch", 60, false},
    {"hide-reinstall-batch", 61, false},
    {"grant-rights-on-shared-folder", 62, false},
};

// ProductFlags2.
constexpr NamedBit kOptions2[] = {
    {"reinstall-batch-only-for-same-version", 0, false},
    {"restore-point", 1, false},
    {"uninstaller-image", 5, true},
    {"log-pre-install-batch", 6, false},
    {"log-post-install-batch", 7, false},
    {"log-upgrade-batch", 8, false},
    {"log-reinstall-batch", 9, false},
    {"button-pictures", 10, false},
    {"no-shortcuts-on-removable-drive", 11, false},
};

constexpr NamedValue kKinds[] = {
    {"app", 0},         {"shared", 1},         {"font", 4},   {"startup-app", 5},
    {"system", 6},      {"com-server", 7},     {"type-library", 8},
    {"versioned-app", 9}, {"driver", 10},      {"package", 11}, {"applet", 12},
};

constexpr NamedValue kReplaceModes[] = {
    {"always", 0}, {"never", 1}, {"if-exists", 2}, {"if-missing", 3}, {"not-over-newer", 4},
};

constexpr NamedValue kAttributes[] = {
    {"read-only", 0x1}, {"hidden", 0x2}, {"system", 0x4}, {"archive", 0x20}, {"temporary", 0x100}, {"offline", 0x1000},
};

constexpr NamedValue kBitness[] = {{"any", 0}, {"64-bit", 1}, {"32-bit-only", 2}};
constexpr NamedValue kAdminModes[] = {{"none", 0}, {"required", 1}, {"recommended", 2}};
constexpr NamedValue kAutomaticModes[] = {{"command-line", 0}, {"always", 1}, {"never", 2}};
constexpr NamedValue kShortcutModes[] = {{"current-user", 0}, {"all-users", 1}};
constexpr NamedValue kSharedBases[] = {{"common-files", 0}, {"all-users-app-data", 1}};
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
