#pragma once
// The settings stream: every installation setting of a product in one fixed
// order, with no names and no version. SettingsStream holds the fields as
// stored; one field table (settings_schema.h) drives both the reader of the
// runtime and the writer of the authoring tool.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "setup/payload/product_flags.h"

namespace setup {

inline constexpr char kDeleteListEnd[] = "~~THE END~~";
inline constexpr char kCloseListEnd[] = "~~THE~END~~";
inline constexpr uint32_t kSettingsEndMarker = 0xD3E82B97;

// Limits of the lists and counts.
inline constexpr int kMaxDeleteRecordsBeforeAdd = 1000;  // a record is refused when more are held
inline constexpr int kMaxCloseRecords = 1000;
inline constexpr int kMaxCountedRecords = 1000;
inline constexpr int kMaxDocuments = 20;
inline constexpr int kMaxLanguages = 200;
inline constexpr int kMaxStrings = 10000;
inline constexpr uint32_t kMaxProgressPause = 9999;
inline constexpr uint32_t kMaxBitmapSize = 100;
inline constexpr int kMaxPasswordLength = 64;  // what the password page takes

// Bitness: the processor width a product is made for.
inline constexpr uint8_t kBitnessAny = 0;
inline constexpr uint8_t kBitness64 = 1;      // 64-bit systems only, installed without file redirection
inline constexpr uint8_t kBitness32Only = 2;  // refused by 64-bit systems

// ShortcutMode: whose Start Menu and desktop the shortcuts go to.
inline constexpr uint8_t kShortcutsForCurrentUser = 0;
inline constexpr uint8_t kShortcutsForAllUsers = 1;

// SharedBase: the folder SharedPath is placed under.
inline constexpr uint8_t kSharedBaseCommonFiles = 0;
inline constexpr uint8_t kSharedBaseAllUsers = 1;  // the all-users application data folder

// DeleteRecord flags: bits 0-1 the restart handling (0 never, 1 only, 2 on
// failure), then the moments of the deletion.
inline constexpr uint8_t kDeleteBeforeInstallation = 1u << 2;
inline constexpr uint8_t kDeleteAtUninstallation = 1u << 3;

// CloseRecord phaseMask: the moments a program is closed.
inline constexpr uint8_t kCloseAtInstallation = 1u << 0;
inline constexpr uint8_t kCloseAtUninstallation = 1u << 1;

struct DeleteRecord {
  std::string fileSpecification;
  uint8_t condition = 0;
  std::string value;
  uint8_t flags = 0;
  bool operator==(const DeleteRecord&) const = default;
};

struct CloseRecord {
  std::string classPattern;
  std::string titlePattern;
  std::string applicationName;
  uint32_t action = 0;  // stored as one byte, widened when read
  uint8_t phaseMask = 0;
  bool operator==(const CloseRecord&) const = default;
};

struct AssociationRecord {
  uint32_t options = 0;
  std::string extension, fileType, description, verb, verbLabel, command, language, icon;
  bool operator==(const AssociationRecord&) const = default;
};

struct ShortcutRecord {
  std::string target, caption, icon, arguments, workingFolder;
  uint8_t desktop = 0, startMenu = 0, startup = 0;
  std::string customFolder;
  uint8_t showMode = 0, permanent = 0;
  bool operator==(const ShortcutRecord&) const = default;
};

struct ValueRecord {
  std::string name;  // a value name, or a key path and value name when it holds a backslash
  uint8_t type = 0;  // 2 expandable text, 4 number, other values text
  std::string value;
  bool operator==(const ValueRecord&) const = default;
};

struct StringTableData {
  std::vector<std::string> languages;           // names in payload order
  std::vector<std::vector<std::string>> texts;  // texts[string][language]
  bool operator==(const StringTableData&) const = default;
};

struct SettingsStream {
  uint64_t ProductFlags = 0;                       // 1
  uint32_t ProductFlags2 = 0;                      // 2
  uint8_t AutomaticModeSetting = 0;                // 3
  std::string TaskbarText;                         // 4
  std::string DisplayTitle;                        // 5
  double TitleSize = 0;                            // 6
  uint32_t DialogStyleValue = 0;                   // 7
  uint16_t ProgressPause = 0;                      // 8
  uint8_t ShortcutMode = 0;                        // 9
  std::vector<uint8_t> UninstallerFileRecord = std::vector<uint8_t>(24);  // 10
  std::string Publisher;                           // 11
  std::string ProductName;                         // 12
  std::string Description;                         // 13
  uint8_t Bitness = 0;                             // 14
  uint8_t SharedBase = 0;                          // 15, kSharedBase...
  std::string SharedPath;                          // 16
  std::string ProductStartMenu;                    // 17
  std::string DisplayVersion;                      // 18
  std::string InstallDirTemplate;                  // 19
  std::string ProductRegistry;                     // 20
  std::string RegistryEntryText;                   // 21
  uint32_t BitmapSize = 0;                         // 22
  uint32_t StretchMode = 0;                        // 23
  std::vector<std::vector<uint8_t>> LicenseTexts;  // 24, 25
  std::vector<std::vector<uint8_t>> ReadmeTexts;   // 26, 27
  std::string UninstallSubdir;                     // 28
  std::string UninstallerFileName;                 // 29
  std::string UninstallKeyName;                    // 30
  std::string LocationRegistryPath;                // 31
  std::string DialogCaption;                       // 32
  uint8_t SidePictureBorder = 0;                   // 33
  uint32_t TitleColor = 0;                         // 34
  uint8_t TitleShadow = 0;                         // 35
  uint8_t TitlePosition = 0;                       // 36
  std::string TitleFont;                           // 37
  uint32_t TopColor = 0;                           // 38
  uint32_t BottomColor = 0;                        // 39
  std::vector<uint8_t> Bitmap;                     // 40, 41
  uint32_t BitmapTPI = 0;                          // 42 (only with a bitmap)
  uint8_t CopyrightPos = 0;                        // 43
  uint32_t CopyrightColor = 0;                     // 44-47 only when CopyrightPos != 0
  double CopyrightSize = 0;
  std::string CopyrightText;
  std::string CopyrightFont;
  std::string MasterKeyName;                       // 48, 49 only with ProductFlags bit 16
  std::string MasterDisplayName;
  std::string DesktopFolderName;                   // 50
  std::vector<uint8_t> DesktopFolderIcon;          // 51
  std::string PreInstallBatch;                     // 52
  std::string PostInstallBatch;                    // 53
  std::string InstallExitBatch;                    // 54
  std::string UninstallBatch1;                     // 55
  std::string UninstallBatch2;                     // 56
  std::string UpgradeBatch;                        // 57
  std::string ReinstallBatch;                      // 58
  std::vector<uint8_t> Unused59 = std::vector<uint8_t>(20);  // 59
  uint32_t ExcludedSystems = 0;                    // 60
  uint8_t ArchiveInFile = 0;                       // 61
  uint8_t AdminMode = 0;                           // 62
  std::string FinishFile1;                         // 63
  std::string FinishApp;                           // 64
  std::string FinishFile2;                         // 65
  std::string InstallNotifyURL;                    // 66
  std::string UpgradeNotifyURL;                    // 67
  std::string DowngradeNotifyURL;                  // 68
  std::string ReinstallNotifyURL;                  // 69
  std::string NotifyURL;                           // 70
  std::string UpgradeVersion1;                     // 71
  std::string InstallPassword;                     // 72
  std::string UpgradeVersion2;                     // 73
  std::string FirewallText;                        // 74
  std::array<uint32_t, 9> WizardBlock = {};        // 75
  std::vector<uint8_t> UninstallerIcon;            // 76 only with ProductFlags bit 2
  std::vector<DeleteRecord> DeleteList;            // 77
  std::vector<AssociationRecord> Associations;     // 78, 79
  std::vector<ShortcutRecord> Shortcuts;           // 80, 81
  std::string RootShortcutName;                    // 82
  std::string RootShortcutTarget;                  // 83
  std::vector<ValueRecord> UninstallValueList;     // 84, 85
  std::vector<CloseRecord> CloseList;              // 86
  StringTableData Strings;                         // 87-90

