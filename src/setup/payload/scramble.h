#pragma once
// The XOR scrambling of the settings block. Applying it twice with the same
// key gives the original bytes back, so the same call scrambles and
// unscrambles.
#include <cstdint>
#include <span>

namespace setup {

// Each whole 4-byte group, as a little-endian u32, is XORed with `key`; the
// remaining bytes with bits 0-7, 8-15 and 16-23 of the key in turn.
void Unscramble(std::span<uint8_t> bytes, uint32_t key);

}  // namespace setup
