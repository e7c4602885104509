#include "setup/payload/unpack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup {
namespace {

// Streams are written by hand as text of '0' and '1' in the order the
// reader takes the bits; every field width below is worked out by hand.

// A field of `width` bits, least significant bit first.
std::string F(uint64_t value, int width) {
  std::string bits;
  for (int i = 0; i < width; ++i) bits += ((value >> i) & 1) ? '1' : '0';
  return bits;
}

// A Var field: `ones` one-bits, the zero-bit, then the value.
std::string V(int ones, uint64_t value, int width) { return std::string(ones, '1') + "0" + F(value, width); }

std::string Text(std::string_view text) {
  std::string bits;
  for (char c : text) bits += F(static_cast<uint8_t>(c), 8);
  return bits;
}

// Literal run whose count field (count - 1) is given as `ones` and `width`.
std::string Literals(int ones, int width, std::string_view text) {
  return "0" + V(ones, text.size() - 1, width) + Text(text);
}
std::string ByteRun(char value, int ones, int width, uint64_t count) {
  return "11" + F(static_cast<uint8_t>(value), 8) + V(ones, count - 3, width);
}
std::string Copy(int lengthOnes, int lengthWidth, uint64_t length, int distanceOnes, int distanceWidth,
                 uint64_t distance) {
  return "10" + V(lengthOnes, length - 4, lengthWidth) + V(distanceOnes, distance - 4, distanceWidth);
}

std::vector<uint8_t> Block(uint32_t size, const std::string& bits, uint32_t magic = 0x9ec72ba1) {
  std::vector<uint8_t> block;
  for (uint32_t v : {magic, size}) {
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  for (size_t i = 0; i < bits.size(); ++i) {
    if (i % 8 == 0) block.push_back(0);
    if (bits[i] == '1') block.back() |= static_cast<uint8_t>(1u << (i % 8));
  }
  return block;
}

std::vector<uint8_t> AsBytes(std::string_view text) { return {text.begin(), text.end()}; }

struct GoodCase {
  const char* name;
  std::string bits;
  std::string expected;
};

TEST(Unpack, HandAssembledStreams) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::string z5000(5000, 'z');
  const GoodCase cases[] = {
      {"literal run of 3", Literals(0, 2, "abc"), "abc"},
      {"literal run of 5 takes width 4", Literals(1, 4, "hello"), "hello"},
      {"literal run of 16 is the largest in width 4", Literals(1, 4, alphabet.substr(0, 16)), alphabet.substr(0, 16)},
      {"literal run of 17 takes width 6", Literals(2, 6, alphabet.substr(0, 17)), alphabet.substr(0, 17)},
      {"byte run of 3", ByteRun('x', 0, 1, 3), "xxx"},
      {"byte run of 4", ByteRun('x', 0, 1, 4), "xxxx"},
      {"byte run of 5 takes width 2", ByteRun('y', 1, 2, 5), "yyyyy"},
      {"byte run of 5000 takes width 13", ByteRun('z', 12, 13, 5000), z5000},
      {"copy at distance 4", Literals(0, 2, "abcd") + Copy(0, 2, 4, 0, 12, 4), "abcdabcd"},
      {"copy of 13 from distance 16", Literals(1, 4, alphabet.substr(0, 16)) + Copy(2, 4, 13, 0, 12, 16),
       alphabet.substr(0, 16) + alphabet.substr(0, 13)},
      {"copy distance 5004 takes width 14",
       Literals(0, 2, "wxyz") + ByteRun('z', 12, 13, 5000) + Copy(0, 2, 4, 1, 14, 5004), "wxyz" + z5000 + "wxyz"},
      {"copy from the middle of the output", Literals(1, 4, "0123456789") + Copy(0, 2, 4, 0, 12, 7) + Literals(0, 2, "!"),
       "01234567893456!"},
      {"operations in sequence",
       ByteRun('-', 0, 1, 3) + Literals(0, 2, "ab") + Copy(0, 2, 5, 0, 12, 5) + ByteRun('=', 1, 2, 6) + Literals(0, 2, "."),
       "---ab---ab======."},
      {"non-shortest fields are accepted", Literals(3, 8, "ok") + ByteRun('k', 4, 5, 3) + Copy(3, 5, 4, 2, 16, 5),
       "okkkkokkk"},
      {"bits after the last byte are ignored", Literals(0, 2, "abc") + "1111111111111", "abc"},
      {"Var(1,1) reaches width 32 after 31 one-bits", ByteRun('r', 31, 32, 5) + Literals(0, 2, "!"), "rrrrr!"},
      {"Var(1,1) stays at width 32 after 40 one-bits", ByteRun('q', 40, 32, 5) + Literals(0, 2, "!"), "qqqqq!"},
      {"Var(2,2) is width 30 after 14 one-bits", Literals(14, 30, "Y") + Literals(0, 2, "!"), "Y!"},
      {"Var(2,2) is capped at 32 after 16 one-bits", Literals(16, 32, "Z") + Literals(0, 2, "!"), "Z!"},
      {"Var(12,2) is capped at 32 after 11 one-bits", Literals(0, 2, "abcd") + Copy(0, 2, 4, 11, 32, 4) + Literals(0, 2, "!"),
       "abcdabcd!"},
  };
  for (const auto& c : cases) {
    auto out = Unpack(Block(static_cast<uint32_t>(c.expected.size()), c.bits));
    ASSERT_TRUE(out.has_value()) << c.name;
    EXPECT_EQ(*out, AsBytes(c.expected)) << c.name;
  }
}

TEST(Unpack, EmptyOutput) {
  EXPECT_EQ(Unpack(Block(0, "")), std::vector<uint8_t>{});
  // N = 0 ends the loop before any operation is read.
  EXPECT_EQ(Unpack(Block(0, "1111111100000000")), std::vector<uint8_t>{});
}

// Literal bytes at every bit alignment and across the 64-bit buffer: the
// count field with k one-bits takes 4 + 3k bits including the prefix, so k
// and k+1 .. k+7 start the bytes at all eight bit offsets.
TEST(Unpack, LiteralRunsAtEveryBitOffset) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>('!' + (i * 7) % 90);
  for (size_t length : {1u, 2u, 7u, 8u, 9u, 15u, 16u, 17u, 63u, 64u, 65u, 300u}) {
    int minOnes = 0;
    while (2 + 2 * minOnes < 32 && ((length - 1) >> (2 + 2 * minOnes)) != 0) ++minOnes;
    for (int ones = minOnes; ones < minOnes + 8; ++ones) {
      const int width = std::min(2 + 2 * ones, 32);
      const std::string bytes = text.substr(0, length);
      const std::string bits = ByteRun('#', 0, 1, 3) + Literals(ones, width, bytes) + Literals(0, 2, "$");
      auto out = Unpack(Block(static_cast<uint32_t>(length + 4), bits));
      ASSERT_TRUE(out.has_value()) << length << " with " << ones << " one-bits";
      EXPECT_EQ(*out, AsBytes("###" + bytes + "$")) << length << " with " << ones << " one-bits";
    }
  }
}

