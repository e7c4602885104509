// Garbage must not crash the icon file reader. What it accepts holds
// together: one image per entry, each inside the input and as long as its
// entry says, and the group resource built from them repeats each entry's
// first 12 bytes with the next resource number.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "setup/integration/icon_file.h"
#include "setup/payload/pe_image.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  const setup::IconFileRead read = setup::ReadIconFile(file);
  if (!read.ok()) {
    Check(read.images.empty());
    return 0;
  }
  const size_t count = setup::LoadU16(data + 4);
  Check(read.images.size() == count && count <= setup::kMaxIconFileImages);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + setup::kIconFileHeaderSize + i * setup::kIconFileEntrySize;
    const setup::IconImage& image = read.images[i];
    Check(image.data.size() == setup::LoadU32(entry + 8));
    if (!image.data.empty()) {
      Check(image.data.data() == data + setup::LoadU32(entry + 12));
      Check(image.data.data() + image.data.size() <= data + size);
    }
    Check(std::memcmp(image.description.data(), entry, setup::kIconEntryDescriptionSize) == 0);
  }
  const std::vector<uint8_t> group = setup::IconGroupResource(read.images);
  Check(group.size() == setup::kIconFileHeaderSize + count * setup::kIconGroupEntrySize);
  Check(setup::LoadU16(&group[4]) == count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* out = &group[setup::kIconFileHeaderSize + i * setup::kIconGroupEntrySize];
    Check(std::memcmp(out, data + setup::kIconFileHeaderSize + i * setup::kIconFileEntrySize,
                      setup::kIconEntryDescriptionSize) == 0);
    Check(setup::LoadU16(out + setup::kIconEntryDescriptionSize) == i + 1);
  }
  return 0;
}
