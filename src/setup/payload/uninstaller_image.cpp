#include "setup/payload/uninstaller_image.h"

#include <cstring>

#include "setup/payload/check_codes.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/pe_image.h"

namespace setup {
namespace {

// Reads [offset, offset + length) of the file into `out`, growing it.
bool AppendRead(const PositionedRead& read, int64_t offset, uint64_t length, std::vector<uint8_t>& out) {
  const size_t at = out.size();
  try {
    out.resize(at + length);
  } catch (const std::exception&) {
    return false;
  }
  return length == 0 || read(offset, out.data() + at, length);
}

// The header edits stay inside the bytes before the section: headers
// that lie beyond them are damage, not something to patch in the tail.

// Step 4: one section less, and its raw size out of the two size fields.
bool LowerHeaderSizes(std::vector<uint8_t>& image, const SetupSection& s) {
  const uint32_t pe = s.peHeaderOffset;
  if (!Inside(pe, kPeSizeOfImage + 4, s.pointerToRawData)) return false;
  uint8_t* header = image.data() + pe;
  StoreU16(header + kPeNumberOfSections, static_cast<uint16_t>(LoadU16(header + kPeNumberOfSections) - 1));
  StoreU32(header + kPeSizeOfInitializedData, LoadU32(header + kPeSizeOfInitializedData) - s.sizeOfRawData);
  StoreU32(header + kPeSizeOfImage, LoadU32(header + kPeSizeOfImage) - s.sizeOfRawData);
  return true;
}

// Step 5: the entries after ".setup" move up one slot; the freed last slot
// takes the 40 bytes that follow the table.
bool RemoveSectionEntry(std::vector<uint8_t>& image, const SetupSection& s) {
  const uint64_t tableEnd = uint64_t{s.tableOffset} + uint64_t{s.sectionCount} * kSectionEntrySize;
  if (s.index >= s.sectionCount ||
      !Inside(s.tableOffset, tableEnd - s.tableOffset + kSectionEntrySize, s.pointerToRawData))
    return false;
  uint8_t* table = image.data() + s.tableOffset;
  for (uint32_t i = s.index + 1; i < s.sectionCount; ++i) {
    uint8_t* moved = table + (i - 1) * kSectionEntrySize;
    std::memcpy(moved, table + i * kSectionEntrySize, kSectionEntrySize);
    StoreU32(moved + kSectionPointerToRawData, LoadU32(moved + kSectionPointerToRawData) - s.sizeOfRawData);
  }
  std::memcpy(table + (s.sectionCount - 1) * kSectionEntrySize, table + s.sectionCount * kSectionEntrySize,
              kSectionEntrySize);
  return true;
}

UninstallerImageResult Corrupt(int code) {
  UninstallerImageResult result;
  result.corruptCode = code;
  return result;
}

}  // namespace

uint32_t ImageChecksumOf(std::span<const uint8_t> bytesBeforeSection, uint32_t peHeaderOffset) {
  const uint64_t start = uint64_t{peHeaderOffset} + kPeImageChecksumStart;
  if (start >= bytesBeforeSection.size()) return PayloadChecksum(nullptr, 0);
  return PayloadChecksum(bytesBeforeSection.subspan(static_cast<size_t>(start)));
}

UninstallerImageResult BuildUninstallerImage(const PositionedRead& read, const UninstallerImageInput& input) {
  const SetupSection& s = input.section;
  UninstallerImageResult result;
  if (s.pointerToRawData > input.fileLength || !AppendRead(read, 0, s.pointerToRawData, result.image))
    return Corrupt(check::kImageUnreadable);
  if (input.compareChecksum && ImageChecksumOf(result.image, s.peHeaderOffset) != input.imageChecksum)
    return Corrupt(check::kImageChecksum);
  if (!input.buildImage) {
    result.image = {};
    result.uninstallerSize = input.fileLength;
    return result;
  }
  const int64_t tail = int64_t{s.pointerToRawData} + s.sizeOfRawData;
  if (tail < input.fileLength &&
      !AppendRead(read, tail, static_cast<uint64_t>(input.fileLength - tail), result.image))
    return Corrupt(check::kImageTailUnreadable);
  if (!LowerHeaderSizes(result.image, s) || !RemoveSectionEntry(result.image, s))
    return Corrupt(check::kImageUnreadable);
  result.built = true;
  result.uninstallerSize = static_cast<int64_t>(result.image.size());
  return result;
}

}  // namespace setup
