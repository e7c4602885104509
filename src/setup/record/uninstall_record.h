#pragma once
// The product's entry under the system's uninstall key, as data: which
// values are written, in which order, with which type and writer options.
// The glue (uninstall_record_win.cpp) only opens keys and runs the list.
// The same table is what the uninstaller and a later installation read back.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "setup/payload/settings_stream.h"

namespace setup {

// The uninstaller's file name when the settings name none; the authoring
// tool writes the same name by default.
inline constexpr std::string_view kDefaultUninstallerFileName = "Uninstall.exe";

// The uninstaller file in the uninstall data folder.
std::string UninstallerPath(std::string_view uninstallDataFolder, std::string_view uninstallerFileName);
// /u:"name"
std::string UninstallArguments(std::string_view uninstallKeyName);
// "path" /u:"name"
std::string UninstallCommand(std::string_view uninstallerPath, std::string_view uninstallKeyName);
// "path" /a /u:"name"
std::string QuietUninstallCommand(std::string_view uninstallerPath, std::string_view uninstallKeyName);

// Writer options, the same bits as the registry key object's value writers
// (which pure code cannot include).
inline constexpr uint32_t kRecordDeleteWhenEmpty = 0x0008;
inline constexpr uint32_t kRecordTextAsExpandable = 0x0100;

enum class RecordValueKind {
  kText,         // REG_SZ (REG_EXPAND_SZ with kRecordTextAsExpandable)
  kNumber,       // REG_DWORD
  kDecimalText,  // a floating-point number as REG_SZ text ("14", "10.5")
  kDelete,       // the value is removed
};

struct RecordValue {
  std::string name;
  RecordValueKind kind = RecordValueKind::kText;
  std::string text;     // kText
  uint32_t number = 0;  // kNumber
  double decimal = 0;   // kDecimalText
  uint32_t options = 0;
  bool operator==(const RecordValue&) const = default;
};

// What the record needs besides the settings stream: facts of the run.
struct UninstallRecordFacts {
  std::string uninstallerPath;
  std::string uninstallKeyName;
  std::string displayName;
  std::string installSource;  // the running installer's path
  std::string productFonts;   // the installed-fonts list
  std::string sharedFiles;    // the shared-file list
  int64_t requiredSpace = 0;  // bytes; negative when not known
  bool monoColor = false;
  bool backgroundBitmap = false;  // the background window has a bitmap
  std::string fallbackTitle;      // localized string 0, for a blank DisplayTitle
  std::string installLocation;
  std::string installDate;  // now, in the date library's default pattern
};

// Values 1 to 40 in the order written: "UninstallString" first, the
// background window's settings last. Values left out (VersionMajor and
// VersionMinor of a version without ".") are neither written nor deleted.
std::vector<RecordValue> LeadingRecordValues(const SettingsStream& settings, const UninstallRecordFacts& facts);
// "InstallLocation" and "InstallDate", written after the author's values.
std::vector<RecordValue> TrailingRecordValues(const UninstallRecordFacts& facts);

// One of the author's extra values (UninstallValueList) after its value has
// had the path variables expanded.
struct ExtraRecordValue {
  std::string keyPath;  // a registry path of another key; empty for the uninstall key
  RecordValue value;
  bool operator==(const ExtraRecordValue&) const = default;
};
ExtraRecordValue PlanExtraRecordValue(const ValueRecord& record, std::string expandedValue);

// The number a type-4 extra value stands for: an optional sign and the
// decimal digits up to the first other character, as a 64-bit number whose
// low 32 bits are stored.
uint32_t RecordNumberFromText(std::string_view text);

// VersionMajor and VersionMinor: the decimal number at the start of the
// version and the one after its first "."; 0 where no digit stands.
struct VersionNumbers {
  uint32_t major = 0;
  uint32_t minor = 0;
};
VersionNumbers LeadingVersionNumbers(std::string_view displayVersion);

// "EstimatedSize": kilobytes of the requirement, or 0 when it lies outside
// 1 .. 0xFFFFFFFF KB and the value is deleted instead.
uint32_t EstimatedSizeKilobytes(int64_t requiredSpace);

// The first three bytes of a colour value in memory order (red, green,
// blue) as "%02X%02X%02X": 0x00563412 gives "123456".
std::string CopyrightColorText(uint32_t colorValue);

// The disk requirement in bytes: the uninstaller, every file rounded up to
// whole clusters, and the extra space. A cluster size of 0 (the drive did
// not say) counts as 4096.
inline constexpr uint32_t kFallbackClusterSize = 4096;
int64_t RequiredSpace(int64_t uninstallerSize, std::span<const int32_t> fileSizes, uint32_t clusterSize,
                      uint32_t extraSpace);

// The root folder of the volume a path lies on, as the system's disk-space
// calls take it: "C:\" or "\\server\share\"; empty for a relative path.
// A "|" in front (UTF-8) is kept.
std::string VolumeRootOf(std::string_view path);

}  // namespace setup
