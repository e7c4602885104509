// Garbage must not crash Unpack. Whatever it accepts is exactly N bytes,
// comes out the same through both entry points (a fresh buffer and one
// reused with old bytes in it) and packs and unpacks back to itself.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "setup/payload/pack.h"
#include "setup/payload/unpack.h"

namespace {

// Blocks that claim more are left out: a block of a dozen bytes may
// genuinely hold gigabytes, and the allocation is not what is under test.
constexpr uint32_t kMaxOutput = uint32_t{64} << 20;
// Outputs up to this size are packed again, at the quicker levels: the
// round-trip fuzzer covers the others.
constexpr size_t kMaxRepack = size_t{256} << 10;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> block(data, size);
  uint32_t claimed = 0;
  if (size >= 8) {
    claimed = uint32_t{data[4]} | uint32_t{data[5]} << 8 | uint32_t{data[6]} << 16 | uint32_t{data[7]} << 24;
    if (claimed > kMaxOutput) return 0;
  }
  const auto out = setup::Unpack(block);

  static std::vector<uint8_t> reused(100, 0xA5);
  const bool reusedOk = setup::Unpack(block, reused);
  Check(reusedOk == out.has_value());
  if (!out) return 0;
  Check(out->size() == claimed);
  Check(reused == *out);

  if (out->size() <= kMaxRepack) {
    const auto again = setup::Unpack(setup::Pack(*out, setup::PackOptions{1 + static_cast<int>(size % 3), 0}));
    Check(again.has_value() && *again == *out);
  }
  return 0;
}
