#pragma once
// Unpacking of a packed block (the settings block and the archive chunks);
// the format is described in packed_format.h.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace setup {

// The N unpacked bytes of `block`, or nothing when the block is damaged in
// any way: shorter than its 8-byte header, another magic, a field or a
// literal run cut off by the end of the block, a copy reaching before the
// start of the output or overlapping what it produces, an operation going
// past N, the stream ending before N bytes, or no memory for N bytes.
std::optional<std::vector<uint8_t>> Unpack(std::span<const uint8_t> block);

// The same into `output`, whose memory is reused from call to call (the
// chunks of an archive, one after the other). On failure `output` is left
// empty.
bool Unpack(std::span<const uint8_t> block, std::vector<uint8_t>& output);

}  // namespace setup
