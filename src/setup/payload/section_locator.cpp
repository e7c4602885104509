#include "setup/payload/section_locator.h"

#include "setup/payload/check_codes.h"

namespace setup {
namespace {

constexpr char kSectionName[] = ".setup";

LocateResult Corrupt(int code) {
  LocateResult r;
  r.outcome = LocateOutcome::kCorrupt;
  r.corruptCode = code;
  return r;
}

}  // namespace

LocateResult LocateSetupSection(const PositionedRead& read) {
  const PeHeaderReader r(read);
  const std::optional<uint32_t> peOffset = r.PeHeaderOffset();
  if (!peOffset) return Corrupt(check::kPeHeaderOffset);
  const std::optional<uint16_t> sectionCount = r.U16(*peOffset + kPeNumberOfSections);
  if (!sectionCount || *sectionCount < 4 || *sectionCount > 99) return Corrupt(check::kSectionCount);
  // A missing optional-header size reads as none: the walk below then finds
  // no table entries it can read and reports no section.
  const uint32_t optionalHeaderSize = r.U16(*peOffset + kPeSizeOfOptionalHeader).value_or(0);

  LocateResult result;
  result.outcome = LocateOutcome::kNoSection;
  const uint32_t tableOffset = *peOffset + kPeOptionalHeader + optionalHeaderSize;
  for (uint32_t i = 0; i < *sectionCount; ++i) {
    // The name is the 8-byte field up to its first NUL, compared as a whole.
    const std::optional<PeSection> entry = r.SectionEntry(tableOffset, i);
    if (!entry) break;
    if (entry->name != kSectionName) continue;
    SetupSection& s = result.section;
    s.peHeaderOffset = *peOffset;
    s.sectionCount = *sectionCount;
    s.tableOffset = tableOffset;
    s.index = i;
    s.entryOffset = tableOffset + i * kSectionEntrySize;
    s.virtualAddress = entry->virtualAddress;
    s.sizeOfRawData = entry->sizeOfRawData;
    s.pointerToRawData = entry->pointerToRawData;
    if (s.pointerToRawData == 0) return Corrupt(check::kNoRawData);
    result.outcome = LocateOutcome::kFound;
    return result;
  }
  return result;
}

}  // namespace setup
