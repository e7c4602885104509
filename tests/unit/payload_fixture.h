#pragma once
// Test fixtures of the payload container: a small valid PE32 program with
// the sections a runtime has, settings and files to build installers from.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "setup/payload/file_record.h"
#include "setup/payload/pe_image.h"
#include "setup/payload/settings_stream.h"
#include "settings_fixture.h"

namespace setup::fixture {

using Bytes = std::vector<uint8_t>;

inline constexpr uint32_t kPeOffset = 0x80;
inline constexpr uint32_t kOptionalHeaderSize = 0xE0;
inline constexpr uint32_t kTableOffset = kPeOffset + 24 + kOptionalHeaderSize;
inline constexpr uint32_t kFileAlignment = 0x200;
inline constexpr uint32_t kSectionAlignment = 0x1000;
inline constexpr uint32_t kSizeOfHeaders = 0x400;

struct Section {
  std::string name;
  uint32_t rawSize = kFileAlignment;  // a multiple of kFileAlignment
};

// A PE32 image: headers in the first 0x400 bytes, then each section's raw
// data (filled with a pattern of its index) one after the other, each
// mapped at the next SectionAlignment boundary. `trailing` bytes follow
// the last section. Every header sum (SizeOfImage, SizeOfInitializedData)
// is what a linker would write.
inline Bytes MakePe32(const std::vector<Section>& sections, size_t trailing = 0,
                      uint32_t sizeOfHeaders = kSizeOfHeaders) {
  Bytes b(sizeOfHeaders, 0);
  b[0] = 'M';
  b[1] = 'Z';
  StoreU16(&b[kPeOffsetField], kPeOffset);
  std::memcpy(&b[kPeOffset], "PE\0\0", 4);
  uint8_t* h = &b[kPeOffset];
  StoreU16(h + 4, 0x14C);
  StoreU16(h + kPeNumberOfSections, static_cast<uint16_t>(sections.size()));
  StoreU16(h + kPeSizeOfOptionalHeader, kOptionalHeaderSize);
  StoreU16(h + 22, 0x0102);
  StoreU16(h + kPeOptionalHeader, kPe32Magic);
  StoreU32(h + kPeSectionAlignment, kSectionAlignment);
  StoreU32(h + kPeFileAlignment, kFileAlignment);
  StoreU32(h + kPeSizeOfHeaders, sizeOfHeaders);
  StoreU16(h + 92, 2);  // Subsystem: GUI
  StoreU32(h + kPeNumberOfRvaAndSizes, 16);
  uint32_t raw = sizeOfHeaders, address = kSectionAlignment, initialized = 0;
  for (size_t i = 0; i < sections.size(); ++i) {
    uint8_t* e = &b[kTableOffset + i * 40];
    std::memcpy(e, sections[i].name.data(), std::min<size_t>(sections[i].name.size(), 8));
    StoreU32(e + kSectionVirtualSize, sections[i].rawSize);
    StoreU32(e + kSectionVirtualAddress, address);
    StoreU32(e + kSectionSizeOfRawData, sections[i].rawSize);
    StoreU32(e + kSectionPointerToRawData, raw);
    StoreU32(e + kSectionCharacteristics, kSectionInitializedData | kSectionMemRead);
    raw += sections[i].rawSize;
    address += static_cast<uint32_t>(AlignUp(sections[i].rawSize, kSectionAlignment));
    initialized += sections[i].rawSize;
  }
  StoreU32(h + kPeSizeOfInitializedData, initialized);
  StoreU32(h + kPeSizeOfImage, address);
  for (size_t i = 0; i < sections.size(); ++i)
    b.insert(b.end(), sections[i].rawSize, static_cast<uint8_t>(0x10 + i));
  b.insert(b.end(), trailing, 0xEE);
  return b;
}

inline Bytes MakeRuntime() { return MakePe32({{".text"}, {".data"}, {".rdata"}, {".idata"}, {".rsrc"}}); }

inline uint32_t U32At(const Bytes& b, size_t at) { return LoadU32(&b[at]); }
inline void PutU32(Bytes& b, size_t at, uint32_t v) { StoreU32(&b[at], v); }

// Settings that make the runtime compare every checksum and build the
// uninstaller image.
inline SettingsStream MakeSettings() {
  SettingsStream s = ExampleProduct();
  s.ProductFlags = (uint64_t{1} << kFlagCompareChecksums) | (uint64_t{1} << kFlagHasUninstaller);
  s.ProductFlags2 = 1u << kFlag2BuildUninstallerImage;
  s.DisplayVersion = "1.0";
  s.UninstallerFileName = "uninstall.exe";
  s.LicenseTexts = {{'L', 'i', 'c'}};
  s.DeleteList = {{"%InstallDir%\\old.txt", 1, "2020-01-01", 3}};
  s.Strings.languages = {"English"};
  s.Strings.texts = {{"Example"}, {"Corrupt installer (%d)"}};
  return s;
}

inline FileRecord MakeFile(std::string name, Bytes data, uint32_t kind = 0, uint32_t flags = 0) {
  FileRecord f;
  f.name = std::move(name);
  f.kind = kind;
  f.flags = flags;
  f.stamp = tl::DateTime{2024, 5, 17, 13, 45, 10};
  f.data = std::move(data);
  return f;
}

// Files of several kinds, each optional field in use somewhere.
inline std::vector<FileRecord> MakeFiles() {
  std::vector<FileRecord> files;
  files.push_back(MakeFile("app.exe", Bytes(3000, 'A'), 0, kFileFlagDesktopShortcut | kFileFlagStartMenuShortcut));
  files.back().text = "Example";
  files.back().shortcutIcon = "app.exe,0";
  files.back().shortcutArguments = "/quiet";
  files.back().shortcutWorkingFolder = "%InstallDir%";
  files.push_back(MakeFile("empty.txt", {}, 0));
  files.push_back(MakeFile("sub\\shared.dll", Bytes{1, 2, 3, 4, 5, 6, 7}, 1, kFileFlagPermanent));
  files.back().attributes = 0x21;
  files.back().target = "%SharedDir%\\lib\\";
  files.push_back(MakeFile("pkg.msi", Bytes(517, 0x5A), 11, kFileFlagRecordPackage));
  files.back().packageOption = 7;
  files.back().stamp = tl::DateTime{};  // no date, no time
  return files;
}

}  // namespace setup::fixture
