// Garbage must not crash the background bitmap reader, and what it accepts
// holds together: the pixel rows and the colour table lie inside the input,
// every pixel of the picture can be read, and the mask has one entry per
// pixel. Huge pictures are only parsed: their mask would need the memory
// the runtime's drawing would not get either.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "setup/ui/background_rules.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr uint64_t kLargestMaskedPicture = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  const std::optional<setup::BitmapFile> bitmap = setup::ParseBitmapFile(file);
  if (!bitmap) return 0;
  Check(bitmap->width > 0 && bitmap->height > 0);
  Check(bitmap->pixels.data() >= data && bitmap->pixels.data() + bitmap->pixels.size() <= data + size);
  Check(bitmap->pixels.size() == static_cast<size_t>(bitmap->rowStride) * static_cast<size_t>(bitmap->height));
  const uint64_t pixels = uint64_t(bitmap->width) * uint64_t(bitmap->height);
  if (pixels > kLargestMaskedPicture) return 0;
  const uint32_t key = setup::RawPixelValue(*bitmap, 0, 0);
  const std::vector<uint8_t> mask = setup::TransparencyMask(*bitmap, key);
  Check(mask.size() == pixels);
  Check(mask[0] == 1);
  return 0;
}
