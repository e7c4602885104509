#include "setup/ui/background_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "setup/payload/pe_image.h"

namespace setup {
namespace {

using Bytes = std::vector<uint8_t>;

// COLORREF from its channels.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

uint32_t Channel(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

TEST(GradientBands, BandsCoverTheHeight) {
  // Red rises, green falls, blue rises all the way.
  const uint32_t top = Rgb(0x10, 0xF0, 0x00);
  const uint32_t bottom = Rgb(0xE0, 0x20, 0xFF);
  struct Case {
    int height;
    int bandHeight;
    size_t count;
  } cases[] = {
      {1, 1, 1},       {2, 1, 2},       {100, 1, 100},  {223, 1, 223}, {448, 2, 224},
      {449, 2, 225},   // the last band is 1 pixel
      {671, 2, 336},   {672, 3, 224},   {1000, 3, 334},  // 1000 / 224 = 4, clamped to 3; last band 1 pixel
      {1001, 3, 334},  // last band 2 pixels
      {2000, 3, 667},
  };
  for (const Case& c : cases) {
    const std::vector<ColorBand> bands = GradientBands(top, bottom, c.height);
    ASSERT_EQ(bands.size(), c.count) << c.height;
    int next = 0;
    for (size_t i = 0; i < bands.size(); ++i) {
      EXPECT_EQ(bands[i].top, next) << c.height << " band " << i;
      const int expectedHeight = i + 1 < bands.size() ? c.bandHeight : c.height - next;
      EXPECT_EQ(bands[i].height, expectedHeight) << c.height << " band " << i;
      EXPECT_GE(bands[i].height, 1) << c.height << " band " << i;
      EXPECT_LE(bands[i].height, c.bandHeight) << c.height << " band " << i;
      EXPECT_EQ(bands[i].color & 0xFF000000u, 0u) << c.height << " band " << i;
      if (i > 0) {
        const uint32_t before = bands[i - 1].color, now = bands[i].color;
        EXPECT_GE(Channel(now, 0), Channel(before, 0)) << c.height << " red, band " << i;
        EXPECT_LE(Channel(now, 8), Channel(before, 8)) << c.height << " green, band " << i;
        EXPECT_GE(Channel(now, 16), Channel(before, 16)) << c.height << " blue, band " << i;
      }
      next += bands[i].height;
    }
    EXPECT_EQ(next, c.height);
    EXPECT_EQ(bands.front().color, top) << c.height;
    if (bands.size() > 1) {
      EXPECT_EQ(bands.back().color, bottom) << c.height;
    }
  }
}

TEST(GradientBands, ChannelsStepEvenlyRoundedTowardZero) {
  struct Case {
    const char* name;
    uint32_t top, bottom;
    int height;
    std::vector<uint32_t> colors;
  } cases[] = {
      // Five bands, i / 4 of the way: green falls 50 and blue rises 3, so
      // the fractions of a step differ per channel.
      {"rising and falling", Rgb(0, 100, 200), Rgb(10, 50, 203), 5,
       {Rgb(0, 100, 200), Rgb(2, 88, 200), Rgb(5, 75, 201), Rgb(7, 63, 202), Rgb(10, 50, 203)}},
      // White to black: half of -255 is -127, not -128.
      {"white to black", Rgb(255, 255, 255), Rgb(0, 0, 0), 3,
       {Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(0, 0, 0)}},
      // Halfway in blue carries nothing into green.
      {"channels apart", Rgb(255, 0, 0), Rgb(255, 0, 255), 3, {Rgb(255, 0, 0), Rgb(255, 0, 127), Rgb(255, 0, 255)}},
      {"one band keeps the top colour", Rgb(1, 2, 3), Rgb(9, 9, 9), 1, {Rgb(1, 2, 3)}},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> colors;
    for (const ColorBand& band : GradientBands(c.top, c.bottom, c.height)) colors.push_back(band.color);
    EXPECT_EQ(colors, c.colors) << c.name;
  }
}

TEST(GradientBands, NoneBelowOnePixel) {
  for (int height : {0, -1, INT_MIN}) EXPECT_TRUE(GradientBands(0, 0xFFFFFF, height).empty()) << height;
}

TEST(BackgroundText, PointsAreFactorTimesBaseRounded) {
  struct Case {
    double factor;
    int base;
    int points;
  } cases[] = {
      {1.0, kTitleBasePoints, 26},
      {1.5, kSecondLineBasePoints, 24},
      {0.25, kTitleBasePoints, 7},    // 6.5 rounds up
      {1.02, kTitleBasePoints, 27},   // 26.52
      {1.01, kTitleBasePoints, 26},   // 26.26
      {0.01, kSecondLineBasePoints, 1},  // 0.16: never below 1
      {0.0, kTitleBasePoints, 1},
      {-2.0, kSecondLineBasePoints, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(TextPoints(c.factor, c.base), c.points) << c.factor << " x " << c.base;
}

TEST(BackgroundText, MarginsOfTheClientArea) {
  struct Case {
    PixelSize client;
    TextMargins margins;
  } cases[] = {
      {{800, 600}, {4, 1}}, {{1920, 1080}, {9, 2}}, {{199, 399}, {0, 0}},
      {{200, 400}, {1, 1}}, {{0, 0}, {0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextMarginsOf(c.client), c.margins) << c.client.width << "x" << c.client.height;
}

TEST(BackgroundText, ShrinksUntilItFitsButNotBelowTheFloor) {
  struct Case {
    const char* name;
    int start;
    int pixelsPerPoint;
    int clientWidth, margin, shadow;
    int points;
  } cases[] = {
      {"fits at the start", 26, 10, 1000, 4, 2, 26},
      {"exactly as wide as the client fits", 26, 10, 266, 4, 2, 26},
      {"one pixel too wide", 26, 10, 265, 4, 2, 25},
      {"shrinks to an exact fit", 26, 10, 206, 4, 2, 20},
      {"shrinks to the size below", 26, 10, 205, 4, 2, 19},
      {"no margin and no shadow, exactly as wide", 26, 10, 260, 0, 0, 26},
      {"the shadow alone counts", 26, 10, 260, 0, 1, 25},
      {"the margin alone counts", 26, 10, 260, 1, 0, 25},
      {"nothing fits: the floor", 26, 10, 10, 4, 2, kSmallestTextPoints},
      {"one above the floor, nothing fits", 7, 10, 10, 0, 0, kSmallestTextPoints},
      {"start at the floor", kSmallestTextPoints, 10, 10, 0, 0, kSmallestTextPoints},
      {"start below the floor stays", 4, 10, 10, 0, 0, 4},
  };
  for (const Case& c : cases) {
    const auto widthAt = [&](int points) { return points * c.pixelsPerPoint; };
    EXPECT_EQ(ShrunkTextPoints(c.start, widthAt, c.clientWidth, c.margin, c.shadow), c.points) << c.name;
  }
}

TEST(BackgroundText, PlacementOfEveryPosition) {
  const PixelSize client{800, 600};
  const TextMargins margins{4, 1};
  // 800 - 2 x (2 + 4) wide; the bottom ones end at 600 - 1 - 2.
  const PixelRect top{4, 1, 792, 31};
  const PixelRect bottom{4, 567, 792, 597};
  struct Case {
    uint8_t position;
    PixelSize client;
    int textHeight, shadow;
    TextMargins margins;
    std::optional<TextPlacement> placement;
  } cases[] = {
      {kTextHidden, client, 30, 2, margins, std::nullopt},
      {kTextTopLeft, client, 30, 2, margins, TextPlacement{top, TextAlign::kLeft}},
      {kTextTopCenter, client, 30, 2, margins, TextPlacement{top, TextAlign::kCenter}},
      {kTextTopRight, client, 30, 2, margins, TextPlacement{top, TextAlign::kRight}},
      {kTextBottomLeft, client, 30, 2, margins, TextPlacement{bottom, TextAlign::kLeft}},
      {kTextBottomCenter, client, 30, 2, margins, TextPlacement{bottom, TextAlign::kCenter}},
      {kTextBottomRight, client, 30, 2, margins, TextPlacement{bottom, TextAlign::kRight}},
      {7, client, 30, 2, margins, std::nullopt},
      {255, client, 30, 2, margins, std::nullopt},
      // No shadow and no margins: the whole width, flush with the edges.
      {kTextTopRight, {640, 480}, 20, 0, {0, 0}, TextPlacement{{0, 0, 640, 20}, TextAlign::kRight}},
      {kTextBottomCenter, {640, 480}, 20, 0, {0, 0}, TextPlacement{{0, 460, 640, 480}, TextAlign::kCenter}},
      // Margins and shadow in both directions at once.
      {kTextBottomLeft, {1000, 500}, 40, 3, {5, 2}, TextPlacement{{5, 455, 989, 495}, TextAlign::kLeft}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceText(c.position, c.client, c.textHeight, c.shadow, c.margins), c.placement)
        << static_cast<int>(c.position) << " in " << c.client.width << "x" << c.client.height;
}

TEST(BackgroundBitmap, TargetsOfEveryMode) {
  const PixelSize screen{800, 600};
  struct Case {
    const char* name;
    uint32_t mode;
    PixelSize client, bitmap;
    uint32_t percent;
    std::vector<PixelRect> rects;
  } cases[] = {
      {"stretch", kBitmapStretch, screen, {100, 50}, 100, {{0, 0, 800, 600}}},
      {"stretch at 50 percent", kBitmapStretch, screen, {100, 50}, 50, {{200, 150, 600, 450}}},
      {"stretch at 50 percent, odd client", kBitmapStretch, {801, 601}, {100, 50}, 50, {{200, 150, 600, 450}}},
      {"above 100 percent is 100", kBitmapStretch, screen, {100, 50}, 150, {{0, 0, 800, 600}}},
      {"fit, wide bitmap", kBitmapFit, screen, {200, 100}, 100, {{0, 100, 800, 500}}},
      {"fit, tall bitmap", kBitmapFit, screen, {100, 300}, 100, {{300, 0, 500, 600}}},
      {"fit, same proportions", kBitmapFit, screen, {400, 300}, 100, {{0, 0, 800, 600}}},
      {"fit, small bitmap grows", kBitmapFit, screen, {4, 3}, 100, {{0, 0, 800, 600}}},
      {"fit, width rounded down", kBitmapFit, screen, {3, 7}, 100, {{271, 0, 528, 600}}},
      {"fit at 50 percent", kBitmapFit, screen, {100, 300}, 50, {{350, 150, 450, 450}}},
      // 70000 x 50000 is past 32 bits.
      {"fit, large sides", kBitmapFit, {60000, 50000}, {70000, 30000}, 100, {{0, 12143, 60000, 37857}}},
      {"center", kBitmapCenter, screen, {100, 50}, 100, {{350, 275, 450, 325}}},
      {"center at 50 percent, odd client", kBitmapCenter, {801, 600}, {100, 50}, 50, {{350, 275, 450, 325}}},
      {"center, bitmap larger than the client", kBitmapCenter, screen, {1001, 700}, 100,
       {{-100, -50, 901, 650}}},
      {"tile, exact", kBitmapTile, {200, 100}, {100, 50}, 100,
       {{0, 0, 100, 50}, {100, 0, 200, 50}, {0, 50, 100, 100}, {100, 50, 200, 100}}},
      {"tile, cut at the right and bottom", kBitmapTile, {250, 60}, {100, 50}, 100,
       {{0, 0, 100, 50},
        {100, 0, 200, 50},
        {200, 0, 300, 50},
        {0, 50, 100, 100},
        {100, 50, 200, 100},
        {200, 50, 300, 100}}},
      {"tile, bitmap larger than the client", kBitmapTile, {50, 40}, {100, 50}, 100, {{0, 0, 100, 50}}},
      {"tile ignores the percent", kBitmapTile, {200, 50}, {100, 50}, 50, {{0, 0, 100, 50}, {100, 0, 200, 50}}},
      {"unknown mode stretches", 4, screen, {100, 50}, 50, {{200, 150, 600, 450}}},
      {"largest mode stretches", 0xFFFFFFFFu, screen, {100, 50}, 100, {{0, 0, 800, 600}}},
  };
  for (const Case& c : cases) EXPECT_EQ(BitmapTargets(c.mode, c.client, c.bitmap, c.percent), c.rects) << c.name;
}

TEST(BackgroundBitmap, NothingWithoutRoomPercentOrPicture) {
  struct Case {
    const char* name;
    PixelSize client, bitmap;
    uint32_t percent;
  } cases[] = {
      {"percent 0", {800, 600}, {100, 50}, 0},          {"no client width", {0, 600}, {100, 50}, 100},
      {"no client height", {800, 0}, {100, 50}, 100},   {"negative client", {-800, 600}, {100, 50}, 100},
      {"no bitmap width", {800, 600}, {0, 50}, 100},    {"no bitmap height", {800, 600}, {100, 0}, 100},
      {"negative bitmap", {800, 600}, {100, -50}, 100},
  };
  for (const Case& c : cases)
    for (uint32_t mode : {kBitmapStretch, kBitmapFit, kBitmapCenter, kBitmapTile})
      EXPECT_TRUE(BitmapTargets(mode, c.client, c.bitmap, c.percent).empty()) << c.name << ", mode " << mode;
}

// A picture as its stored rows, top row first, each padded to 4 bytes by
// hand.
struct Picture {
  int width;
  uint16_t bitsPerPixel;
  std::vector<Bytes> rows;
};

struct BmpLayout {
  bool topDown = false;
  uint32_t compression = 0;
  uint32_t infoSize = 40;
  uint32_t gap = 0;  // palette or colour masks before the pixels
};

// The BMP file of a picture: file header, info header, `gap` bytes, then
// the rows bottom row first unless top-down. Up to 8 bits per pixel the gap
// is the palette: its entries are counted in the header, and without a gap
// the picture gets the whole palette its depth can index.
Bytes BmpFile(const Picture& picture, BmpLayout layout = {}) {
  const int height = static_cast<int>(picture.rows.size());
  const bool paletted = picture.bitsPerPixel <= 8;
  if (paletted && layout.gap == 0) layout.gap = 4u << picture.bitsPerPixel;
  const uint32_t pixelOffset = 14 + layout.infoSize + layout.gap;
  Bytes b(pixelOffset, 0xCC);
  std::fill(b.begin(), b.begin() + 14 + layout.infoSize, 0);
  b[0] = 'B';
  b[1] = 'M';
  StoreU32(&b[10], pixelOffset);
  StoreU32(&b[14], layout.infoSize);
  StoreU32(&b[18], static_cast<uint32_t>(picture.width));
  StoreU32(&b[22], static_cast<uint32_t>(layout.topDown ? -height : height));
  StoreU16(&b[26], 1);
  StoreU16(&b[28], picture.bitsPerPixel);
  StoreU32(&b[30], layout.compression);
  if (paletted && layout.gap != 4u << picture.bitsPerPixel) StoreU32(&b[46], layout.gap / 4);
  for (int i = 0; i < height; ++i) {
    const Bytes& row = picture.rows[layout.topDown ? i : height - 1 - i];
    b.insert(b.end(), row.begin(), row.end());
  }
  StoreU32(&b[2], static_cast<uint32_t>(b.size()));
  return b;
}

// One picture of each depth, with a transparent value whose pixels make a
// pattern no neighbouring byte, nibble or bit order gives.
struct DepthCase {
  const char* name;
  Picture picture;
  std::vector<uint32_t> values;  // row by row from the top
  uint32_t transparent;
  std::vector<const char*> mask;  // row by row from the top
};

std::vector<DepthCase> DepthCases() {
  return {
      {"1 bit, 10 wide: two bytes and two of padding",
       {10, 1, {{0xB0, 0x7F, 0xFF, 0xFF}, {0x4F, 0x80, 0x00, 0x00}}},
       {1, 0, 1, 1, 0, 0, 0, 0, 0, 1, /**/ 0, 1, 0, 0, 1, 1, 1, 1, 1, 0},
       1,
       {"1011000001", "0100111110"}},
      {"4 bits, 3 wide: high nibble first",
       {3, 4, {{0x5A, 0x5F, 0xEE, 0xEE}, {0xA5, 0xA0, 0x55, 0x55}}},
       {0x5, 0xA, 0x5, /**/ 0xA, 0x5, 0xA},
       0x5,
       {"101", "010"}},
      {"8 bits, 3 wide", {3, 8, {{7, 9, 7, 0}, {9, 9, 7, 0}}}, {7, 9, 7, /**/ 9, 9, 7}, 7, {"101", "001"}},
      {"16 bits: first byte high",
       {3, 16, {{0x12, 0x34, 0x34, 0x12, 0x12, 0x34, 0, 0}, {0x34, 0x12, 0x12, 0x34, 0, 0, 0x12, 0x34}}},
       {0x1234, 0x3412, 0x1234, /**/ 0x3412, 0x1234, 0x0000},
       0x1234,
       {"101", "010"}},
      {"24 bits: blue green red from the top bits down",
       {3,
        24,
        {{0x11, 0x22, 0x33, 0x33, 0x22, 0x11, 0x11, 0x22, 0x33, 0, 0, 0},
         {0x33, 0x22, 0x11, 0x11, 0x22, 0x33, 0x11, 0x22, 0x34, 0x11, 0x22, 0x33}}},
       {0x112233, 0x332211, 0x112233, /**/ 0x332211, 0x112233, 0x112234},
       0x112233,
       {"101", "010"}},
      {"32 bits: the fourth byte on top",
       {2, 32, {{0x11, 0x22, 0x33, 0x44, 0x11, 0x22, 0x33, 0x00}, {0x33, 0x22, 0x11, 0x44, 0x11, 0x22, 0x33, 0x44}}},
       {0x44112233, 0x00112233, /**/ 0x44332211, 0x44112233},
       0x44112233,
       {"10", "01"}},
  };
}

std::vector<uint8_t> MaskOf(const std::vector<const char*>& rows) {
  std::vector<uint8_t> mask;
  for (const char* row : rows)
    for (const char* p = row; *p; ++p) mask.push_back(*p == '1' ? 1 : 0);
  return mask;
}

TEST(BitmapPixels, RawValuesOfEveryDepthInBothRowOrders) {
  for (const DepthCase& c : DepthCases()) {
    const int height = static_cast<int>(c.picture.rows.size());
    for (bool topDown : {false, true}) {
      const Bytes file = BmpFile(c.picture, {.topDown = topDown});
      const std::optional<BitmapFile> bitmap = ParseBitmapFile(file);
      ASSERT_TRUE(bitmap) << c.name << (topDown ? ", top-down" : ", bottom-up");
      EXPECT_EQ(bitmap->width, c.picture.width) << c.name;
      EXPECT_EQ(bitmap->height, height) << c.name;
      EXPECT_EQ(bitmap->bottomUp, !topDown) << c.name;
      EXPECT_EQ(bitmap->bitsPerPixel, c.picture.bitsPerPixel) << c.name;
      EXPECT_EQ(bitmap->rowStride, static_cast<int>(c.picture.rows[0].size())) << c.name;
      std::vector<uint32_t> values;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < c.picture.width; ++x) values.push_back(RawPixelValue(*bitmap, x, y));
      EXPECT_EQ(values, c.values) << c.name << (topDown ? ", top-down" : ", bottom-up");
    }
  }
}

TEST(BitmapPixels, TransparencyMaskOfEveryDepthIsTheSameBottomUpAndTopDown) {
  for (const DepthCase& c : DepthCases()) {
    const std::vector<uint8_t> expected = MaskOf(c.mask);
    for (bool topDown : {false, true}) {
      const Bytes file = BmpFile(c.picture, {.topDown = topDown});
      const std::optional<BitmapFile> bitmap = ParseBitmapFile(file);
      ASSERT_TRUE(bitmap) << c.name;
      EXPECT_EQ(TransparencyMask(*bitmap, c.transparent), expected)
          << c.name << (topDown ? ", top-down" : ", bottom-up");
    }
  }
}

TEST(BitmapPixels, NoPixelIsTransparentForTheOpaqueValue) {
  for (const DepthCase& c : DepthCases()) {
    const Bytes file = BmpFile(c.picture);
    const std::optional<BitmapFile> bitmap = ParseBitmapFile(file);
    ASSERT_TRUE(bitmap) << c.name;
    const std::vector<uint8_t> mask = TransparencyMask(*bitmap, kOpaqueBitmap);
    EXPECT_EQ(mask, std::vector<uint8_t>(c.values.size(), 0)) << c.name;
  }
}

const Picture kEightBit{3, 8, {{1, 2, 3, 0}, {4, 5, 6, 0}}};
const Picture kSixteenBit{1, 16, {{0x12, 0x34, 0, 0}, {0x56, 0x78, 0, 0}}};
const Picture kThirtyTwoBit{1, 32, {{1, 2, 3, 4}, {5, 6, 7, 8}}};

TEST(BitmapFileHeaders, AcceptedLayouts) {
  struct Case {
    const char* name;
    Bytes file;
    uint32_t pixelOffset;
    int stride;
  } cases[] = {
      {"256-colour palette", BmpFile(kEightBit, {.gap = 1024}), 14 + 40 + 1024, 4},
      {"two-colour palette", BmpFile(kEightBit, {.gap = 8}), 14 + 40 + 8, 4},
      {"version 4 info header", BmpFile(kEightBit, {.infoSize = 108}), 14 + 108 + 1024, 4},
      {"version 5 info header, top-down", BmpFile(kEightBit, {.topDown = true, .infoSize = 124}), 14 + 124 + 1024,
       4},
      {"version 4 header with its masks inside", BmpFile(kSixteenBit, {.compression = 3, .infoSize = 108}), 14 + 108,
       4},
      {"16-bit colour masks", BmpFile(kSixteenBit, {.compression = 3, .gap = 12}), 14 + 40 + 12, 4},
      {"32-bit colour masks", BmpFile(kThirtyTwoBit, {.compression = 3, .gap = 12}), 14 + 40 + 12, 4},
  };
  for (Case& c : cases) {
    const std::optional<BitmapFile> bitmap = ParseBitmapFile(c.file);
    ASSERT_TRUE(bitmap) << c.name;
    EXPECT_EQ(bitmap->rowStride, c.stride) << c.name;
    EXPECT_EQ(bitmap->pixels.data(), c.file.data() + c.pixelOffset) << c.name;
    EXPECT_EQ(bitmap->pixels.size(), static_cast<size_t>(c.stride * bitmap->height)) << c.name;
  }
  // Bytes after the last row are no harm.
  Bytes longer = BmpFile(kEightBit);
  longer.resize(longer.size() + 5, 0xAB);
  EXPECT_TRUE(ParseBitmapFile(longer));
}

struct Patch {
  size_t at;
  uint32_t value;
  int bytes = 4;
};

Bytes Patched(Bytes file, std::initializer_list<Patch> patches) {
  for (const Patch& p : patches) {
    if (p.bytes == 2)
      StoreU16(&file[p.at], static_cast<uint16_t>(p.value));
    else
      StoreU32(&file[p.at], p.value);
  }
  return file;
}

Bytes Cut(const Bytes& file, size_t size) { return Bytes(file.begin(), file.begin() + size); }

TEST(BitmapFileHeaders, Rejected) {
  // 3 x 2 pixels, 24 bits: rows of 12 bytes from offset 54, 78 bytes in all.
  const Bytes good = BmpFile({3, 24, {Bytes(12, 0x10), Bytes(12, 0x20)}});
  const Bytes good8 = BmpFile(kEightBit);
  const Bytes good4 = BmpFile({3, 4, {{0x12, 0x30, 0, 0}, {0x45, 0x60, 0, 0}}});
  const Bytes good32 = BmpFile(kThirtyTwoBit);
  ASSERT_EQ(good.size(), 78u);
  for (const Bytes* file : {&good, &good8, &good4, &good32}) ASSERT_TRUE(ParseBitmapFile(*file));

  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"file header only", Cut(good, 14)},
      {"info header cut", Cut(good, 53)},
      {"last row a byte short", Cut(good, 77)},
      {"not BM", Patched(good, {{0, 'X', 2}})},
      {"MB", Patched(good, {{0, 'M' | 'B' << 8, 2}})},
      {"12-byte core header", Patched(good, {{14, 12}})},
      {"info header of 39 bytes", Patched(good, {{14, 39}})},
      {"info header longer than the file", Patched(good, {{14, 65}})},
      {"info header size 0xFFFFFFFF", Patched(good, {{14, 0xFFFFFFFFu}})},
      {"width 0", Patched(good, {{18, 0}})},
      {"negative width", Patched(good, {{18, static_cast<uint32_t>(-3)}})},
      {"height 0", Patched(good, {{22, 0}})},
      {"0 bits", Patched(good, {{28, 0, 2}})},
      {"2 bits", Patched(good, {{28, 2, 2}})},
      {"15 bits", Patched(good, {{28, 15, 2}})},
      {"48 bits", Patched(good, {{18, 1}, {28, 48, 2}})},
      {"64 bits", Patched(good, {{18, 1}, {28, 64, 2}})},
      {"run-length 8 bits", Patched(good8, {{30, 1}})},
      {"run-length 4 bits", Patched(good4, {{30, 2}})},
      {"colour masks for 8 bits", Patched(good8, {{30, 3}})},
      {"colour masks for 24 bits", Patched(good, {{30, 3}})},
      {"JPEG", Patched(good, {{30, 4}})},
      {"PNG", Patched(good32, {{30, 5}})},
      {"palette past the end", Patched(BmpFile(kEightBit, {.gap = 8}), {{46, 256}})},
      {"more colours than 8 bits index", Patched(BmpFile(kEightBit, {.gap = 1028}), {{46, 257}})},
      {"colour masks past the end", BmpFile(kSixteenBit, {.compression = 3})},
      {"pixel offset one past the end", Patched(good, {{10, 79}})},
      {"rows one byte past the end", Patched(good, {{10, 55}})},
      {"pixel offset 0xFFFFFFFF", Patched(good, {{10, 0xFFFFFFFFu}})},
      {"height 0x7FFFFFFF", Patched(good, {{22, 0x7FFFFFFFu}})},
      {"height -0x7FFFFFFF", Patched(good, {{22, 0x80000001u}})},
      {"height INT_MIN", Patched(good, {{22, 0x80000000u}})},
      {"largest width and height", Patched(good, {{18, 0x7FFFFFFFu}, {22, 0x7FFFFFFFu}, {28, 32, 2}})},
      // Sizes that wrap to 0 in 32 bits: width x bits, and row size x rows.
      {"width x bits is 2^32", Patched(good, {{18, 0x08000000u}, {22, 1}, {28, 32, 2}})},
      {"row size x rows is 2^32", Patched(good, {{18, 0x00400000u}, {22, 0x100}, {28, 32, 2}})},
  };
  for (const Case& c : cases) EXPECT_FALSE(ParseBitmapFile(c.file)) << c.name;
}

TEST(BitmapFileHeaders, EveryCutOfAGoodFileIsRejected) {
  for (bool topDown : {false, true}) {
    const Bytes file = BmpFile(kEightBit, {.topDown = topDown, .gap = 8});
    for (size_t size = 0; size < file.size(); ++size) {
      const Bytes cut = Cut(file, size);  // exactly `size` bytes, so a read past them is a read past the heap block
      EXPECT_FALSE(ParseBitmapFile(cut)) << size;
    }
  }
}

TEST(BackgroundTitle, DisplayTitleUnlessBlank) {
  struct Case {
    std::string display;
    std::string shown;
  } cases[] = {
      {"Orvanta Tools 2.0", "Orvanta Tools 2.0"},
      {"", "Setup of Tools"},
      {" ", "Setup of Tools"},
      {" \t  \t", "Setup of Tools"},
      {"  Tools  ", "  Tools  "},  // kept as it is, blanks and all
      {"\r\n", "\r\n"},            // a line break is no blank
  };
  for (const Case& c : cases) EXPECT_EQ(ShownTitle(c.display, "Setup of Tools"), c.shown) << '"' << c.display << '"';
}

TEST(ProgressDialog, PlacedInTheWorkArea) {
  // A work area with the taskbar on the left (40 pixels) and at the top
  // (30 pixels); a 400 x 200 dialog.
  const PixelRect area{40, 30, 1040, 770};
  const PixelRect dialog{100, 200, 500, 400};
  // Horizontal: unchanged 100, left 40, right 1040 - 400, centred
  // 40 + (1000 - 400) / 2. Vertical: unchanged 200, top 30, bottom
  // 770 - 200, centred 30 + (740 - 200) / 2.
  struct Case {
    uint32_t style;
    int left, top;
  } cases[] = {
      {0x00, 100, 200}, {0x01, 40, 200},  {0x02, 640, 200}, {0x03, 340, 200},
      {0x08, 100, 30},  {0x09, 40, 30},   {0x0A, 640, 30},  {0x0B, 340, 30},
      {0x10, 100, 570}, {0x11, 40, 570},  {0x12, 640, 570}, {0x13, 340, 570},
      {0x18, 100, 300}, {0x19, 40, 300},  {0x1A, 640, 300}, {0x1B, 340, 300},
      // Other bits change nothing.
      {0x04, 100, 200}, {0xFFFFFFE4u, 100, 200}, {0xFFFFFFFFu, 340, 300},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceProgressDialog(c.style, area, dialog), (PixelRect{c.left, c.top, c.left + 400, c.top + 200}))
        << std::hex << c.style;
}

}  // namespace
}  // namespace setup
