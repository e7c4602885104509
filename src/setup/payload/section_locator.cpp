#include "setup/payload/section_locator.h"

#include <cstring>

#include "setup/payload/check_codes.h"

namespace setup {
namespace {

constexpr char kSectionName[] = ".setup";

bool ReadU16(const PositionedRead& read, int64_t offset, uint32_t& value) {
  uint8_t b[2];
  if (!read(offset, b, 2)) return false;
  value = b[0] | (b[1] << 8);
  return true;
}

uint32_t U32At(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

LocateResult Corrupt(int code) {
  LocateResult r;
  r.outcome = LocateOutcome::kCorrupt;
  r.corruptCode = code;
  return r;
}

// The 8-byte name field, taken as a NUL-terminated text.
bool NameIsSetup(const uint8_t* entry) {
  char name[9] = {};
  std::memcpy(name, entry, 8);
  return std::strcmp(name, kSectionName) == 0;
}

}  // namespace

PositionedRead ReadFromBytes(std::span<const uint8_t> bytes) {
  return [bytes](int64_t offset, void* destination, size_t length) {
    if (offset < 0 || static_cast<uint64_t>(offset) > bytes.size() ||
        length > bytes.size() - static_cast<size_t>(offset))
      return false;
    std::memcpy(destination, bytes.data() + offset, length);
    return true;
  };
}

LocateResult LocateSetupSection(const PositionedRead& read) {
  uint32_t peOffset = 0, sectionCount = 0, optionalHeaderSize = 0;
  if (!ReadU16(read, 60, peOffset) || peOffset < 64 || peOffset > 4096) return Corrupt(check::kPeHeaderOffset);
  if (!ReadU16(read, peOffset + 6, sectionCount) || sectionCount < 4 || sectionCount > 99)
    return Corrupt(check::kSectionCount);
  // A missing optional-header size reads as none: the walk below then finds
  // no table entries it can read and reports no section.
  if (!ReadU16(read, peOffset + 20, optionalHeaderSize)) optionalHeaderSize = 0;

  LocateResult result;
  result.outcome = LocateOutcome::kNoSection;
  const uint32_t tableOffset = peOffset + 24 + optionalHeaderSize;
  for (uint32_t i = 0; i < sectionCount; ++i) {
    uint8_t entry[kSectionEntrySize];
    const uint32_t entryOffset = tableOffset + i * kSectionEntrySize;
    if (!read(entryOffset, entry, sizeof entry)) break;
    if (!NameIsSetup(entry)) continue;
    SetupSection& s = result.section;
    s.peHeaderOffset = peOffset;
    s.sectionCount = sectionCount;
    s.tableOffset = tableOffset;
    s.index = i;
    s.entryOffset = entryOffset;
    s.virtualAddress = U32At(entry + 12);
    s.sizeOfRawData = U32At(entry + 16);
    s.pointerToRawData = U32At(entry + 20);
    if (s.pointerToRawData == 0) return Corrupt(check::kNoRawData);
    result.outcome = LocateOutcome::kFound;
    return result;
  }
  return result;
}

}  // namespace setup