// A copy may read right up to the output position, never into it; every
// length up to its distance is allowed, at any distance.
TEST(Unpack, CopiesOfEveryLengthUpToTheirDistance) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += static_cast<char>('a' + (i * 11) % 26);
  for (uint64_t distance = 4; distance <= 40; distance += 3) {
    for (uint64_t length = 4; length <= distance; ++length) {
      int lengthOnes = 0;
      while (((length - 4) >> (2 + lengthOnes)) != 0) ++lengthOnes;
      const std::string prefix = text.substr(0, distance);
      const std::string bits = Literals(distance - 1 < 16 ? 1 : 2, distance - 1 < 16 ? 4 : 6, prefix) +
                               Copy(lengthOnes, 2 + lengthOnes, length, 0, 12, distance);
      auto out = Unpack(Block(static_cast<uint32_t>(distance + length), bits));
      ASSERT_TRUE(out.has_value()) << length << " at " << distance;
      EXPECT_EQ(*out, AsBytes(prefix + prefix.substr(0, length))) << length << " at " << distance;
    }
  }
}

struct BadCase {
  const char* name;
  std::vector<uint8_t> block;
};

TEST(Unpack, DamagedBlocksFail) {
  const std::vector<uint8_t> magicOnly = {0xa1, 0x2b, 0xc7, 0x9e};
  auto withTail = [&](size_t zeros) {
    std::vector<uint8_t> b = magicOnly;
    b.resize(b.size() + zeros);
    return b;
  };
  const std::string abcd = Literals(0, 2, "abcd");
  const std::string eight = Literals(1, 4, "abcdefgh");
  const BadCase cases[] = {
      {"empty block", {}},
      {"4-byte block", magicOnly},
      {"5-byte block", withTail(1)},
      {"7-byte block", withTail(3)},
      {"another magic", Block(3, Literals(0, 2, "abc"), 0x9ec72ba0)},
      {"magic in the wrong byte order", Block(3, Literals(0, 2, "abc"), 0xa12bc79e)},
      {"no stream but N 1", Block(1, "")},
      {"copy from before the start", Block(7, Literals(0, 2, "abc") + Copy(0, 2, 4, 0, 12, 4))},
      {"copy into an empty output", Block(4, Copy(0, 2, 4, 0, 12, 4))},
      {"copy longer than its distance", Block(13, eight + Copy(0, 2, 5, 0, 12, 4))},
      {"copy one longer than its distance", Block(17, eight + Copy(1, 3, 9, 0, 12, 8))},
      {"stream ends before N", Block(4, Literals(0, 2, "abc"))},
      {"stream ends after a copy short of N", Block(9, abcd + Copy(0, 2, 4, 0, 12, 4))},
      {"literal run cut off", Block(4, "0" + V(0, 3, 2) + Text("abc"))},
      {"literal run beyond N", Block(2, Literals(0, 2, "abc"))},
      {"byte run beyond N", Block(3, ByteRun('x', 0, 1, 4))},
      {"copy beyond N", Block(7, abcd + Copy(0, 2, 4, 0, 12, 4))},
      {"last operation one byte beyond N", Block(10, abcd + Literals(0, 2, "efgh") + ByteRun('x', 0, 1, 3))},
      // Exactly whole bytes, so no padding bit can end a field.
      {"count field cut off in its one-bits", Block(3, "11" + Text("a") + "111111")},
      {"count field cut off in its value", Block(3, "11" + Text("a") + "11110" + "1")},
      {"ones up to the end of the block", Block(1, "0" + std::string(23, '1'))},
      {"distance field cut off", Block(8, abcd + "10" + V(0, 0, 2) + "0" + F(0, 6))},
      {"capped width 32 still needs 32 bits", Block(5, "11" + Text("q") + std::string(38, '1') + "0" + F(2, 31))},
      {"N beyond what a tiny block can hold", Block(0xFFFFFFFF, Literals(0, 2, "a"))},
      {"N of 4 GiB from a stream that ends early",
       Block(0xFFFFFFFF, ByteRun('x', 12, 13, 5000) + ByteRun('y', 12, 13, 5000) + Literals(0, 2, "abc"))},
  };
  for (const auto& c : cases) EXPECT_FALSE(Unpack(c.block).has_value()) << c.name;
}

