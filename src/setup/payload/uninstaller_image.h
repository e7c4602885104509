#pragma once
// The uninstaller image: the program's own file without its ".setup"
// section. Built from positioned reads of that file, so the same code runs
// over the open file in the runtime and over bytes in the tools and tests.
#include <cstdint>
#include <span>
#include <vector>

#include "setup/payload/section_locator.h"

namespace setup {

struct UninstallerImageInput {
  SetupSection section;        // as the section locator found it
  int64_t fileLength = 0;      // length of the program's file
  uint32_t imageChecksum = 0;  // ImageChecksum of the payload header
  bool compareChecksum = false;  // ProductFlags bit 32
  bool buildImage = false;       // ProductFlags2 bit 5
};

struct UninstallerImageResult {
  int corruptCode = 0;
  bool built = false;            // false: the uninstaller is a copy of the program's file
  std::vector<uint8_t> image;    // with `built`
  int64_t uninstallerSize = 0;   // the image's length, or the file's when not built
  bool ok() const { return corruptCode == 0; }
};

// PayloadChecksum of `bytesBeforeSection` from e_lfanew + 92 to their end.
uint32_t ImageChecksumOf(std::span<const uint8_t> bytesBeforeSection, uint32_t peHeaderOffset);

// The six steps: the bytes before the section's raw data (35 when they
// cannot be read, and when their header fields or section table lie beyond
// them; 40 on a checksum mismatch when compared); stop there unless the
// image is wanted; the bytes after the raw data appended (42); the number
// of sections, the size of initialized data and SizeOfImage lowered; the
// entries after ".setup" moved up with their PointerToRawData lowered by
// its SizeOfRawData, the freed last slot filled from the 40 bytes after the
// table.
UninstallerImageResult BuildUninstallerImage(const PositionedRead& read, const UninstallerImageInput& input);

}  // namespace setup
