#include "setup/payload/payload_checksum.h"

#include <cstring>

namespace setup {
namespace {

inline uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

uint32_t PayloadChecksum(const uint8_t* data, int64_t length) {
  uint32_t sum = kPayloadChecksumSeed;
  if (data == nullptr || length <= 0) return sum;
  const uint8_t* p = data;
  const uint8_t* const wordsEnd = data + (length & ~int64_t{3});
  // Four independent lanes keep the additions out of one dependency chain;
  // addition modulo 2^32 does not care about the order.
  uint32_t lane[4] = {0, 0, 0, 0};
  while (wordsEnd - p >= 16) {
    for (int i = 0; i < 4; ++i) lane[i] += LoadLe32(p + 4 * i);
    p += 16;
  }
  sum += lane[0] + lane[1] + lane[2] + lane[3];
  for (; p < wordsEnd; p += 4) sum += LoadLe32(p);
  for (int64_t i = 0; i < (length & 3); ++i) {
    sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(p[i])));
  }
  return sum + static_cast<uint32_t>(length);
}

}  // namespace setup
