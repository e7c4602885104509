#include "setup/payload/pack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "setup/payload/unpack.h"

namespace setup {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Random(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<uint8_t>(rng());
  return out;
}

Bytes Same(size_t size, uint8_t value) { return Bytes(size, value); }

// Words from a small vocabulary with a skewed choice, in lines.
Bytes Text(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"the", "setup", "file", "of", "install", "and", "registry", "a",
                                       "to", "folder", "program", "shortcut", "is", "uninstall", "value",
                                       "Windows", "copy", "with", "version", "system", "in", "data"};
  std::mt19937 rng(seed);
  std::string text;
  while (text.size() < size) {
    const size_t n = std::size(kWords);
    const size_t i = std::min(rng() % n, rng() % n);
    text += kWords[i];
    text += (rng() % 9 == 0) ? ".\r\n" : " ";
  }
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

// Runs of random length (1 .. 5000) of random bytes.
Bytes Runs(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < size) out.insert(out.end(), 1 + rng() % (rng() % 2 ? 5000 : 8), static_cast<uint8_t>(rng()));
  out.resize(size);
  return out;
}

// `pattern` repeated: shorter than the shortest copy distance of 4 when
// its length is below 4.
Bytes Periodic(size_t size, const std::string& pattern) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(pattern[i % pattern.size()]);
  return out;
}

// Fixed-size records with counters, names and padding, like tables in a
// program file.
Bytes Records(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  for (uint32_t i = 0; out.size() < size; ++i) {
    uint8_t record[32] = {};
    const uint32_t fields[3] = {i, 0x401000 + 16 * i, static_cast<uint32_t>(rng() % 64)};
    for (int f = 0; f < 3; ++f) {
      for (int b = 0; b < 4; ++b) record[4 * f + b] = static_cast<uint8_t>(fields[f] >> (8 * b));
    }
    std::snprintf(reinterpret_cast<char*>(record + 12), 16, "item_%u", static_cast<unsigned>(rng() % 500));
    out.insert(out.end(), record, record + sizeof record);
  }
  out.resize(size);
  return out;
}

Bytes Mixed(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  for (uint32_t part = 0; out.size() < size; ++part) {
    const size_t n = 1000 + rng() % 200000;
    Bytes piece;
    switch (part % 5) {
      case 0: piece = Text(n, seed + part); break;
      case 1: piece = Random(n / 4, seed + part); break;
      case 2: piece = Records(n, seed + part); break;
      case 3: piece = Runs(n, seed + part); break;
      default: piece = Periodic(n / 8, "\x01\x00\xFF"); break;
    }
    out.insert(out.end(), piece.begin(), piece.end());
    // Repeat an earlier stretch now and then: far copies.
    if (part % 3 == 2 && out.size() > 100000) {
      const size_t from = rng() % (out.size() - 50000);
      out.insert(out.end(), out.begin() + static_cast<ptrdiff_t>(from),
                 out.begin() + static_cast<ptrdiff_t>(from + 20000));
    }
  }
  out.resize(size);
  return out;
}

void ExpectRoundTrip(const Bytes& input, const PackOptions& options, const std::string& name) {
  const Bytes packed = Pack(input, options);
  ASSERT_GE(packed.size(), 8u) << name;
  const auto unpacked = Unpack(packed);
  ASSERT_TRUE(unpacked.has_value()) << name << " (level " << options.level << ")";
  ASSERT_EQ(unpacked->size(), input.size()) << name;
  EXPECT_TRUE(*unpacked == input) << name << " (level " << options.level << ")";
}

struct Sample {
  std::string name;
  Bytes data;
};

