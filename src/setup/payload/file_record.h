#pragma once
// One file of the archive: its target, treatment and bytes. In the unpacked
// archive each record is an i32 length followed by that many body bytes;
// one field list (file_record.cpp) serves reader and writer.
//
//   name text, u32 kind, u32 flags, u32 attributes, stamp (six i32),
//   text, [shortcut icon text when flags bit 0 or 1], shortcut arguments,
//   target, shortcut working folder, [u32 package option when kind 11],
//   data (its FileSizes entry of bytes), u32 PayloadChecksum of the data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tl_core/date_time.h"

namespace setup {

enum class FileKind : uint32_t {
  kApplication = 0,
  kShared = 1,
  kFont = 4,
  kStartupApplication = 5,
  kSystem = 6,
  kComServer = 7,
  kTypeLibrary = 8,
  kVersionedApplication = 9,
  kDriverPackage = 10,
  kInstallerPackage = 11,
  kControlPanelApplet = 12,
};

// The stored value of a kind, as FileRecord::kind holds it.
inline constexpr uint32_t KindValue(FileKind kind) { return static_cast<uint32_t>(kind); }

// 2, 3 and values above 12 are no kind.
bool IsKnownFileKind(uint32_t kind);

inline constexpr uint32_t kFileFlagDesktopShortcut = 1u << 0;
inline constexpr uint32_t kFileFlagStartMenuShortcut = 1u << 1;
inline constexpr uint32_t kFileFlagReplaceModeShift = 2;  // bits 2-4
inline constexpr uint32_t kFileFlagReplaceModeMask = 7u << kFileFlagReplaceModeShift;
inline constexpr uint32_t kFileFlagPermanent = 1u << 5;
inline constexpr uint32_t kFileFlagUninstallDataFolder = 1u << 6;
inline constexpr uint32_t kFileFlagRecordPackage = 1u << 7;

inline constexpr uint32_t kKeepAttributes = 0xFFFFFFFF;

// Bytes of a body besides the data that a reader accepts (all texts and
// fixed fields together). A length prefix beyond its data size plus this is
// refused before any chunk is taken for it.
inline constexpr size_t kMaxRecordFieldsSize = size_t{1} << 20;
// Body bytes of the fixed-width fields: kind, flags, attributes, stamp, checksum.
inline constexpr size_t kRecordFixedFieldsSize = 4 + 4 + 4 + 24 + 4;

struct FileRecord {
  std::string name;  // relative to the kind's default folder; at least one character
  uint32_t kind = 0;
  uint32_t flags = 0;
  uint32_t attributes = kKeepAttributes;
  tl::DateTime stamp;
  std::string text;                   // version, font face or shortcut caption
  std::string shortcutIcon;           // stored only when flags bit 0 or 1 is set
  std::string shortcutArguments;
  std::string target;                 // empty: the default folder
  std::string shortcutWorkingFolder;
  uint32_t packageOption = 0;         // stored only for kind 11
  std::vector<uint8_t> data;

  bool HasShortcut() const { return (flags & (kFileFlagDesktopShortcut | kFileFlagStartMenuShortcut)) != 0; }
  bool operator==(const FileRecord&) const = default;
};

// A parsed body: every field, the data as a view into the body.
struct FileRecordView {
  FileRecord fields;  // `data` stays empty
  std::span<const uint8_t> data;

  FileRecord ToRecord() const;
};

// Parses one record body (without its length prefix) whose data is
// `dataSize` bytes (its FileSizes entry). Check codes, in the order the
// fields are met: 70 empty name, 71 negative size, 72 size above 1 GiB, 100
// data checksum (also a body that ends before its fields or holds bytes
// after them), 110 a kind outside the table. 0 on success.
int ParseFileRecord(std::span<const uint8_t> body, int32_t dataSize, FileRecordView& out);

// Why a record cannot be stored so that the reader takes it back unchanged,
// or empty: empty name, a text holding a NUL, unknown kind, data above
// 1 GiB, fields above kMaxRecordFieldsSize, a shortcut icon without a
// shortcut flag, a package option on another kind than 11.
std::string FileRecordError(const FileRecord& record);

// The body bytes; the data checksum is computed here.
std::vector<uint8_t> WriteFileRecordBody(const FileRecord& record);
// The i32 length prefix and the body, appended to `out`.
void AppendFileRecord(std::vector<uint8_t>& out, const FileRecord& record);

}  // namespace setup
