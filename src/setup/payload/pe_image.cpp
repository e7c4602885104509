#include "setup/payload/pe_image.h"

#include <cstring>

namespace setup {
namespace {

bool IsPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

PeSection SectionFromEntry(const uint8_t* entry) {
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

PositionedRead ReadFromBytes(std::span<const uint8_t> bytes) {
  return [bytes](int64_t offset, void* destination, size_t length) {
    if (offset < 0 || !Inside(static_cast<uint64_t>(offset), length, bytes.size())) return false;
    std::memcpy(destination, bytes.data() + offset, length);
    return true;
  };
}

bool PeHeaderReader::Bytes(uint64_t offset, void* destination, size_t length) const {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return read_(static_cast<int64_t>(offset), destination, length);
}

bool PeHeaderReader::Has(uint64_t offset, uint64_t length) const {
  // Positioned reads fail only past the end, so the last byte tells.
  uint8_t last;
  if (length == 0) return Bytes(offset, &last, 0);
  return offset + length > offset && Bytes(offset + length - 1, &last, 1);
}

std::optional<uint16_t> PeHeaderReader::U16(uint64_t offset) const {
  uint8_t b[2];
  if (!Bytes(offset, b, sizeof b)) return std::nullopt;
  return LoadU16(b);
}

std::optional<uint32_t> PeHeaderReader::U32(uint64_t offset) const {
  uint8_t b[4];
  if (!Bytes(offset, b, sizeof b)) return std::nullopt;
  return LoadU32(b);
}

std::optional<uint32_t> PeHeaderReader::PeHeaderOffset() const {
  const std::optional<uint16_t> pe = U16(kPeOffsetField);
  if (!pe || *pe < kMinPeOffset || *pe > kMaxPeOffset) return std::nullopt;
  return *pe;
}

std::optional<PeSection> PeHeaderReader::SectionEntry(uint64_t tableOffset, uint32_t index) const {
  uint8_t entry[kSectionEntrySize];
  if (!Bytes(tableOffset + uint64_t{index} * kSectionEntrySize, entry, sizeof entry)) return std::nullopt;
  return SectionFromEntry(entry);
}

PeParse ParsePe32(std::span<const uint8_t> image) {
  const PeHeaderReader r(ReadFromBytes(image));
  uint8_t mz[2];
  if (image.size() < 64 || !r.Bytes(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z')
    return Fail("not an executable: no MZ header");
  const std::optional<uint32_t> peOffset = r.PeHeaderOffset();
  if (!peOffset) return Fail("PE header offset outside 64..4096");
  PeLayout l;
  l.peHeaderOffset = *peOffset;
  const uint32_t pe = l.peHeaderOffset;
  uint8_t signature[4];
  const std::optional<uint16_t> magic = r.U16(pe + kPeOptionalHeader);
  if (!magic || !r.Bytes(pe, signature, 4) || std::memcmp(signature, "PE\0\0", 4) != 0)
    return Fail("no PE signature");
  if (*magic != kPe32Magic) return Fail("not a PE32 (32-bit) image");
  // Both lie before the magic, which was read.
  const uint32_t optionalSize = *r.U16(pe + kPeSizeOfOptionalHeader);
  const uint32_t count = *r.U16(pe + kPeNumberOfSections);
  if (optionalSize < kPeCertificateDirectory + 8 - kPeOptionalHeader)
    return Fail("optional header too short for the data directories");
  l.tableOffset = pe + kPeOptionalHeader + optionalSize;
  if (!r.Has(pe, kPeOptionalHeader + optionalSize)) return Fail("optional header cut off");

  // The optional header is long enough for all of these, and all of it is there.
  l.sectionAlignment = *r.U32(pe + kPeSectionAlignment);
  l.fileAlignment = *r.U32(pe + kPeFileAlignment);
  l.sizeOfImage = *r.U32(pe + kPeSizeOfImage);
  l.sizeOfHeaders = *r.U32(pe + kPeSizeOfHeaders);
  l.sizeOfInitializedData = *r.U32(pe + kPeSizeOfInitializedData);
  if (!IsPowerOfTwo(l.fileAlignment) || !IsPowerOfTwo(l.sectionAlignment) || l.fileAlignment > l.sectionAlignment)
    return Fail("file or section alignment is not a power of two up to the section alignment");

  const uint64_t tableSize = uint64_t{count} * kSectionEntrySize;
  if (!r.Has(l.tableOffset, tableSize) || uint64_t{l.tableOffset} + tableSize > l.sizeOfHeaders)
    return Fail("section table lies outside the headers");
  for (uint32_t i = 0; i < count; ++i) {
    const std::optional<PeSection> entry = r.SectionEntry(l.tableOffset, i);
    if (!entry) return Fail("section table lies outside the headers");
    l.sections.push_back(*entry);
  }
  PeParse p;
  p.layout = std::move(l);
  return p;
}

}  // namespace setup
