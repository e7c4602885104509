#pragma once
// The packed block: the one compression format of the payload, used by the
// settings block and by every archive chunk. The reader (Unpack) and the
// writer (Pack) both take their codes from here.
//
//   u32 magic, u32 unpacked size N, then the coded operations as a bit
//   stream: bits are taken least significant first within a byte, bytes in
//   ascending order, and a multi-bit field arrives least significant bit
//   first. Each operation starts with its prefix:
//     0    literal run  count = Var(2,2)+1, then count bytes of 8 bits
//     1 1  byte run     value (8 bits), count = Var(1,1)+3
//     1 0  copy         length = Var(2,1)+4, distance = Var(12,2)+4;
//                       the source lies wholly before the output position
//                       (length <= distance), so a copy never overlaps
//                       the bytes it produces.
//   Var(n, step): k one-bits ended by a zero-bit, then the value in
//   min(n + k*step, 32) bits.
#include <cstddef>
#include <cstdint>

namespace setup {

inline constexpr uint32_t kPackedMagic = 0x9ec72ba1;
inline constexpr size_t kPackedHeaderSize = 8;

// A Var field and the bias added to the value it carries.
struct VarCode {
  unsigned n;
  unsigned step;
  uint32_t bias;
};

inline constexpr unsigned kMaxVarWidth = 32;

inline constexpr VarCode kLiteralCount{2, 2, 1};
inline constexpr VarCode kRunCount{1, 1, 3};
inline constexpr VarCode kCopyLength{2, 1, 4};
inline constexpr VarCode kCopyDistance{12, 2, 4};

// Operation prefixes as written: the first bit read is bit 0.
inline constexpr unsigned kLiteralPrefixBits = 1;
inline constexpr uint32_t kLiteralPrefix = 0b0;
inline constexpr unsigned kRunPrefixBits = 2;
inline constexpr uint32_t kRunPrefix = 0b11;
inline constexpr unsigned kCopyPrefixBits = 2;
inline constexpr uint32_t kCopyPrefix = 0b01;

// The smallest count each operation can carry.
inline constexpr uint32_t kMinLiteralRun = kLiteralCount.bias;
inline constexpr uint32_t kMinByteRun = kRunCount.bias;
inline constexpr uint32_t kMinCopyLength = kCopyLength.bias;
inline constexpr uint32_t kMinCopyDistance = kCopyDistance.bias;

// A Var field is legal only with 1 <= n <= 64 and 1 <= step <= 16; every
// code of the format is a constant, so that holds for all input.
constexpr bool IsLegalVarCode(VarCode code) {
  return code.n >= 1 && code.n <= 64 && code.step >= 1 && code.step <= 16;
}
static_assert(IsLegalVarCode(kLiteralCount) && IsLegalVarCode(kRunCount) &&
              IsLegalVarCode(kCopyLength) && IsLegalVarCode(kCopyDistance));

// Width of the value after k one-bits.
constexpr unsigned VarWidth(VarCode code, uint64_t ones) {
  uint64_t width = code.n + ones * code.step;
  return width < kMaxVarWidth ? static_cast<unsigned>(width) : kMaxVarWidth;
}

// The fewest one-bits whose width holds `value` (value = count - bias).
constexpr unsigned VarOnes(VarCode code, uint32_t value) {
  unsigned ones = 0;
  while (VarWidth(code, ones) < kMaxVarWidth && (value >> VarWidth(code, ones)) != 0) ++ones;
  return ones;
}

// Bits that a Var field holding `value` takes in its shortest form.
constexpr unsigned VarBits(VarCode code, uint32_t value) {
  unsigned ones = VarOnes(code, value);
  return ones + 1 + VarWidth(code, ones);
}

// Bits of whole operations in their shortest form.
constexpr uint64_t LiteralRunBits(uint64_t count) {
  return kLiteralPrefixBits + VarBits(kLiteralCount, static_cast<uint32_t>(count - kLiteralCount.bias)) +
         8 * count;
}
constexpr unsigned ByteRunBits(uint64_t count) {
  return kRunPrefixBits + 8 + VarBits(kRunCount, static_cast<uint32_t>(count - kRunCount.bias));
}
constexpr unsigned CopyBits(uint64_t length, uint64_t distance) {
  return kCopyPrefixBits + VarBits(kCopyLength, static_cast<uint32_t>(length - kCopyLength.bias)) +
         VarBits(kCopyDistance, static_cast<uint32_t>(distance - kCopyDistance.bias));
}

}  // namespace setup
