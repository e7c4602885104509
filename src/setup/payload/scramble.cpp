#include "setup/payload/scramble.h"

#include <cstddef>

namespace setup {

void Unscramble(std::span<uint8_t> bytes, uint32_t key) {
  // A little-endian u32 XOR touches byte i of the group with key byte i, so
  // every byte at offset i is XORed with key byte i mod 4, the tail included.
  const uint8_t keyBytes[4] = {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8),
                               static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 24)};
  uint8_t* p = bytes.data();
  const size_t size = bytes.size();
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    p[i] ^= keyBytes[0];
    p[i + 1] ^= keyBytes[1];
    p[i + 2] ^= keyBytes[2];
    p[i + 3] ^= keyBytes[3];
  }
  for (size_t j = 0; i < size; ++i, ++j) p[i] ^= keyBytes[j];
}

}  // namespace setup
