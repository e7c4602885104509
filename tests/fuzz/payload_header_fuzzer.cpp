// Garbage must not crash the header check or the settings block step. A
// header that passes is written back byte for byte, and every archive
// place it leads to lies inside the section.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "setup/payload/archive.h"
#include "setup/payload/payload_header.h"
#include "setup/payload/scramble.h"

namespace {

// Settings blocks that state more are left out: the allocation is not what
// is under test, and the limit check itself runs in the unit tests.
constexpr uint32_t kMaxStream = uint32_t{16} << 20;

void Check(bool condition) {
  if (!condition) std::abort();
}

uint32_t StatedSize(const uint8_t* section, size_t size, const setup::PayloadHeader& h) {
  const int64_t at = h.SettingsOffset();
  if (h.SettingsPackedSize < 8 || at + h.SettingsPackedSize > static_cast<int64_t>(size)) return 0;
  std::vector<uint8_t> head(section + at, section + at + 8);
  setup::Unscramble(head, h.SettingsKey);
  return uint32_t{head[4]} | uint32_t{head[5]} << 8 | uint32_t{head[6]} << 16 | uint32_t{head[7]} << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> section(data, size);
  const setup::HeaderReadResult read = setup::ReadPayloadHeader(section);
  if (read.outcome == setup::HeaderOutcome::kCorrupt) {
    Check(read.corruptCode != 0);
    return 0;
  }
  Check(read.corruptCode == 0);
  if (!read.ok()) return 0;

  const setup::PayloadHeader& h = read.header;
  Check(h.FileSizes.size() == static_cast<size_t>(h.FileCount));
  // Fields cut off by the end of the section read as zeros and may pass;
  // a header that is all there is written back as it stands.
  const std::vector<uint8_t> written = setup::WritePayloadHeader(h);
  if (static_cast<int64_t>(size) >= h.SettingsOffset())
    Check(std::equal(written.begin(), written.end(), data));

  const setup::ArchivePlace place = setup::PlaceArchiveInSection(h, size);
  if (place.ok()) Check(place.offset >= 0 && place.offset + place.length <= static_cast<int64_t>(size));

  if (StatedSize(data, size, h) > kMaxStream) return 0;
  const setup::SettingsBlockResult block = setup::UnpackSettingsBlock(section, h);
  Check(block.ok() || block.stream.empty());
  return 0;
}
