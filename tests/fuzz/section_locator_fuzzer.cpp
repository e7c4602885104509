// Garbage must not crash the section locator or the uninstaller image built
// from what it finds. A section it finds is the entry it says, and an image
// is the file without the section's raw data.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "setup/payload/section_locator.h"
#include "setup/payload/uninstaller_image.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  const setup::LocateResult located = setup::LocateSetupSection(setup::ReadFromBytes(file));
  if (located.outcome != setup::LocateOutcome::kFound) {
    Check(located.outcome == setup::LocateOutcome::kNoSection || located.corruptCode != 0);
    return 0;
  }
  const setup::SetupSection& s = located.section;
  Check(s.sectionCount >= 4 && s.sectionCount <= 99 && s.index < s.sectionCount);
  Check(s.entryOffset == s.tableOffset + s.index * setup::kSectionEntrySize);
  Check(s.entryOffset + setup::kSectionEntrySize <= size);
  Check(std::memcmp(data + s.entryOffset, ".setup\0", 7) == 0);
  Check(s.pointerToRawData != 0);

  setup::UninstallerImageInput input;
  input.section = s;
  input.fileLength = static_cast<int64_t>(size);
  input.buildImage = true;
  const setup::UninstallerImageResult image = setup::BuildUninstallerImage(setup::ReadFromBytes(file), input);
  if (!image.ok()) return 0;
  const uint64_t tail = uint64_t{s.pointerToRawData} + s.sizeOfRawData;
  Check(image.image.size() == s.pointerToRawData + (tail < size ? size - tail : 0));
  return 0;
}
