#pragma once
// Packing into the packed-block format of packed_format.h: the writer side
// used by the authoring tool. Every result unpacks to its input with Unpack.
#include <cstdint>
#include <span>
#include <vector>

namespace setup {

struct PackOptions {
  // 1 (fastest) .. 9 (smallest output); values outside are clamped.
  int level = 6;
  // Largest copy distance as a power of two, 0 for the level's default.
  // Distances are not limited by the format; a larger window finds more
  // copies but needs 4 bytes of memory per position of the window.
  unsigned windowLog = 0;
};

// The packed block of `input` (header included). Throws std::length_error
// when the input is longer than the 32-bit size field can state.
std::vector<uint8_t> Pack(std::span<const uint8_t> input, const PackOptions& options = {});

}  // namespace setup
