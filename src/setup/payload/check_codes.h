#pragma once
// Corrupt-installer check codes of the payload container, of the settings
// stream and of the file records in its archive. The runtime shows the code
// in its corrupt-installer message; the authoring tool's inspection reports
// the same numbers.
namespace setup::check {

inline constexpr int kNoRawData = 9;             // ".setup" entry with PointerToRawData 0
inline constexpr int kCannotPosition = 10;       // the file cannot be positioned at the raw data
inline constexpr int kProgressPause = 19;        // ProgressPause above kMaxProgressPause
inline constexpr int kPayloadMagic = 20;
inline constexpr int kSettingsPackedSize = 22;   // not 0 < size < 0x3200000
inline constexpr int kLicenseCount = 24;         // more license documents than kMaxDocuments
inline constexpr int kSettingsChecksum = 25;     // unpacked settings stream against SettingsKey
inline constexpr int kReadmeCount = 26;          // more readme documents than kMaxDocuments
inline constexpr int kFileCount = 27;            // negative
inline constexpr int kFileSize = 28;             // a FileSizes entry negative, above 1 GiB or missing
inline constexpr int kArchiveSize = 29;          // negative
inline constexpr int kLanguageCount = 30;        // no language, or more than kMaxLanguages
inline constexpr int kStringCount = 31;          // no string, or more than kMaxStrings
inline constexpr int kEndMarker = 32;            // the settings stream does not end in kSettingsEndMarker
inline constexpr int kImageUnreadable = 35;      // the file before the section
inline constexpr int kAssociationCount = 36;     // negative or above kMaxCountedRecords
inline constexpr int kUninstallValueCount = 37;  // negative or above kMaxCountedRecords
inline constexpr int kDeleteListLength = 38;     // more delete records than kMaxDeleteRecordsBeforeAdd + 1
inline constexpr int kBitmapSize = 39;           // BitmapSize above kMaxBitmapSize
inline constexpr int kImageChecksum = 40;
inline constexpr int kCloseListLength = 41;      // more close records than kMaxCloseRecords
inline constexpr int kImageTailUnreadable = 42;  // the bytes after the section
inline constexpr int kPeHeaderOffset = 43;
inline constexpr int kSectionCount = 44;
inline constexpr int kPayloadEnd = 45;           // negative
inline constexpr int kArchiveLength = 46;        // the archive found is not ArchiveSize bytes
inline constexpr int kSettingsUnpack = 47;
inline constexpr int kShortcutCount = 48;        // negative or above kMaxCountedRecords
inline constexpr int kArchiveChecksum = 55;
inline constexpr int kChunkUnpack = 60;
inline constexpr int kChunkSize = 61;            // not positive
inline constexpr int kChunkChecksum = 62;
inline constexpr int kChunkTooLong = 63;         // longer than the unread rest of the archive
inline constexpr int kEmptyFileName = 70;
inline constexpr int kNegativeFileSize = 71;
inline constexpr int kFileSizeTooLarge = 72;
inline constexpr int kArchiveLeftOver = 80;      // archive bytes unread after the last file
inline constexpr int kRecordsLeftOver = 83;      // unpacked bytes unread after the last file
inline constexpr int kDataChecksum = 100;        // a record's data, or a record that does not hold its fields
inline constexpr int kFileKind = 110;

}  // namespace setup::check
