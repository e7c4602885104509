#pragma once
// The one 32-bit additive checksum of the payload: settings stream, archive,
// chunks, files and the program image all use it.
#include <cstdint>
#include <span>

namespace setup {

inline constexpr uint32_t kPayloadChecksumSeed = 0x79E2BC9D;

// Seed + every whole little-endian u32 word + the 0..3 remaining bytes as
// sign-extended 8-bit values + the length, all modulo 2^32. A null pointer
// or a length <= 0 gives the seed.
uint32_t PayloadChecksum(const uint8_t* data, int64_t length);

inline uint32_t PayloadChecksum(std::span<const uint8_t> bytes) {
  return PayloadChecksum(bytes.data(), static_cast<int64_t>(bytes.size()));
}

}  // namespace setup
