#include "setup/payload/payload_checksum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "setup/payload/scramble.h"

namespace setup {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

struct ChecksumCase {
  const char* name;
  std::vector<uint8_t> data;
  uint32_t expected;
};

TEST(PayloadChecksum, KnownValues) {
  const uint32_t seed = 0x79E2BC9D;
  const ChecksumCase cases[] = {
      {"empty", {}, seed},
      {"abc", Bytes({'a', 'b', 'c'}), 0x79E2BDC6},
      {"single 0xFF is -1, plus length 1", Bytes({0xFF}), seed},
      {"one word", Bytes({1, 2, 3, 4}), seed + 0x04030201u + 4},
      {"word wraps modulo 2^32", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), seed + 3},
      {"tail bytes are signed", Bytes({1, 2, 3, 4, 0x80, 0x81, 0x7F}),
       seed + 0x04030201u - 128 - 127 + 127 + 7},
      {"tail of one high byte", Bytes({0, 0, 0, 0, 0x80}), seed - 128 + 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PayloadChecksum(c.data.data(), static_cast<int64_t>(c.data.size())), c.expected) << c.name;
  }
}

TEST(PayloadChecksum, NullOrNonPositiveLengthGivesSeed) {
  const uint8_t data[4] = {1, 2, 3, 4};
  EXPECT_EQ(PayloadChecksum(nullptr, 4), 0x79E2BC9Du);
  EXPECT_EQ(PayloadChecksum(data, 0), 0x79E2BC9Du);
  EXPECT_EQ(PayloadChecksum(data, -4), 0x79E2BC9Du);
}

// The sum runs in several lanes over 16-byte blocks; every split of words,
// blocks and tail must agree with a plain word-by-word sum.
TEST(PayloadChecksum, AgreesWithPlainSumForEveryLengthAndAlignment) {
  std::mt19937 rng(7);
  std::vector<uint8_t> data(200);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  for (size_t offset = 0; offset < 4; ++offset) {
    for (size_t length = 0; length + offset <= data.size(); ++length) {
      const uint8_t* p = data.data() + offset;
      uint32_t expected = 0x79E2BC9D;
      size_t i = 0;
      for (; i + 4 <= length; i += 4) {
        expected += uint32_t{p[i]} | uint32_t{p[i + 1]} << 8 | uint32_t{p[i + 2]} << 16 | uint32_t{p[i + 3]} << 24;
      }
      for (; i < length; ++i) expected += static_cast<uint32_t>(static_cast<int8_t>(p[i]));
      if (length > 0) expected += static_cast<uint32_t>(length);
      ASSERT_EQ(PayloadChecksum(p, static_cast<int64_t>(length)), expected) << length << " at " << offset;
    }
  }
}

TEST(Scramble, UnscrambleXorsWordsAndTailWithKeyBytes) {
  // Key 0x11223344 is the bytes 44 33 22 11 in memory order; the input
  // bytes are 00 01 .. 07, so byte i becomes i ^ key byte (i mod 4).
  const uint8_t input[7] = {0, 1, 2, 3, 4, 5, 6};
  const uint8_t expected[7] = {0x44, 0x32, 0x20, 0x12, 0x40, 0x36, 0x24};
  for (size_t length = 0; length <= 7; ++length) {
    std::vector<uint8_t> bytes(input, input + length);
    Unscramble(bytes, 0x11223344);
    EXPECT_EQ(bytes, std::vector<uint8_t>(expected, expected + length)) << "length " << length;
  }
}

TEST(Scramble, UnscrambleIsItsOwnInverse) {
  std::mt19937 rng(3);
  for (size_t length : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 1001u}) {
    std::vector<uint8_t> original(length);
    for (auto& b : original) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> bytes = original;
    const uint32_t key = static_cast<uint32_t>(rng());
    Unscramble(bytes, key);
    if (length >= 4) EXPECT_NE(bytes, original) << length;
    Unscramble(bytes, key);
    EXPECT_EQ(bytes, original) << length;
  }
}

}  // namespace
}  // namespace setup
