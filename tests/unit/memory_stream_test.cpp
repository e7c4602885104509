#include "setup/payload/memory_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace setup {
namespace {

TEST(MemoryReader, ShortReadsZeroFillAndStopAtTheEnd) {
  const uint8_t bytes[] = {0x11, 0x22, 'a', 'b'};
  MemoryReader in(bytes);
  EXPECT_EQ(in.U8(), 0x11);
  EXPECT_EQ(in.U32(), 0x00626122u);  // 22 'a' 'b' and one zero byte of fill
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(in.Text(), "");
  EXPECT_EQ(in.U64(), 0u);

  const uint8_t blob[] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2};  // a length far beyond the stream
  MemoryReader hostile(blob);
  std::vector<uint8_t> got = hostile.Blob();
  EXPECT_TRUE(hostile.atEnd());
  EXPECT_EQ(got[0], 1);
  EXPECT_EQ(got[1], 2);
  EXPECT_LE(got.size(), 2u + 64 * 1024);
}

TEST(MemoryReader, TextWithoutNulRunsToTheEnd) {
  const uint8_t bytes[] = {'a', 0, 'b', 'c'};
  MemoryReader in(bytes);
  EXPECT_EQ(in.Text(), "a");
  EXPECT_EQ(in.Text(), "bc");
  EXPECT_TRUE(in.atEnd());
}

// The truncation flag: set by the first read that wants more than is left,
// at the offset where that read began, and never cleared; every read after
// it finds nothing.
TEST(MemoryReader, TruncationIsStickyAndTellsWhere) {
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 'a', 'b', 0, 'c', 'd'};
  using Steps = std::function<void(MemoryReader&)>;
  struct Case {
    const char* what;
    Steps steps;
    std::optional<size_t> shortReadAt;
  } cases[] = {
      {"nothing read", [](MemoryReader&) {}, std::nullopt},
      {"everything read exactly",
       [](MemoryReader& in) {
         in.U32();
         in.Text();
         in.Bytes(2);
       },
       std::nullopt},
      {"a U64 at 4 wants 8 of 5", [](MemoryReader& in) { in.U32(), in.U64(); }, 4},
      {"a U8 at the end", [](MemoryReader& in) { in.Bytes(9), in.U8(); }, 9},
      {"a text at the end", [](MemoryReader& in) { in.Bytes(9), in.Text(); }, 9},
      {"a text without its NUL", [](MemoryReader& in) { in.Bytes(7), in.Text(); }, 7},
      {"bytes beyond the end", [](MemoryReader& in) { in.U16(), in.Bytes(8); }, 2},
      {"a blob longer than the rest", [](MemoryReader& in) { in.U16(), in.Blob(); }, 6},
      {"the first short read counts", [](MemoryReader& in) { in.Bytes(7), in.U32(), in.U32(), in.Text(); }, 7},
      {"a zero-length read at the end is whole", [](MemoryReader& in) { in.Bytes(9), in.Bytes(0); }, std::nullopt},
  };
  for (const Case& c : cases) {
    MemoryReader in(bytes);
    c.steps(in);
    EXPECT_EQ(in.truncated(), c.shortReadAt.has_value()) << c.what;
    EXPECT_EQ(in.shortReadAt(), c.shortReadAt) << c.what;
    if (!c.shortReadAt) continue;
    // From here on every read finds nothing, and the flag stays.
    EXPECT_TRUE(in.atEnd()) << c.what;
    EXPECT_EQ(in.U32(), 0u) << c.what;
    EXPECT_EQ(in.Text(), "") << c.what;
    EXPECT_EQ(in.Bytes(3), std::vector<uint8_t>(3, 0)) << c.what;
    uint8_t buffer[2] = {9, 9};
    EXPECT_FALSE(in.Read(buffer, 2)) << c.what;
    EXPECT_EQ(buffer[0] | buffer[1], 0) << c.what;
    EXPECT_EQ(in.shortReadAt(), c.shortReadAt) << c.what;
  }
}

}  // namespace
}  // namespace setup
