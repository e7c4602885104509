#include "setup/folders/byte_size_text.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(ByteSizeText, UnitsAndRounding) {
  const struct {
    uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 bytes"},
      {1023, "1023 bytes"},
      {1024, "1.0 KB"},
      {1536, "1.5 KB"},
      {1024 * 1024 - 1, "1.0 MB"},  // rounds up into the next unit, never "1024.0 KB"
      {10 * 1024 * 1024 + 52429, "10.1 MB"},
      {uint64_t{5} << 30, "5.0 GB"},
      {uint64_t{3} << 40, "3.0 TB"},
      {uint64_t{4096} << 40, "4096.0 TB"},  // no unit above TB
  };
  for (const auto& c : cases) EXPECT_EQ(ByteSizeText(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace setup
