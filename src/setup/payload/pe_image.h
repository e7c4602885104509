#pragma once
// The parts of a PE32 file's headers that the payload touches: the header
// fields the installer builder raises when it adds the ".setup" section and
// the uninstaller image lowers again when it takes the section out. Every
// offset is checked against the bytes before it is read: the header fields
// and the section table are read only through PeHeaderReader, over
// positioned reads, so the same checked reader serves a file on disk (the
// section locator in the runtime) and bytes in memory (the builder).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace setup {

// Reads `length` bytes at `offset`; false when they are not all there.
using PositionedRead = std::function<bool(int64_t offset, void* destination, size_t length)>;

// Positioned reads of `bytes`, which must outlive the reader.
PositionedRead ReadFromBytes(std::span<const uint8_t> bytes);

// The range of e_lfanew that the runtime accepts.
inline constexpr uint32_t kMinPeOffset = 64;
inline constexpr uint32_t kMaxPeOffset = 4096;

inline constexpr uint32_t kSectionEntrySize = 40;

// Offsets from e_lfanew (the "PE\0\0" signature).
inline constexpr uint32_t kPeOffsetField = 60;  // file offset of e_lfanew
inline constexpr uint32_t kPeNumberOfSections = 6;
inline constexpr uint32_t kPeSizeOfOptionalHeader = 20;
inline constexpr uint32_t kPeOptionalHeader = 24;
inline constexpr uint32_t kPeSizeOfInitializedData = 32;
inline constexpr uint32_t kPeSectionAlignment = 56;
inline constexpr uint32_t kPeFileAlignment = 60;
inline constexpr uint32_t kPeSizeOfImage = 80;
inline constexpr uint32_t kPeSizeOfHeaders = 84;
inline constexpr uint32_t kPeCheckSum = 88;
// The image checksum of the payload covers the file from here (the field
// after CheckSum) up to the ".setup" section's raw data.
inline constexpr uint32_t kPeImageChecksumStart = 92;
inline constexpr uint32_t kPeNumberOfRvaAndSizes = 116;
inline constexpr uint32_t kPeCertificateDirectory = 24 + 128;  // data directory 4 of a PE32 header

inline constexpr uint16_t kPe32Magic = 0x10B;

// Offsets inside a 40-byte section table entry.
inline constexpr uint32_t kSectionVirtualSize = 8;
inline constexpr uint32_t kSectionVirtualAddress = 12;
inline constexpr uint32_t kSectionSizeOfRawData = 16;
inline constexpr uint32_t kSectionPointerToRawData = 20;
inline constexpr uint32_t kSectionCharacteristics = 36;

inline constexpr uint32_t kSectionInitializedData = 0x00000040;
inline constexpr uint32_t kSectionMemRead = 0x40000000;

uint16_t LoadU16(const uint8_t* p);
uint32_t LoadU32(const uint8_t* p);
void StoreU16(uint8_t* p, uint16_t value);
void StoreU32(uint8_t* p, uint32_t value);

// True when [offset, offset + length) lies inside `size` bytes, without overflow.
constexpr bool Inside(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

constexpr uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

struct PeSection {
  std::string name;  // the 8-byte name field up to its first NUL
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t sizeOfRawData = 0;
  uint32_t pointerToRawData = 0;
  uint32_t characteristics = 0;
};

// The headers of a PE32 image as the builder needs them.
struct PeLayout {
  uint32_t peHeaderOffset = 0;  // e_lfanew
  uint32_t tableOffset = 0;     // file offset of the section table
  uint32_t sizeOfHeaders = 0;
  uint32_t fileAlignment = 0;
  uint32_t sectionAlignment = 0;
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfInitializedData = 0;
  std::vector<PeSection> sections;

  uint32_t TableEnd() const { return tableOffset + static_cast<uint32_t>(sections.size()) * kSectionEntrySize; }
};

// Checked reads of the PE headers and the section table through positioned
// reads: every read that does not find all its bytes gives nothing.
class PeHeaderReader {
 public:
  explicit PeHeaderReader(PositionedRead read) : read_(std::move(read)) {}

  // True when all of [offset, offset + length) can be read.
  bool Has(uint64_t offset, uint64_t length) const;
  bool Bytes(uint64_t offset, void* destination, size_t length) const;
  std::optional<uint16_t> U16(uint64_t offset) const;
  std::optional<uint32_t> U32(uint64_t offset) const;

  // e_lfanew (16 bits of it), when it can be read and lies in
  // kMinPeOffset..kMaxPeOffset.
  std::optional<uint32_t> PeHeaderOffset() const;
  // The entry `index` of the section table at `tableOffset`, when all of
  // its 40 bytes can be read.
  std::optional<PeSection> SectionEntry(uint64_t tableOffset, uint32_t index) const;

 private:
  PositionedRead read_;
};

struct PeParse {
  std::string error;  // empty when `layout` describes the image
  PeLayout layout;
  bool ok() const { return error.empty(); }
};

// Reads and checks the headers of a PE32 image: "MZ", e_lfanew inside the
// range the section locator accepts, "PE\0\0", the PE32 optional header,
// power-of-two alignments and a section table that lies inside the headers.
PeParse ParsePe32(std::span<const uint8_t> image);

}  // namespace setup
