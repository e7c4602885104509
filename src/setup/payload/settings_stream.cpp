#include "setup/payload/settings_stream.h"

#include "setup/payload/check_codes.h"
#include "setup/payload/memory_stream.h"
#include "setup/payload/payload_checksum.h"

namespace setup {
namespace {

// Reading side of the field table.
class StreamReader {
 public:
  static constexpr bool kReading = true;
  StreamReader(std::span<const uint8_t> bytes, const SettingsReadHooks& hooks)
      : bytes_(bytes), in_(bytes), hooks_(hooks) {}

  void U8(uint8_t& v) { v = in_.U8(); }
  void U16(uint16_t& v) { v = in_.U16(); }
  void U32(uint32_t& v) { v = in_.U32(); }
  void U64(uint64_t& v) { v = in_.U64(); }
  void I32(int32_t& v) { v = in_.I32(); }
  void F64(double& v) { v = in_.F64(); }
  void Text(std::string& v) { v = in_.Text(); }
  void Blob(std::vector<uint8_t>& v) { v = in_.Blob(); }
  void Bytes(std::vector<uint8_t>& v, size_t n) { v = in_.Bytes(n); }
  bool Limit(bool holds, int) const { return holds; }
  std::optional<size_t> shortReadAt() const { return in_.shortReadAt(); }

  int AfterDisplayFields(const SettingsStream& s) {
    if (!s.Flag(kFlagNoBackgroundWindow) && hooks_.createBackgroundWindow) hooks_.createBackgroundWindow(s);
    if (hooks_.settingsKey && PayloadChecksum(bytes_.data(), static_cast<int64_t>(bytes_.size())) != *hooks_.settingsKey)
      return check::kSettingsChecksum;
    return 0;
  }

 private:
  std::span<const uint8_t> bytes_;
  MemoryReader in_;
  const SettingsReadHooks& hooks_;
};

// Writing side of the same table.
class StreamWriter {
 public:
  static constexpr bool kReading = false;
  explicit StreamWriter(bool checkLimits) : checkLimits_(checkLimits) {}

  void U8(uint8_t& v) { out_.U8(v); }
  void U16(uint16_t& v) { out_.U16(v); }
  void U32(uint32_t& v) { out_.U32(v); }
  void U64(uint64_t& v) { out_.U64(v); }
  void I32(int32_t& v) { out_.I32(v); }
  void F64(double& v) { out_.F64(v); }
  void Text(std::string& v) { out_.Text(v); }
  void Blob(std::vector<uint8_t>& v) { out_.Blob(v); }
  void Bytes(std::vector<uint8_t>& v, size_t n) { out_.Bytes(v, n); }
  bool Limit(bool holds, int) const { return holds || !checkLimits_; }
  int AfterDisplayFields(const SettingsStream&) { return 0; }

  std::vector<uint8_t> Take() { return out_.Take(); }

