#pragma once
// Finds the ".setup" section through the PE section table of the program's
// own file. The locator sees positioned reads only (PositionedRead, read
// through the checked PeHeaderReader of pe_image.h), so it runs over a file
// as well as over bytes in memory (tests, fuzzers, the authoring tool).
#include <cstdint>

#include "setup/payload/pe_image.h"

namespace setup {

struct SetupSection {
  uint32_t peHeaderOffset = 0;    // e_lfanew
  uint32_t sectionCount = 0;
  uint32_t tableOffset = 0;       // file offset of the section table
  uint32_t index = 0;             // index of the ".setup" entry
  uint32_t entryOffset = 0;       // file offset of the ".setup" entry
  uint32_t virtualAddress = 0;
  uint32_t sizeOfRawData = 0;
  uint32_t pointerToRawData = 0;
};

enum class LocateOutcome { kFound, kNoSection, kCorrupt };

struct LocateResult {
  LocateOutcome outcome = LocateOutcome::kCorrupt;
  int corruptCode = 0;  // the corrupt-installer check code when kCorrupt
  SetupSection section;
};

// Check codes: 43 (e_lfanew), 44 (number of sections), 9 (no raw data).
LocateResult LocateSetupSection(const PositionedRead& read);

}  // namespace setup
