#include "setup/integration/icon_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "setup/payload/pe_image.h"

namespace setup {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t EntryAt(size_t i) { return kIconFileHeaderSize + i * kIconFileEntrySize; }

// An icon file of the given type whose images follow the entry table one
// after the other; image i is (i + 1) * 16 pixels square with a bit count
// of 4, 8, 32, ... and holds `images[i]`.
Bytes IconFileOf(uint16_t type, const std::vector<Bytes>& images) {
  Bytes b(EntryAt(images.size()));
  StoreU16(&b[2], type);
  StoreU16(&b[4], static_cast<uint16_t>(images.size()));
  const uint16_t bitCounts[] = {4, 8, 32};
  for (size_t i = 0; i < images.size(); ++i) {
    uint8_t* e = &b[EntryAt(i)];
    e[0] = e[1] = static_cast<uint8_t>(16 * (i + 1));
    e[2] = i == 0 ? 16 : 0;
    StoreU16(e + 4, 1);
    StoreU16(e + 6, bitCounts[i % 3]);
    StoreU32(e + 8, static_cast<uint32_t>(images[i].size()));
    StoreU32(e + 12, static_cast<uint32_t>(b.size()));
    b.insert(b.end(), images[i].begin(), images[i].end());
  }
  return b;
}

const std::vector<Bytes> kThreeImages = {Bytes(40, 0x11), Bytes(7, 0x22), Bytes(300, 0x33)};

Bytes ThreeImageIcon() { return IconFileOf(1, kThreeImages); }

TEST(IconFile, ReadsEveryImageOfAGoodFile) {
  const Bytes file = ThreeImageIcon();
  const IconFileRead read = ReadIconFile(file);
  ASSERT_TRUE(read.ok()) << IconFileErrorText(read.error);
  EXPECT_EQ(read.type, 1);
  ASSERT_EQ(read.images.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Bytes(read.images[i].data.begin(), read.images[i].data.end()), kThreeImages[i]) << i;
    EXPECT_TRUE(std::equal(read.images[i].description.begin(), read.images[i].description.end(),
                           file.begin() + EntryAt(i)))
        << i;
  }
}

struct Case {
  const char* name;
  std::function<Bytes()> file;
  IconFileError error;
  size_t images = 0;  // when the file is accepted
};

Bytes Patched(Bytes b, size_t at, uint32_t value, int width) {
  if (width == 2) StoreU16(&b[at], static_cast<uint16_t>(value));
  else StoreU32(&b[at], value);
  return b;
}

// `count` zero-sized images, all at the end of the file.
Bytes EmptyImages(uint16_t count) {
  Bytes b(EntryAt(count));
  StoreU16(&b[2], 1);
  StoreU16(&b[4], count);
  for (size_t i = 0; i < count; ++i) StoreU32(&b[EntryAt(i) + 12], static_cast<uint32_t>(b.size()));
  return b;
}

TEST(IconFile, AcceptsAndRefuses) {
  const Bytes good = ThreeImageIcon();
  const size_t third = EntryAt(2);
  const Case cases[] = {
      {"cursor file", [&] { return IconFileOf(2, kThreeImages); }, IconFileError::kNone, 3},
      {"no images", [] { return IconFileOf(1, {}); }, IconFileError::kNone, 0},
      {"1000 images, the most", [] { return EmptyImages(1000); }, IconFileError::kNone, 1000},
      {"empty image at the very end", [&] { return Patched(good, third + 8, 0, 4); }, IconFileError::kNone, 3},
      {"shorter than a header", [&] { return Bytes(good.begin(), good.begin() + 5); },
       IconFileError::kShortHeader},
      {"empty", [] { return Bytes(); }, IconFileError::kShortHeader},
      {"reserved 1", [&] { return Patched(good, 0, 1, 2); }, IconFileError::kReservedNotZero},
      {"type 3", [&] { return Patched(good, 2, 3, 2); }, IconFileError::kUnknownType},
      {"type 0", [&] { return Patched(good, 2, 0, 2); }, IconFileError::kUnknownType},
      {"1001 images with room for their entries", [] { return Patched(EmptyImages(1001), 2, 1, 2); },
       IconFileError::kTooManyImages},
      {"entries for the count run past the end", [&] { return Patched(good, 4, 30, 2); }, IconFileError::kShortEntries},
      {"cut inside the last entry", [&] { return Bytes(good.begin(), good.begin() + third + 15); },
       IconFileError::kShortEntries},
      {"third image one byte too long", [&] { return Patched(good, third + 8, 301, 4); },
       IconFileError::kImageOutside},
      {"third image past the end", [&] { return Patched(good, third + 12, static_cast<uint32_t>(good.size()) - 299, 4); },
       IconFileError::kImageOutside},
      {"offset plus size wraps 32 bits", [&] { return Patched(Patched(good, third + 12, 0x10, 4), third + 8, 0xFFFFFFF8, 4); },
       IconFileError::kImageOutside},
      {"offset at the top of 32 bits", [&] { return Patched(good, third + 12, 0xFFFFFFFF, 4); },
       IconFileError::kImageOutside},
  };
  for (const Case& c : cases) {
    const Bytes file = c.file();
    const IconFileRead read = ReadIconFile(file);
    EXPECT_EQ(read.error, c.error) << c.name << ": " << IconFileErrorText(read.error);
    if (read.ok()) {
      EXPECT_EQ(read.images.size(), c.images) << c.name;
      for (const IconImage& image : read.images) {
        if (image.data.empty()) continue;
        EXPECT_GE(image.data.data(), file.data()) << c.name;
        EXPECT_LE(image.data.data() + image.data.size(), file.data() + file.size()) << c.name;
      }
    } else {
      EXPECT_TRUE(read.images.empty()) << c.name;
    }
    if (read.error == IconFileError::kImageOutside) EXPECT_EQ(read.badEntry, 2u) << c.name;
  }
}

TEST(IconFile, GroupResourceBytes) {
  const Bytes file = ThreeImageIcon();
  const IconFileRead read = ReadIconFile(file);
  ASSERT_TRUE(read.ok());
  const Bytes expected = {
      0, 0, 1, 0, 3, 0,                                       // reserved, icon, three images
      16, 16, 16, 0, 1, 0, 4, 0,  40, 0, 0, 0,   1, 0,        // 16x16, 16 colours, 4 bits, 40 bytes, RT_ICON 1
      32, 32, 0,  0, 1, 0, 8, 0,  7, 0, 0, 0,    2, 0,        // 32x32, 8 bits, 7 bytes, RT_ICON 2
      48, 48, 0,  0, 1, 0, 32, 0, 0x2C, 1, 0, 0, 3, 0,        // 48x48, 32 bits, 300 bytes, RT_ICON 3
  };
  EXPECT_EQ(IconGroupResource(read.images), expected);

  // Numbered from another start; a cursor file still makes an icon group.
  const IconFileRead cursor = ReadIconFile(IconFileOf(2, {Bytes(5, 1)}));
  ASSERT_TRUE(cursor.ok());
  const Bytes second = {0, 0, 1, 0, 1, 0, 16, 16, 16, 0, 1, 0, 4, 0, 5, 0, 0, 0, 0x07, 0x01};
  EXPECT_EQ(IconGroupResource(cursor.images, 0x107), second);

  EXPECT_EQ(IconGroupResource({}), Bytes({0, 0, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace setup