  bool Flag(int bit) const { return (ProductFlags >> bit) & 1; }
  bool Flag2(int bit) const { return (ProductFlags2 >> bit) & 1; }
  bool operator==(const SettingsStream&) const = default;
};

// What the reader does at the point after field 7 (the background window is
// created there in the runtime, and the stream's checksum is compared).
struct SettingsReadHooks {
  // When set, compared with PayloadChecksum of the whole stream after field 7 (code 25).
  std::optional<uint32_t> settingsKey;
  // Called after field 7 unless ProductFlags bit 29 is set.
  std::function<void(const SettingsStream&)> createBackgroundWindow;
};

struct SettingsReadResult {
  int corruptCode = 0;  // 0 when the stream is whole and every limit holds
  SettingsStream settings;
  // Where the first read past the stream's end began, when the reading got
  // that far: a cut-off stream (its fields read as zeros from there, so a
  // later check fails with its own code).
  std::optional<size_t> shortReadAt;
  bool ok() const { return corruptCode == 0; }
};

SettingsReadResult ReadSettingsStream(std::span<const uint8_t> stream, const SettingsReadHooks& hooks = {});

struct SettingsWriteResult {
  int corruptCode = 0;  // the reader's check code that the settings would fail, or 0
  std::vector<uint8_t> bytes;
  bool ok() const { return corruptCode == 0; }
};

// The stream bytes. Settings that break a limit the reader checks are refused
// with that check's code, unless checkLimits is false (tests write broken
// streams that way).
SettingsWriteResult WriteSettingsStream(const SettingsStream& settings, bool checkLimits = true);

}  // namespace setup
