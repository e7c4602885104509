// The round trip must match: every input packs into a block that unpacks
// to it, at every level and window, and never into much more than the
// bytes stored as one literal run.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "setup/payload/pack.h"
#include "setup/payload/packed_format.h"
#include "setup/payload/unpack.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte chooses the level and the window, the rest is the input.
  const uint8_t options = data[0];
  setup::PackOptions pack;
  pack.level = 1 + options % 9;
  const unsigned windowChoice = (options / 9) % 8;
  pack.windowLog = windowChoice == 0 ? 0 : 6 + 2 * windowChoice;  // 8 .. 20
  const std::vector<uint8_t> input(data + 1, data + size);

  const std::vector<uint8_t> packed = setup::Pack(input, pack);
  const auto out = setup::Unpack(packed);
  Check(out.has_value());
  Check(*out == input);

  const uint64_t literalBytes = input.empty() ? 0 : (setup::LiteralRunBits(input.size()) + 7) / 8;
  Check(packed.size() <= setup::kPackedHeaderSize + literalBytes + input.size() / 64 + 8);
  return 0;
}