// A block of a few bytes may genuinely hold many megabytes: a large N is
// checked by decoding, never rejected by its size alone.
TEST(Unpack, TinyBlockWithLargeGenuineOutput) {
  const uint32_t size = uint32_t{1} << 26;
  auto out = Unpack(Block(size, ByteRun('A', 25, 26, size)));
  ASSERT_TRUE(out.has_value());
  ASSERT_EQ(out->size(), size);
  EXPECT_EQ((*out)[0], 'A');
  EXPECT_EQ((*out)[size - 1], 'A');
  EXPECT_FALSE(Unpack(Block(size + 1, ByteRun('A', 25, 26, size))).has_value());
}

// The archive reuses one buffer for chunk after chunk: bytes left from an
// earlier, longer output must not show through, and a failure leaves the
// buffer empty.
TEST(Unpack, ReusedBufferHoldsOnlyTheNewOutput) {
  const std::string abcd = Literals(0, 2, "abcd");
  const std::vector<std::vector<uint8_t>> blocks = {
      Block(40, ByteRun('x', 5, 6, 40)),
      Block(12, abcd + Copy(0, 2, 4, 0, 12, 4) + Literals(0, 2, "efgh")),
      Block(9, abcd + ByteRun('-', 0, 1, 3) + Literals(0, 2, "!!")),
      Block(16, abcd + Copy(0, 2, 4, 0, 12, 4) + Copy(2, 4, 8, 0, 12, 8)),
  };
  std::vector<uint8_t> buffer(1000, 0xA5);
  for (const auto& block : blocks) {
    ASSERT_TRUE(Unpack(block, buffer));
    EXPECT_EQ(buffer, *Unpack(block));
  }
  EXPECT_FALSE(Unpack(Block(5, abcd), buffer));
  EXPECT_TRUE(buffer.empty());
}

}  // namespace
}  // namespace setup