 private:
  MemoryWriter out_;
  bool checkLimits_;
};

// A list with a count in front: "count" is the list's size when writing.
template <class IO, class T, class Visit>
int CountedList(IO& io, std::vector<T>& list, int code, int maxCount, Visit visit) {
  int32_t count = static_cast<int32_t>(list.size());
  io.I32(count);
  if (!io.Limit(count >= 0 && count <= maxCount, code)) return code;
  if constexpr (IO::kReading) list.resize(count);
  for (T& record : list) visit(record);
  return 0;
}

template <class IO>
void Documents(IO& io, std::vector<std::vector<uint8_t>>& documents) {
  for (auto& document : documents) io.Blob(document);
}

template <class IO>
int DocumentList(IO& io, std::vector<std::vector<uint8_t>>& documents, int code) {
  uint32_t count = static_cast<uint32_t>(documents.size());
  io.U32(count);
  if (!io.Limit(count <= kMaxDocuments, code)) return code;
  if constexpr (IO::kReading) documents.resize(count);
  Documents(io, documents);
  return 0;
}

template <class IO>
void DeleteRecordBody(IO& io, DeleteRecord& r) {
  io.U8(r.condition);
  io.Text(r.value);
  io.U8(r.flags);
}

template <class IO>
int DeleteList(IO& io, std::vector<DeleteRecord>& list) {
  if constexpr (IO::kReading) {
    for (;;) {
      DeleteRecord record;
      io.Text(record.fileSpecification);
      if (record.fileSpecification == kDeleteListEnd) return 0;
      if (list.size() > static_cast<size_t>(kMaxDeleteRecordsBeforeAdd)) return check::kDeleteListLength;
      DeleteRecordBody(io, record);
      list.push_back(std::move(record));
    }
  } else {
    if (!io.Limit(list.size() <= static_cast<size_t>(kMaxDeleteRecordsBeforeAdd) + 1, check::kDeleteListLength))
      return check::kDeleteListLength;
    for (DeleteRecord& record : list) {
      io.Text(record.fileSpecification);
      DeleteRecordBody(io, record);
    }
    std::string end = kDeleteListEnd;
    io.Text(end);
    return 0;
  }
}

template <class IO>
void CloseRecordBody(IO& io, CloseRecord& r) {
  io.Text(r.titlePattern);
  io.Text(r.applicationName);
  uint8_t action = static_cast<uint8_t>(r.action);
  io.U8(action);
  r.action = action;
  io.U8(r.phaseMask);
}

template <class IO>
int CloseList(IO& io, std::vector<CloseRecord>& list) {
  if constexpr (IO::kReading) {
    for (;;) {
      CloseRecord record;
      io.Text(record.classPattern);
      if (record.classPattern == kCloseListEnd) return 0;
      if (list.size() >= static_cast<size_t>(kMaxCloseRecords)) return check::kCloseListLength;
      CloseRecordBody(io, record);
      list.push_back(std::move(record));
    }
  } else {
    if (!io.Limit(list.size() <= static_cast<size_t>(kMaxCloseRecords), check::kCloseListLength))
      return check::kCloseListLength;
    for (CloseRecord& record : list) {
      io.Text(record.classPattern);
      CloseRecordBody(io, record);
    }
    std::string end = kCloseListEnd;
    io.Text(end);
    return 0;
  }
}

template <class IO>
void Association(IO& io, AssociationRecord& r) {
  io.U32(r.options);
  for (std::string* text : {&r.extension, &r.fileType, &r.description, &r.verb, &r.verbLabel, &r.command,
                            &r.language, &r.icon})
    io.Text(*text);
}

template <class IO>
void Shortcut(IO& io, ShortcutRecord& r) {
  for (std::string* text : {&r.target, &r.caption, &r.icon, &r.arguments, &r.workingFolder}) io.Text(*text);
  io.U8(r.desktop);
  io.U8(r.startMenu);
  io.U8(r.startup);
  io.Text(r.customFolder);
  io.U8(r.showMode);
  io.U8(r.permanent);
}

template <class IO>
void Value(IO& io, ValueRecord& r) {
  io.Text(r.name);
  io.U8(r.type);
  io.Text(r.value);
}

template <class IO>
int StringTable(IO& io, StringTableData& t) {
  uint8_t languageCount = static_cast<uint8_t>(t.languages.size());
  if (!io.Limit(t.languages.size() <= kMaxLanguages, check::kLanguageCount)) return check::kLanguageCount;
  io.U8(languageCount);
  if (!io.Limit(languageCount >= 1 && languageCount <= kMaxLanguages, check::kLanguageCount))
    return check::kLanguageCount;
  uint32_t stringCount = static_cast<uint32_t>(t.texts.size());
  io.U32(stringCount);
  if (!io.Limit(stringCount >= 1 && stringCount <= kMaxStrings, check::kStringCount)) return check::kStringCount;
  if constexpr (IO::kReading) {
    t.languages.resize(languageCount);
    t.texts.assign(stringCount, std::vector<std::string>(languageCount));
  }
  for (std::string& name : t.languages) io.Text(name);
  for (auto& perLanguage : t.texts) {
    if constexpr (!IO::kReading) perLanguage.resize(languageCount);
    for (std::string& text : perLanguage) io.Text(text);
  }
  return 0;
}

#define RETURN_IF_FAILED(expr)        \
  do {                                \
    if (int code_ = (expr)) return code_; \
  } while (0)

// The one field table of the settings stream, in stream order.
template <class IO>
int VisitSettings(IO& io, SettingsStream& s) {
  io.U64(s.ProductFlags);
  io.U32(s.ProductFlags2);
  io.U8(s.AutomaticModeSetting);
  io.Text(s.TaskbarText);
  io.Text(s.DisplayTitle);
  io.F64(s.TitleSize);
  io.U32(s.DialogStyleValue);
  RETURN_IF_FAILED(io.AfterDisplayFields(s));
  io.U16(s.ProgressPause);
  if (!io.Limit(s.ProgressPause <= kMaxProgressPause, check::kProgressPause)) return check::kProgressPause;
  io.U8(s.ShortcutMode);
  io.Bytes(s.UninstallerFileRecord, 24);
  io.Text(s.Publisher);
  io.Text(s.ProductName);
  io.Text(s.Description);
  io.U8(s.Bitness);
  io.U8(s.SharedBase);
  io.Text(s.SharedPath);
  io.Text(s.ProductStartMenu);
  io.Text(s.DisplayVersion);
  io.Text(s.InstallDirTemplate);
  io.Text(s.ProductRegistry);
  io.Text(s.RegistryEntryText);
  io.U32(s.BitmapSize);
  if (!io.Limit(s.BitmapSize <= kMaxBitmapSize, check::kBitmapSize)) return check::kBitmapSize;
  io.U32(s.StretchMode);
  RETURN_IF_FAILED(DocumentList(io, s.LicenseTexts, check::kLicenseCount));
  RETURN_IF_FAILED(DocumentList(io, s.ReadmeTexts, check::kReadmeCount));
  io.Text(s.UninstallSubdir);
  io.Text(s.UninstallerFileName);
  io.Text(s.UninstallKeyName);
  io.Text(s.LocationRegistryPath);
  io.Text(s.DialogCaption);
  io.U8(s.SidePictureBorder);
  io.U32(s.TitleColor);
  io.U8(s.TitleShadow);
  io.U8(s.TitlePosition);
  io.Text(s.TitleFont);
  io.U32(s.TopColor);
  io.U32(s.BottomColor);
  uint32_t bitmapLength = static_cast<uint32_t>(s.Bitmap.size());
  io.U32(bitmapLength);
  if (bitmapLength > 0) {
    io.Bytes(s.Bitmap, bitmapLength);
    io.U32(s.BitmapTPI);
  }
  io.U8(s.CopyrightPos);
  if (s.CopyrightPos != 0) {
    io.U32(s.CopyrightColor);
    io.F64(s.CopyrightSize);
    io.Text(s.CopyrightText);
    io.Text(s.CopyrightFont);
  }
  if (s.Flag(kFlagMasterProduct)) {
    io.Text(s.MasterKeyName);
    io.Text(s.MasterDisplayName);
  }
  io.Text(s.DesktopFolderName);
  io.Blob(s.DesktopFolderIcon);
  for (std::string* batch : {&s.PreInstallBatch, &s.PostInstallBatch, &s.InstallExitBatch, &s.UninstallBatch1,
                             &s.UninstallBatch2, &s.UpgradeBatch, &s.ReinstallBatch})
    io.Text(*batch);
  io.Bytes(s.Unused59, 20);
  io.U32(s.ExcludedSystems);
  io.U8(s.ArchiveInFile);
  io.U8(s.AdminMode);
  for (std::string* text : {&s.FinishFile1, &s.FinishApp, &s.FinishFile2, &s.InstallNotifyURL,
                            &s.UpgradeNotifyURL, &s.DowngradeNotifyURL, &s.ReinstallNotifyURL, &s.NotifyURL,
                            &s.UpgradeVersion1, &s.InstallPassword, &s.UpgradeVersion2, &s.FirewallText})
    io.Text(*text);
  for (uint32_t& value : s.WizardBlock) io.U32(value);
  if (s.Flag(kFlagHasUninstaller)) io.Blob(s.UninstallerIcon);
  RETURN_IF_FAILED(DeleteList(io, s.DeleteList));
  RETURN_IF_FAILED(CountedList(io, s.Associations, check::kAssociationCount, kMaxCountedRecords,
                               [&](auto& r) { Association(io, r); }));
  RETURN_IF_FAILED(
      CountedList(io, s.Shortcuts, check::kShortcutCount, kMaxCountedRecords, [&](auto& r) { Shortcut(io, r); }));
  io.Text(s.RootShortcutName);
  io.Text(s.RootShortcutTarget);
  RETURN_IF_FAILED(CountedList(io, s.UninstallValueList, check::kUninstallValueCount, kMaxCountedRecords,
                               [&](auto& r) { Value(io, r); }));
  RETURN_IF_FAILED(CloseList(io, s.CloseList));
  RETURN_IF_FAILED(StringTable(io, s.Strings));
  uint32_t endMarker = kSettingsEndMarker;
  io.U32(endMarker);
  if (endMarker != kSettingsEndMarker) return check::kEndMarker;
  return 0;
}

#undef RETURN_IF_FAILED

}  // namespace

SettingsReadResult ReadSettingsStream(std::span<const uint8_t> stream, const SettingsReadHooks& hooks) {
  SettingsReadResult result;
  StreamReader reader(stream, hooks);
  result.corruptCode = VisitSettings(reader, result.settings);
  result.shortReadAt = reader.shortReadAt();
  return result;
}

SettingsWriteResult WriteSettingsStream(const SettingsStream& settings, bool checkLimits) {
  SettingsWriteResult result;
  SettingsStream copy = settings;
  StreamWriter writer(checkLimits);
  result.corruptCode = VisitSettings(writer, copy);
  if (result.ok()) result.bytes = writer.Take();
  return result;
}

}  // namespace setup
