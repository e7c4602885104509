#include "setup/payload/pe_image.h"

#include <cstring>

namespace setup {
namespace {

constexpr uint32_t kMinPeOffset = 64;
constexpr uint32_t kMaxPeOffset = 4096;

bool IsPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

PeSection ReadSectionEntry(const uint8_t* entry) {
  PeSection s;
  char name[9] = {};
  std::memcpy(name, entry, 8);
  s.name = name;
  s.virtualSize = LoadU32(entry + kSectionVirtualSize);
  s.virtualAddress = LoadU32(entry + kSectionVirtualAddress);
  s.sizeOfRawData = LoadU32(entry + kSectionSizeOfRawData);
  s.pointerToRawData = LoadU32(entry + kSectionPointerToRawData);
  s.characteristics = LoadU32(entry + kSectionCharacteristics);
  return s;
}

PeParse Fail(const char* why) {
  PeParse p;
  p.error = why;
  return p;
}

}  // namespace

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t LoadU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void StoreU16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

void StoreU32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

PeParse ParsePe32(std::span<const uint8_t> image) {
  const uint8_t* b = image.data();
  if (image.size() < 64 || b[0] != 'M' || b[1] != 'Z') return Fail("not an executable: no MZ header");
  PeLayout l;
  l.peHeaderOffset = LoadU16(b + kPeOffsetField);
  if (l.peHeaderOffset < kMinPeOffset || l.peHeaderOffset > kMaxPeOffset)
    return Fail("PE header offset outside 64..4096");
  const uint32_t pe = l.peHeaderOffset;
  if (!Inside(pe, kPeOptionalHeader + 2, image.size()) || std::memcmp(b + pe, "PE\0\0", 4) != 0)
    return Fail("no PE signature");
  if (LoadU16(b + pe + kPeOptionalHeader) != kPe32Magic) return Fail("not a PE32 (32-bit) image");
  const uint32_t optionalSize = LoadU16(b + pe + kPeSizeOfOptionalHeader);
  if (optionalSize < kPeCertificateDirectory + 8 - kPeOptionalHeader)
    return Fail("optional header too short for the data directories");
  l.tableOffset = pe + kPeOptionalHeader + optionalSize;
  if (!Inside(pe, kPeOptionalHeader + optionalSize, image.size())) return Fail("optional header cut off");

  l.sectionAlignment = LoadU32(b + pe + kPeSectionAlignment);
  l.fileAlignment = LoadU32(b + pe + kPeFileAlignment);
  l.sizeOfImage = LoadU32(b + pe + kPeSizeOfImage);
  l.sizeOfHeaders = LoadU32(b + pe + kPeSizeOfHeaders);
  l.sizeOfInitializedData = LoadU32(b + pe + kPeSizeOfInitializedData);
  if (!IsPowerOfTwo(l.fileAlignment) || !IsPowerOfTwo(l.sectionAlignment) || l.fileAlignment > l.sectionAlignment)
    return Fail("file or section alignment is not a power of two up to the section alignment");

  const uint32_t count = LoadU16(b + pe + kPeNumberOfSections);
  if (!Inside(l.tableOffset, uint64_t{count} * 40, image.size()) ||
      uint64_t{l.tableOffset} + uint64_t{count} * 40 > l.sizeOfHeaders)
    return Fail("section table lies outside the headers");
  for (uint32_t i = 0; i < count; ++i) l.sections.push_back(ReadSectionEntry(b + l.tableOffset + i * 40));
  PeParse p;
  p.layout = std::move(l);
  return p;
}

}  // namespace setup
