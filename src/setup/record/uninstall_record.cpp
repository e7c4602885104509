#include "setup/record/uninstall_record.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "tl_core/path_text.h"
#include "setup/payload/product_flags.h"

namespace setup {
namespace {

constexpr uint32_t kOpaqueBitmap = 0xFFFFFFFF;  // BitmapTPI: no transparent pixel
constexpr uint8_t kExpandableValueType = 2;
constexpr uint8_t kNumberValueType = 4;

RecordValue Text(std::string_view name, std::string text, uint32_t options = 0) {
  return {std::string(name), RecordValueKind::kText, std::move(text), 0, 0, options};
}

RecordValue Number(std::string_view name, uint32_t number, uint32_t options = 0) {
  return {std::string(name), RecordValueKind::kNumber, {}, number, 0, options};
}

RecordValue Decimal(std::string_view name, double number) {
  return {std::string(name), RecordValueKind::kDecimalText, {}, 0, number, 0};
}

RecordValue Delete(std::string_view name) { return {std::string(name), RecordValueKind::kDelete, {}, 0, 0, 0}; }

// Digits from the start of the text; stops at the first other character.
// A number too large for 32 bits saturates.
uint32_t DecimalPrefix(std::string_view text) {
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  }
  return static_cast<uint32_t>(value);
}

bool OnlyBlanks(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

void AddVersionValues(std::vector<RecordValue>& values, std::string_view displayVersion) {
  if (displayVersion.find('.') == std::string_view::npos) return;  // earlier values stay
  VersionNumbers version = LeadingVersionNumbers(displayVersion);
  values.push_back(Number("VersionMajor", version.major));
  values.push_back(Number("VersionMinor", version.minor));
}

void AddEstimatedSize(std::vector<RecordValue>& values, int64_t requiredSpace) {
  uint32_t kilobytes = EstimatedSizeKilobytes(requiredSpace);
  values.push_back(kilobytes != 0 ? Number("EstimatedSize", kilobytes) : Delete("EstimatedSize"));
}

void AddBitmapValues(std::vector<RecordValue>& values, const SettingsStream& s, bool backgroundBitmap) {
  if (!s.Flag(kFlagUninstallerBackground) || !backgroundBitmap) {
    values.push_back(Delete("BitmapSize"));
    values.push_back(Delete("BitmapTPI"));
    values.push_back(Delete("StretchMode"));
    return;
  }
  values.push_back(Number("BitmapSize", s.BitmapSize));
  values.push_back(s.BitmapTPI == kOpaqueBitmap ? Delete("BitmapTPI") : Number("BitmapTPI", s.BitmapTPI));
  values.push_back(Number("StretchMode", s.StretchMode));
}

std::string QuotedUninstaller(std::string_view uninstallerPath) {
  std::string quoted = "\"";
  quoted.append(uninstallerPath).append("\"");
  return quoted;
}

}  // namespace

std::string UninstallerPath(std::string_view uninstallDataFolder, std::string_view uninstallerFileName) {
  return tl::JoinPath(uninstallDataFolder,
                      uninstallerFileName.empty() ? kDefaultUninstallerFileName : uninstallerFileName);
}

std::string UninstallArguments(std::string_view uninstallKeyName) {
  std::string arguments = "/u:\"";
  arguments.append(uninstallKeyName).append("\"");
  return arguments;
}

std::string UninstallCommand(std::string_view uninstallerPath, std::string_view uninstallKeyName) {
  return QuotedUninstaller(uninstallerPath).append(" ").append(UninstallArguments(uninstallKeyName));
}

std::string QuietUninstallCommand(std::string_view uninstallerPath, std::string_view uninstallKeyName) {
  return QuotedUninstaller(uninstallerPath).append(" /a ").append(UninstallArguments(uninstallKeyName));
}

VersionNumbers LeadingVersionNumbers(std::string_view displayVersion) {
  VersionNumbers version;
  version.major = DecimalPrefix(displayVersion);
  size_t dot = displayVersion.find('.');
  if (dot != std::string_view::npos) version.minor = DecimalPrefix(displayVersion.substr(dot + 1));
  return version;
}

uint32_t EstimatedSizeKilobytes(int64_t requiredSpace) {
  if (requiredSpace < 1024) return 0;
  int64_t kilobytes = requiredSpace / 1024;
  return kilobytes > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(kilobytes);
}

std::string CopyrightColorText(uint32_t colorValue) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", colorValue & 0xFF, (colorValue >> 8) & 0xFF,
                (colorValue >> 16) & 0xFF);
  return text;
}

