#include "installer_report.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <map>

#include "ansi_text.h"
#include "option_names.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/payload_header.h"

namespace pack {
namespace fs = std::filesystem;
namespace {

std::string Hex(uint64_t value, int digits = 8) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%0*" PRIX64, digits, value);
  return text;
}

// A stored 8-bit text as a quoted UTF-8 line, control characters escaped.
std::string Quote(const std::string& stored, bool isPath = false) {
  std::string utf8 = isPath ? PathToUtf8(stored) : Windows1252ToUtf8(stored);
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (static_cast<uint8_t>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<uint8_t>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string Stamp(const tl::DateTime& t) {
  if (!t.HasDate()) return "(no date)";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
  std::string out = text;
  if (t.HasTime()) {
    std::snprintf(text, sizeof text, " %02d:%02d:%02d UTC", t.hour, t.minute, t.second);
    out += text;
  }
  return out;
}

// The six little-endian i32 of a stored stamp.
std::string StampOfBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.size() != 24) return std::to_string(bytes.size()) + " bytes";
  int32_t v[6];
  for (int i = 0; i < 6; ++i)
    v[i] = static_cast<int32_t>(bytes[4 * i] | (bytes[4 * i + 1] << 8) | (bytes[4 * i + 2] << 16) |
                                (static_cast<uint32_t>(bytes[4 * i + 3]) << 24));
  return Stamp({v[0], v[1], v[2], v[3], v[4], v[5]});
}

std::string Bytes(const std::vector<uint8_t>& bytes) {
  std::string out = std::to_string(bytes.size()) + " bytes";
  if (bytes.empty()) return out;
  out += ":";
  for (size_t i = 0; i < bytes.size() && i < 24; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
    out += hex;
  }
  return bytes.size() > 24 ? out + " ..." : out;
}

template <class Options>
std::string OptionNames(uint64_t flags, Options options) {
  std::string names;
  for (int bit = 0; bit < 64; ++bit) {
    if (!((flags >> bit) & 1)) continue;
    std::string name = "bit " + std::to_string(bit);
    for (const NamedBit& option : options)
      if (option.bit == bit) name = std::string(option.name);
    names += (names.empty() ? "" : ", ") + name;
  }
  return names.empty() ? "none" : names;
}

std::string Named(std::span<const NamedValue> names, uint32_t value) {
  std::string_view name = NameOf(names, value);
  return std::to_string(value) + (name.empty() ? "" : " (" + std::string(name) + ")");
}

std::string FileFlagNames(uint32_t flags) {
  std::string names = std::string(NameOf(ReplaceModes(), (flags & setup::kFileFlagReplaceModeMask) >> setup::kFileFlagReplaceModeShift));
  if (names.empty()) names = "replace mode " + std::to_string((flags & setup::kFileFlagReplaceModeMask) >> setup::kFileFlagReplaceModeShift);
  const std::pair<uint32_t, const char*> bits[] = {
      {setup::kFileFlagDesktopShortcut, "desktop-shortcut"}, {setup::kFileFlagStartMenuShortcut, "start-menu-shortcut"},
      {setup::kFileFlagPermanent, "permanent"},              {setup::kFileFlagUninstallDataFolder, "uninstall-folder"},
      {setup::kFileFlagRecordPackage, "remove-package"},
  };
  for (const auto& [bit, name] : bits)
    if (flags & bit) names += std::string(", ") + name;
  return names;
}

class Report {
 public:
  void Heading(const std::string& title) { text_ += (text_.empty() ? "" : "\n") + title + "\n"; }
  void Line(const std::string& name, const std::string& value) { text_ += "  " + name + " = " + value + "\n"; }
  void Raw(const std::string& line) { text_ += "  " + line + "\n"; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void DescribeSettings(Report& r, const setup::SettingsStream& s) {
  r.Heading("Settings");
  r.Line("ProductFlags", Hex(s.ProductFlags, 16) + " (" + OptionNames(s.ProductFlags, ProductOptions()) + ")");
  r.Line("ProductFlags2", Hex(s.ProductFlags2) + " (" + OptionNames(s.ProductFlags2, ProductOptions2()) + ")");
  r.Line("AutomaticModeSetting", Named(AutomaticModes(), s.AutomaticModeSetting));
  r.Line("TaskbarText", Quote(s.TaskbarText));
  r.Line("DisplayTitle", Quote(s.DisplayTitle));
  r.Line("TitleSize", std::to_string(s.TitleSize));
  r.Line("DialogStyleValue", std::to_string(s.DialogStyleValue));
  r.Line("ProgressPause", std::to_string(s.ProgressPause));
  r.Line("ShortcutMode", Named(ShortcutModes(), s.ShortcutMode));
  r.Line("UninstallerFileRecord", StampOfBytes(s.UninstallerFileRecord));
  r.Line("Publisher", Quote(s.Publisher));
  r.Line("ProductName", Quote(s.ProductName));
  r.Line("Description", Quote(s.Description));
  r.Line("Bitness", Named(BitnessNames(), s.Bitness));
  r.Line("SharedBase", Named(SharedBases(), s.SharedBase));
  r.Line("SharedPath", Quote(s.SharedPath));
  r.Line("ProductStartMenu", Quote(s.ProductStartMenu));
  r.Line("DisplayVersion", Quote(s.DisplayVersion));
  r.Line("InstallDirTemplate", Quote(s.InstallDirTemplate));
  r.Line("ProductRegistry", Quote(s.ProductRegistry));
  r.Line("RegistryEntryText", Quote(s.RegistryEntryText));
  r.Line("BitmapSize", std::to_string(s.BitmapSize));
  r.Line("StretchMode", Named(StretchModes(), s.StretchMode));
  for (size_t i = 0; i < s.LicenseTexts.size(); ++i) r.Line("LicenseTexts[" + std::to_string(i) + "]", Bytes(s.LicenseTexts[i]));
  for (size_t i = 0; i < s.ReadmeTexts.size(); ++i) r.Line("ReadmeTexts[" + std::to_string(i) + "]", Bytes(s.ReadmeTexts[i]));
  r.Line("UninstallSubdir", Quote(s.UninstallSubdir));
  r.Line("UninstallerFileName", Quote(s.UninstallerFileName));
  r.Line("UninstallKeyName", Quote(s.UninstallKeyName));
  r.Line("LocationRegistryPath", Quote(s.LocationRegistryPath));
  r.Line("DialogCaption", Quote(s.DialogCaption));
  r.Line("SidePictureBorder", Named(SidePictureBorders(), s.SidePictureBorder));
  r.Line("TitleColor", Hex(s.TitleColor, 6));
  r.Line("TitleShadow", std::to_string(s.TitleShadow));
  r.Line("TitlePosition", Named(TextPositions(), s.TitlePosition));
  r.Line("TitleFont", Quote(s.TitleFont));
  r.Line("TopColor", Hex(s.TopColor, 6));
  r.Line("BottomColor", Hex(s.BottomColor, 6));
  r.Line("Bitmap", Bytes(s.Bitmap));
  if (!s.Bitmap.empty()) r.Line("BitmapTPI", Hex(s.BitmapTPI));
  r.Line("CopyrightPos", Named(TextPositions(), s.CopyrightPos));
  if (s.CopyrightPos != 0) {
    r.Line("CopyrightColor", Hex(s.CopyrightColor, 6));
    r.Line("CopyrightSize", std::to_string(s.CopyrightSize));
    r.Line("CopyrightText", Quote(s.CopyrightText));
    r.Line("CopyrightFont", Quote(s.CopyrightFont));
  }
  if (s.Flag(setup::kFlagMasterProduct)) {
    r.Line("MasterKeyName", Quote(s.MasterKeyName));
    r.Line("MasterDisplayName", Quote(s.MasterDisplayName));
  }
  r.Line("DesktopFolderName", Quote(s.DesktopFolderName));
  r.Line("DesktopFolderIcon", Bytes(s.DesktopFolderIcon));
  r.Line("PreInstallBatch", Quote(s.PreInstallBatch));
  r.Line("PostInstallBatch", Quote(s.PostInstallBatch));
  r.Line("InstallExitBatch", Quote(s.InstallExitBatch));
  r.Line("UninstallBatch1", Quote(s.UninstallBatch1));
  r.Line("UninstallBatch2", Quote(s.UninstallBatch2));
  r.Line("UpgradeBatch", Quote(s.UpgradeBatch));
  r.Line("ReinstallBatch", Quote(s.ReinstallBatch));
  r.Line("ExcludedSystems", Hex(s.ExcludedSystems));
  r.Line("ArchiveInFile", std::to_string(s.ArchiveInFile));
  r.Line("AdminMode", Named(AdminModes(), s.AdminMode));
  r.Line("FinishFile1", Quote(s.FinishFile1));
  r.Line("FinishApp", Quote(s.FinishApp));
  r.Line("FinishFile2", Quote(s.FinishFile2));
  r.Line("InstallNotifyURL", Quote(s.InstallNotifyURL));
  r.Line("UpgradeNotifyURL", Quote(s.UpgradeNotifyURL));
  r.Line("DowngradeNotifyURL", Quote(s.DowngradeNotifyURL));
  r.Line("ReinstallNotifyURL", Quote(s.ReinstallNotifyURL));
  r.Line("NotifyURL", Quote(s.NotifyURL));
  r.Line("UpgradeVersion1", Quote(s.UpgradeVersion1));
  r.Line("InstallPassword", Quote(s.InstallPassword));
  r.Line("UpgradeVersion2", Quote(s.UpgradeVersion2));
  r.Line("FirewallText", Quote(s.FirewallText));
  std::string wizard;
  for (size_t i = 0; i < s.WizardBlock.size(); ++i) {
    if (i > 0) wizard += i == 1 ? "; styles " : ", ";
    wizard += i == 0 ? "extra space " + std::to_string(s.WizardBlock[0])
                     : std::string(PageStyleKeys()[i - 1]) + " " + Named(PageStyles(), s.WizardBlock[i]);
  }
  r.Line("WizardBlock", wizard);
  if (s.Flag(setup::kFlagHasUninstaller)) r.Line("UninstallerIcon", Bytes(s.UninstallerIcon));
  r.Line("RootShortcutName", Quote(s.RootShortcutName));
  r.Line("RootShortcutTarget", Quote(s.RootShortcutTarget));
}

void DescribeLists(Report& r, const setup::SettingsStream& s) {
  r.Heading("Delete list (" + std::to_string(s.DeleteList.size()) + ")");
  for (const setup::DeleteRecord& d : s.DeleteList)
    r.Raw(Quote(d.fileSpecification) + " condition " + Named(DeleteConditions(), d.condition) + " value " +
          Quote(d.value) + " flags " + Hex(d.flags, 2));
  r.Heading("Associations (" + std::to_string(s.Associations.size()) + ")");
  for (const setup::AssociationRecord& a : s.Associations)
    r.Raw("options " + std::to_string(a.options) + " extension " + Quote(a.extension) + " fileType " + Quote(a.fileType) +
          " description " + Quote(a.description) + " verb " + Quote(a.verb) + " verbLabel " + Quote(a.verbLabel) +
          " command " + Quote(a.command) + " language " + Quote(a.language) + " icon " + Quote(a.icon));
  r.Heading("Shortcuts (" + std::to_string(s.Shortcuts.size()) + ")");
  for (const setup::ShortcutRecord& c : s.Shortcuts)
    r.Raw("target " + Quote(c.target) + " caption " + Quote(c.caption) + " icon " + Quote(c.icon) + " arguments " +
          Quote(c.arguments) + " workingFolder " + Quote(c.workingFolder) + " desktop " + std::to_string(c.desktop) +
          " startMenu " + std::to_string(c.startMenu) + " startup " + std::to_string(c.startup) + " customFolder " +
          Quote(c.customFolder) + " showMode " + Named(ShowModes(), c.showMode) + " permanent " +
          std::to_string(c.permanent));
  r.Heading("Uninstall values (" + std::to_string(s.UninstallValueList.size()) + ")");
  for (const setup::ValueRecord& v : s.UninstallValueList)
    r.Raw(Quote(v.name) + " type " + Named(UninstallValueTypes(), v.type) + " value " + Quote(v.value));
  r.Heading("Close list (" + std::to_string(s.CloseList.size()) + ")");
  for (const setup::CloseRecord& c : s.CloseList)
    r.Raw("class " + Quote(c.classPattern) + " title " + Quote(c.titlePattern) + " name " + Quote(c.applicationName) +
          " action " + Named(CloseActions(), c.action) + " phases " + Hex(c.phaseMask, 2));
}

void DescribeStrings(Report& r, const setup::StringTableData& t) {
  r.Heading("Strings (" + std::to_string(t.texts.size()) + " in " + std::to_string(t.languages.size()) + " languages)");
  std::string names;
  for (size_t l = 0; l < t.languages.size(); ++l) names += (l ? ", " : "") + std::to_string(l) + " " + Quote(t.languages[l]);
  r.Line("languages", names);
  for (size_t n = 0; n < t.texts.size(); ++n) {
    const auto& texts = t.texts[n];
    bool same = true;
    for (const std::string& text : texts) same = same && text == texts[0];
    if (same) {
      r.Raw(std::to_string(n) + ": " + Quote(texts.empty() ? std::string() : texts[0]));
      continue;
    }
    for (size_t l = 0; l < texts.size(); ++l) r.Raw(std::to_string(n) + "[" + std::to_string(l) + "]: " + Quote(texts[l]));
  }
}

void DescribeFiles(Report& r, const std::vector<setup::FileRecord>& files, size_t expected) {
  r.Heading("Files (" + std::to_string(files.size()) + (files.size() == expected ? "" : " of " + std::to_string(expected)) + ")");
  for (size_t i = 0; i < files.size(); ++i) {
    const setup::FileRecord& f = files[i];
    std::string line = std::to_string(i) + ": " + Quote(f.name, true) + " kind " + Named(FileKinds(), f.kind) + " flags " +
                       Hex(f.flags, 2) + " (" + FileFlagNames(f.flags) + ") " + std::to_string(f.data.size()) +
                       " bytes, " + Stamp(f.stamp);
    if (f.attributes != setup::kKeepAttributes) line += ", attributes " + Hex(f.attributes, 4);
    if (!f.text.empty()) line += ", text " + Quote(f.text);
    if (!f.target.empty()) line += ", target " + Quote(f.target);
    if (f.HasShortcut() && !f.shortcutIcon.empty()) line += ", icon " + Quote(f.shortcutIcon);
    if (!f.shortcutArguments.empty()) line += ", arguments " + Quote(f.shortcutArguments);
    if (!f.shortcutWorkingFolder.empty()) line += ", working folder " + Quote(f.shortcutWorkingFolder);
    if (f.kind == setup::KindValue(setup::FileKind::kInstallerPackage))
      line += ", package option " + std::to_string(f.packageOption);
    r.Raw(line);
  }
}

// Splits a stored path into segments, refusing one that climbs out.
void AppendSegments(std::string& out, const std::string& stored) {
  std::string path = PathToUtf8(stored);
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment == "..") Fail({}, "the path \"" + path + "\" leaves its folder");
    if (!segment.empty() && segment != ".") out += (out.empty() ? "" : "/") + segment;
    start = end + 1;
  }
}

std::string FileNamePart(const std::string& name) {
  size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::string CheckCodeMeaning(int code) {
  namespace c = setup::check;
  static const std::map<int, const char*> kMeanings = {
      {c::kNoRawData, "the .setup section has no raw data"},
      {c::kCannotPosition, "the section's raw data lies beyond the file"},
      {c::kPayloadMagic, "payload magic number"},
      {c::kSettingsPackedSize, "settings block size out of range"},
      {c::kSettingsChecksum, "settings stream checksum mismatch"},
      {c::kFileCount, "negative file count"},
      {c::kFileSize, "a file size is negative, above 1 GiB or missing"},
      {c::kArchiveSize, "negative archive size"},
      {c::kImageUnreadable, "the program before the section cannot be read"},
      {c::kImageChecksum, "program image checksum mismatch"},
      {c::kImageTailUnreadable, "the bytes after the section cannot be read"},
      {c::kPeHeaderOffset, "PE header offset missing or out of range"},
      {c::kSectionCount, "number of sections missing or out of range"},
      {c::kPayloadEnd, "negative payload end"},
      {c::kArchiveLength, "archive length differs from the header"},
      {c::kSettingsUnpack, "the settings block does not unpack"},
      {c::kArchiveChecksum, "archive checksum mismatch"},
      {c::kChunkUnpack, "a chunk does not unpack"},
      {c::kChunkSize, "a chunk size is not positive"},
      {c::kChunkChecksum, "chunk checksum mismatch"},
      {c::kChunkTooLong, "a chunk is longer than the rest of the archive"},
      {c::kEmptyFileName, "a file record has an empty name"},
      {c::kNegativeFileSize, "a file record has a negative size"},
      {c::kFileSizeTooLarge, "a file record is larger than 1 GiB"},
      {c::kArchiveLeftOver, "archive bytes left over after the last file"},
      {c::kRecordsLeftOver, "unpacked bytes left over after the last file"},
      {c::kDataChecksum, "file data checksum mismatch"},
      {c::kFileKind, "a file record has an unknown kind"},
      {c::kProgressPause, "progress pause above 9999"},
      {c::kLicenseCount, "more than 20 license documents"},
      {c::kReadmeCount, "more than 20 readme documents"},
      {c::kLanguageCount, "language count 0 or above 200"},
      {c::kStringCount, "string count 0 or above 10000"},
      {c::kEndMarker, "settings end marker missing"},
      {c::kAssociationCount, "association count out of range"},
      {c::kUninstallValueCount, "uninstall value count out of range"},
      {c::kDeleteListLength, "delete list too long"},
      {c::kBitmapSize, "bitmap size above 100"},
      {c::kCloseListLength, "close list too long"},
      {c::kShortcutCount, "shortcut count out of range"},
  };
  auto it = kMeanings.find(code);
  return it == kMeanings.end() ? "unknown check" : it->second;
}

std::string DamageText(const setup::InstallerContents& contents) {
  switch (contents.outcome) {
    case setup::InstallerOutcome::kValid: return {};
    case setup::InstallerOutcome::kNoSection: return "no installation data: the program has no .setup section";
    case setup::InstallerOutcome::kVersionMismatch:
      return "built for runtime version " + Quote(contents.header.RuntimeVersion) + ", not " + setup::kRuntimeVersion;
    case setup::InstallerOutcome::kCorrupt:
      return "damaged: check code " + std::to_string(contents.corruptCode) + ": " + CheckCodeMeaning(contents.corruptCode);
  }
  return {};
}

std::string DescribeInstaller(const setup::InstallerContents& c) {
  Report r;
  r.Heading("Installer");
  r.Line("outcome", c.ok() ? "valid" : DamageText(c));
  if (c.outcome == setup::InstallerOutcome::kNoSection) return r.Take();
  r.Heading("Section .setup");
  r.Line("index", std::to_string(c.section.index) + " of " + std::to_string(c.section.sectionCount));
  r.Line("VirtualAddress", Hex(c.section.virtualAddress));
  r.Line("SizeOfRawData", Hex(c.section.sizeOfRawData));
  r.Line("PointerToRawData", Hex(c.section.pointerToRawData));
  r.Heading("Payload header");
  const setup::PayloadHeader& h = c.header;
  r.Line("PayloadMagic", Hex(h.PayloadMagic));
  r.Line("RuntimeVersion", Quote(h.RuntimeVersion));
  r.Line("SettingsPackedSize", std::to_string(h.SettingsPackedSize));
  r.Line("SettingsKey", Hex(h.SettingsKey));
  r.Line("ImageChecksum", Hex(h.ImageChecksum));
  r.Line("PayloadEnd", std::to_string(h.PayloadEnd));
  r.Line("FileCount", std::to_string(h.FileCount));
  r.Line("ArchiveSize", std::to_string(h.ArchiveSize));
  r.Line("ArchiveChecksum", Hex(h.ArchiveChecksum));
  if (c.uninstaller.ok())
    r.Line("uninstaller", std::string(c.uninstaller.built ? "image of " : "copy of the program, ") +
                              std::to_string(c.uninstaller.uninstallerSize) + " bytes");
  if (c.outcome == setup::InstallerOutcome::kVersionMismatch) return r.Take();
  DescribeSettings(r, c.settings);
  DescribeLists(r, c.settings);
  DescribeStrings(r, c.settings.Strings);
  DescribeFiles(r, c.files, static_cast<size_t>(std::max(0, h.FileCount)));
  return r.Take();
}

std::string ExtractionPath(const setup::FileRecord& record) {
  std::string folder;
  switch (static_cast<setup::FileKind>(record.kind)) {
    case setup::FileKind::kShared:
      folder = "SharedDir";
      break;
    case setup::FileKind::kFont:
      folder = "FontDir";
      break;
    case setup::FileKind::kSystem:
    case setup::FileKind::kComServer:
    case setup::FileKind::kTypeLibrary:
      folder = "SystemDir";
      break;
    default: folder = "InstallDir";
  }
  if (record.flags & setup::kFileFlagUninstallDataFolder) folder = "UninstallDataFolder";
  std::string path;
  const std::string& target = record.target;
  if (target.empty()) {
    AppendSegments(path, record.name);
    return folder + "/" + path;
  }
  if (target.find('\\') == std::string::npos) {
    AppendSegments(path, target);
    return folder + "/" + path;
  }
  // An explicit target: "%Variable%\rest" goes below the variable's folder,
  // a relative path below the kind's base, a drive path below its letter.
  std::string rest = target;
  if (rest.size() > 2 && rest[0] == '%' && rest.find('%', 1) != std::string::npos) {
    size_t close = rest.find('%', 1);
    folder = rest.substr(1, close - 1);
    rest = rest.substr(close + 1);
  } else if (rest.size() >= 2 && rest[1] == ':') {
    folder = std::string(1, rest[0]);
    rest = rest.substr(2);
  } else if (rest.rfind("\\\\", 0) == 0) {
    folder = "UNC";
  } else {
    folder = record.kind == setup::KindValue(setup::FileKind::kShared) ? "SharedDir" : "InstallDir";
  }
  std::string base;
  AppendSegments(base, folder);
  folder = base.empty() ? "InstallDir" : base;
  const bool intoFolder = !rest.empty() && rest.back() == '\\';
  AppendSegments(path, rest);
  if (intoFolder) AppendSegments(path, FileNamePart(record.name));
  if (path.empty()) Fail({}, "the target \"" + PathToUtf8(target) + "\" names no file");
  return folder + "/" + path;
}

Outcome<ExtractSummary> ExtractInstaller(std::span<const uint8_t> installer, const fs::path& folder) {
  setup::InstallerContents contents = setup::ReadInstaller(installer);
  if (contents.outcome == setup::InstallerOutcome::kNoSection ||
      contents.outcome == setup::InstallerOutcome::kVersionMismatch)
    return FileError("", DamageText(contents));
  return Capture([&]() -> ExtractSummary {
    ExtractSummary summary;
    for (const setup::FileRecord& record : contents.files) {
      std::string relative;
      try {
        relative = ExtractionPath(record);
      } catch (const PackFailure& failure) {
        Fail({}, "file " + Quote(record.name, true) + ": " + failure.error().message);
      }
      fs::path path = folder / fs::path(relative);
      std::error_code error;
      fs::create_directories(path.parent_path(), error);
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      if (!out || !out.write(reinterpret_cast<const char*>(record.data.data()), static_cast<std::streamsize>(record.data.size())))
        Fail({path.string()}, "cannot write the file");
      summary.paths.push_back(relative);
      ++summary.written;
    }
    if (!contents.ok())
      Fail({}, DamageText(contents) + " (after " + std::to_string(contents.files.size()) + " of " +
                   std::to_string(std::max(0, contents.header.FileCount)) + " files)");
    return summary;
  });
}

}  // namespace pack