TEST(PackRoundTrip, Samples) {
  constexpr size_t kMiB = size_t{1} << 20;
  const Sample samples[] = {
      {"empty", {}},
      {"one byte", {0x42}},
      {"two bytes", {0x42, 0x42}},
      {"three same bytes", Same(3, 7)},
      {"four same bytes", Same(4, 7)},
      {"abc", {'a', 'b', 'c'}},
      {"all zero 1000", Same(1000, 0)},
      {"all 0xFF 1 MiB", Same(kMiB, 0xFF)},
      {"random 1000", Random(1000, 1)},
      {"random 1 MiB", Random(kMiB, 2)},
      {"text 1 MiB", Text(kMiB, 3)},
      {"long runs 1 MiB", Runs(kMiB, 4)},
      {"records 1 MiB", Records(kMiB, 5)},
      {"period 2", Periodic(100000, "ab")},
      {"period 3", Periodic(100000, "xyz")},
      {"period 5", Periodic(100000, "12345")},
      {"period 7 then other data", [] {
         Bytes b = Periodic(50000, "abcdefg");
         Bytes r = Random(5000, 9);
         b.insert(b.end(), r.begin(), r.end());
         return b;
       }()},
      {"mixed 5 MB", Mixed(5000000, 6)},
      {"mixed 4 MiB - 1", Mixed(4 * kMiB - 1, 7)},
      {"mixed 4 MiB", Mixed(4 * kMiB, 7)},
      {"mixed 4 MiB + 1", Mixed(4 * kMiB + 1, 7)},
  };
  for (const auto& s : samples) ExpectRoundTrip(s.data, PackOptions{}, s.name);
}

TEST(PackRoundTrip, EveryLevelAndSmallWindows) {
  const Bytes input = Mixed(600000, 11);
  for (int level = 0; level <= 10; ++level) ExpectRoundTrip(input, PackOptions{level, 0}, "mixed");
  // Repeats lie farther back than the window: the copies must stay inside.
  for (unsigned windowLog : {8u, 12u, 16u}) {
    ExpectRoundTrip(input, PackOptions{6, windowLog}, "window " + std::to_string(windowLog));
  }
}

// All inputs up to 40 bytes over a tiny alphabet: the ends of the input,
// the shortest copies and runs, and every mix of them.
TEST(PackRoundTrip, ShortInputsOverTwoLetters) {
  std::mt19937 rng(5);
  for (size_t size = 0; size <= 40; ++size) {
    for (int trial = 0; trial < 50; ++trial) {
      Bytes input(size);
      for (auto& b : input) b = static_cast<uint8_t>('a' + rng() % 2);
      ExpectRoundTrip(input, PackOptions{}, std::string(input.begin(), input.end()));
    }
  }
}

// What the format can do well it should: one byte run for a run, a few
// doubling copies for a pattern shorter than the shortest distance, and
// no more than the literal-run overhead for data that does not compress.
TEST(PackRoundTrip, UsesTheFormatWhereItPays) {
  struct Bound {
    const char* name;
    Bytes data;
    size_t maxPacked;
  };
  const Bound bounds[] = {
      {"1 MiB of one byte", Same(size_t{1} << 20, 0), 32},
      {"period 2 over 100 kB", Periodic(100000, "ab"), 200},
      {"period 3 over 100 kB", Periodic(100000, "xyz"), 200},
      {"random 1 MiB", Random(size_t{1} << 20, 8), (size_t{1} << 20) + 64},
      {"the same 64 kB twice", [] {
         Bytes b = Random(65536, 10);
         b.insert(b.end(), b.begin(), b.end());
         return b;
       }(), 65536 + 64},
  };
  for (const auto& b : bounds) {
    const size_t packed = Pack(b.data).size();
    EXPECT_LE(packed, b.maxPacked) << b.name;
  }
}

// A repeat 16 KiB back is a copy with the default window and out of reach
// of a 4 KiB window.
TEST(PackRoundTrip, WindowBoundsTheCopyDistance) {
  Bytes input = Random(16384, 12);
  input.insert(input.end(), input.begin(), input.end());
  const size_t wide = Pack(input).size();
  const size_t narrow = Pack(input, PackOptions{6, 12}).size();
  EXPECT_LT(wide, 16384u + 64);
  EXPECT_GT(narrow, 32768u);
  ExpectRoundTrip(input, PackOptions{6, 12}, "narrow window");
}

}  // namespace
}  // namespace setup