std::vector<RecordValue> LeadingRecordValues(const SettingsStream& s, const UninstallRecordFacts& facts) {
  std::vector<RecordValue> v;
  v.push_back(Text("UninstallString", UninstallCommand(facts.uninstallerPath, facts.uninstallKeyName)));
  v.push_back(Text("QuietUninstallString", QuietUninstallCommand(facts.uninstallerPath, facts.uninstallKeyName)));
  v.push_back(Text("DisplayName", facts.displayName));
  v.push_back(Text("InstallSource", facts.installSource));
  v.push_back(Text("DisplayVersion", s.DisplayVersion, kRecordDeleteWhenEmpty));
  v.push_back(Text("Publisher", s.Publisher, kRecordDeleteWhenEmpty));
  v.push_back(Number("Bitness", s.Bitness));
  AddVersionValues(v, s.DisplayVersion);
  v.push_back(Text("ProductRegistry", s.ProductRegistry, kRecordDeleteWhenEmpty));
  v.push_back(Text("ProductStartMenu", s.ProductStartMenu, kRecordDeleteWhenEmpty));
  v.push_back(Text("SharedPath", s.SharedPath, kRecordDeleteWhenEmpty));
  v.push_back(Text("ProductFonts", facts.productFonts, kRecordDeleteWhenEmpty));
  v.push_back(Text("ProductFlags", std::to_string(static_cast<int64_t>(s.ProductFlags))));
  v.push_back(Text("ProductFlags2", std::to_string(s.ProductFlags2)));
  v.push_back(Text("UninstallBatch1", s.UninstallBatch1, kRecordDeleteWhenEmpty));
  v.push_back(Text("UninstallBatch2", s.UninstallBatch2, kRecordDeleteWhenEmpty));
  v.push_back(Text("SharedFiles", facts.sharedFiles, kRecordDeleteWhenEmpty));
  v.push_back(Text("UninstallSubdir", s.UninstallSubdir, kRecordDeleteWhenEmpty));
  v.push_back(Number("ShortcutMode", s.ShortcutMode, kRecordDeleteWhenEmpty));
  v.push_back(Text("NotifyURL", s.NotifyURL, kRecordDeleteWhenEmpty));
  AddEstimatedSize(v, facts.requiredSpace);
  v.push_back(Text("DisplayTitle", OnlyBlanks(s.DisplayTitle) ? facts.fallbackTitle : s.DisplayTitle));
  v.push_back(Number("TitleColor", s.TitleColor));
  v.push_back(Decimal("TitleSize", s.TitleSize));
  v.push_back(Number("TopColor", s.TopColor));
  v.push_back(facts.monoColor ? Delete("BottomColor") : Number("BottomColor", s.BottomColor));
  v.push_back(Number("MonoColor", facts.monoColor ? 1 : 0));
  v.push_back(Number("TitleShadow", s.TitleShadow));
  v.push_back(Number("TitlePosition", s.TitlePosition));
  v.push_back(Text("TitleFont", s.TitleFont));
  v.push_back(Text("TaskbarText", s.TaskbarText));
  v.push_back(Text("CopyrightText", s.CopyrightText));
  v.push_back(Text("CopyrightFont", s.CopyrightFont));
  v.push_back(Decimal("CopyrightSize", s.CopyrightSize));
  v.push_back(Text("CopyrightColor", CopyrightColorText(s.CopyrightColor)));
  v.push_back(Number("CopyrightPos", s.CopyrightPos));
  AddBitmapValues(v, s, facts.backgroundBitmap);
  return v;
}

std::vector<RecordValue> TrailingRecordValues(const UninstallRecordFacts& facts) {
  return {Text("InstallLocation", facts.installLocation), Text("InstallDate", facts.installDate)};
}

uint32_t RecordNumberFromText(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uint64_t>(c - '0');  // wraps like a 64-bit number
  }
  if (negative) value = 0 - value;
  return static_cast<uint32_t>(value);
}

ExtraRecordValue PlanExtraRecordValue(const ValueRecord& record, std::string expandedValue) {
  ExtraRecordValue extra;
  std::string_view name = record.name;
  size_t split = name.rfind('\\');
  if (split != std::string_view::npos) {
    extra.keyPath = std::string(name.substr(0, split));
    name.remove_prefix(split + 1);
  }
  if (record.type == kNumberValueType) {
    extra.value = Number(name, RecordNumberFromText(expandedValue), kRecordDeleteWhenEmpty);
  } else {
    uint32_t options = kRecordDeleteWhenEmpty;
    if (record.type == kExpandableValueType) options |= kRecordTextAsExpandable;
    extra.value = Text(name, std::move(expandedValue), options);
  }
  return extra;
}

int64_t RequiredSpace(int64_t uninstallerSize, std::span<const int32_t> fileSizes, uint32_t clusterSize,
                      uint32_t extraSpace) {
  const int64_t cluster = clusterSize != 0 ? clusterSize : kFallbackClusterSize;
  int64_t total = uninstallerSize + extraSpace;
  for (int32_t size : fileSizes) {
    if (size > 0) total += (size + cluster - 1) / cluster * cluster;
  }
  return total;
}

std::string VolumeRootOf(std::string_view path) {
  std::string marker;
  if (!path.empty() && path.front() == '|') {
    marker = "|";
    path.remove_prefix(1);
  }
  if (path.size() >= 2 && path[1] == ':') return marker + std::string(path.substr(0, 2)) + "\\";
  if (path.substr(0, 2) != "\\\\") return {};
  size_t serverEnd = path.find('\\', 2);
  if (serverEnd == std::string_view::npos || serverEnd == 2) return {};
  size_t shareEnd = std::min(path.find('\\', serverEnd + 1), path.size());
  if (shareEnd == serverEnd + 1) return {};  // no share name
  return marker + std::string(path.substr(0, shareEnd)) + "\\";
}

}  // namespace setup
