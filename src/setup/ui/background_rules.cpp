#include "setup/ui/background_rules.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "setup/payload/pe_image.h"

namespace setup {
namespace {

// Band heights: one band per 224 pixels of height, but never thinner than
// 1 pixel nor thicker than 3.
constexpr int kPixelsPerBandStep = 224;
constexpr int kThinnestBand = 1;
constexpr int kThickestBand = 3;

uint32_t Channel(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

// Channel `shift` of band i of n, stepping evenly from top to bottom. The
// product is taken in 64 bits: i may be large for a tall area.
uint32_t BandChannel(uint32_t top, uint32_t bottom, int shift, int64_t i, int64_t n) {
  const int64_t from = Channel(top, shift);
  const int64_t to = Channel(bottom, shift);
  return static_cast<uint32_t>(from + (to - from) * i / (n - 1)) << shift;
}

// The area the single bitmap rectangle is placed in: the client area scaled
// about its centre.
struct Area {
  int64_t left, top, width, height;
};

Area ScaledArea(PixelSize client, uint32_t percent) {
  const int64_t width = int64_t{client.width} * percent / 100;
  const int64_t height = int64_t{client.height} * percent / 100;
  return {(client.width - width) / 2, (client.height - height) / 2, width, height};
}

PixelRect RectOf(int64_t left, int64_t top, int64_t width, int64_t height) {
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(left + width),
          static_cast<int>(top + height)};
}

// The largest rectangle of the bitmap's proportions inside the area,
// centred. Cross products decide which side of the area limits it, so no
// fraction is rounded before the comparison.
PixelRect FitRect(const Area& area, PixelSize bitmap) {
  const int64_t bw = bitmap.width, bh = bitmap.height;
  int64_t width, height;
  if (bw * area.height <= bh * area.width) {
    height = area.height;
    width = bw * area.height / bh;
  } else {
    width = area.width;
    height = bh * area.width / bw;
  }
  return RectOf(area.left + (area.width - width) / 2, area.top + (area.height - height) / 2, width, height);
}

std::vector<PixelRect> TileRects(PixelSize client, PixelSize bitmap) {
  const int64_t columns = (int64_t{client.width} + bitmap.width - 1) / bitmap.width;
  const int64_t rows = (int64_t{client.height} + bitmap.height - 1) / bitmap.height;
  std::vector<PixelRect> rects;
  rects.reserve(static_cast<size_t>(columns * rows));
  for (int64_t row = 0; row < rows; ++row)
    for (int64_t column = 0; column < columns; ++column)
      rects.push_back(RectOf(column * bitmap.width, row * bitmap.height, bitmap.width, bitmap.height));
  return rects;
}

// The BMP layout: a 14-byte file header, then an info header of at least
// 40 bytes whose fields read here all lie in its first 40.
constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kSmallestInfoHeader = 40;
constexpr size_t kPixelOffsetAt = 10;
constexpr size_t kInfoSizeAt = 14;
constexpr size_t kWidthAt = 18;
constexpr size_t kHeightAt = 22;
constexpr size_t kBitCountAt = 28;
constexpr size_t kCompressionAt = 30;
constexpr uint32_t kCompressionNone = 0;       // BI_RGB
constexpr uint32_t kCompressionBitFields = 3;  // BI_BITFIELDS
constexpr size_t kColorsUsedAt = 46;
constexpr uint64_t kBitFieldMasksSize = 12;    // three masks after a 40-byte header
constexpr uint64_t kPaletteEntrySize = 4;

uint16_t U16At(std::span<const uint8_t> bytes, size_t at) { return LoadU16(bytes.data() + at); }
uint32_t U32At(std::span<const uint8_t> bytes, size_t at) { return LoadU32(bytes.data() + at); }

int32_t I32At(std::span<const uint8_t> bytes, size_t at) { return static_cast<int32_t>(U32At(bytes, at)); }

bool IsReadableDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

bool IsReadableCompression(uint32_t compression, int bitsPerPixel) {
  if (compression == kCompressionNone) return true;
  // The colour masks only say how a 16- or 32-bit value splits into
  // channels; the raw value is read the same way.
  return compression == kCompressionBitFields && (bitsPerPixel == 16 || bitsPerPixel == 32);
}

}  // namespace

std::vector<ColorBand> GradientBands(uint32_t top, uint32_t bottom, int clientHeight) {
  std::vector<ColorBand> bands;
  if (clientHeight < 1) return bands;
  const int bandHeight = std::clamp(clientHeight / kPixelsPerBandStep, kThinnestBand, kThickestBand);
  const int count = (clientHeight - 1) / bandHeight + 1;
  bands.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int bandTop = i * bandHeight;
    uint32_t color = top;
    if (count > 1)
      color = BandChannel(top, bottom, 0, i, count) | BandChannel(top, bottom, 8, i, count) |
              BandChannel(top, bottom, 16, i, count);
    bands.push_back({bandTop, std::min(bandHeight, clientHeight - bandTop), color});
  }
  return bands;
}

int TextPoints(double factor, int basePoints) {
  const double points = factor * basePoints;
  if (!(points >= 1.0)) return 1;  // also a factor that is not a number
  if (points >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(std::llround(points));
}

TextMargins TextMarginsOf(PixelSize client) { return {client.width / 200, client.height / 400}; }

int ShrunkTextPoints(int startPoints, const std::function<int(int points)>& textWidthAt, int clientWidth,
                     int horizontalMargin, int shadow) {
  int points = startPoints;
  while (points > kSmallestTextPoints &&
         int64_t{textWidthAt(points)} + horizontalMargin + shadow > clientWidth)
    --points;
  return points;
}

std::optional<TextPlacement> PlaceText(uint8_t position, PixelSize client, int textHeight, int shadow,
                                       TextMargins margins) {
  if (position == kTextHidden || position > kTextBottomRight) return std::nullopt;
  const bool atTop = position <= kTextTopRight;
  TextPlacement placement;
  placement.box.left = margins.horizontal;
  placement.box.right = margins.horizontal + client.width - 2 * (shadow + margins.horizontal);
  placement.box.top = atTop ? margins.vertical : client.height - textHeight - margins.vertical - shadow;
  placement.box.bottom = placement.box.top + textHeight;
  switch ((position - kTextTopLeft) % 3) {
    case 0:
      placement.align = TextAlign::kLeft;
      break;
    case 1:
      placement.align = TextAlign::kCenter;
      break;
    default:
      placement.align = TextAlign::kRight;
      break;
  }
  return placement;
}

std::vector<PixelRect> BitmapTargets(uint32_t mode, PixelSize client, PixelSize bitmap, uint32_t percent) {
  if (percent == 0 || client.width <= 0 || client.height <= 0 || bitmap.width <= 0 || bitmap.height <= 0)
    return {};
  if (mode == kBitmapTile) return TileRects(client, bitmap);
  const Area area = ScaledArea(client, std::min<uint32_t>(percent, 100));
  switch (mode) {
    case kBitmapFit:
      return {FitRect(area, bitmap)};
    case kBitmapCenter:
      return {RectOf(area.left + (area.width - bitmap.width) / 2, area.top + (area.height - bitmap.height) / 2,
                     bitmap.width, bitmap.height)};
    default:
      return {RectOf(area.left, area.top, area.width, area.height)};
  }
}

std::optional<BitmapFile> ParseBitmapFile(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderSize + kSmallestInfoHeader) return std::nullopt;
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const uint32_t infoSize = U32At(file, kInfoSizeAt);
  if (infoSize < kSmallestInfoHeader || infoSize > file.size() - kFileHeaderSize) return std::nullopt;

  const int32_t width = I32At(file, kWidthAt);
  const int32_t height = I32At(file, kHeightAt);
  const int bitsPerPixel = U16At(file, kBitCountAt);
  if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
  if (!IsReadableDepth(bitsPerPixel) || !IsReadableCompression(U32At(file, kCompressionAt), bitsPerPixel))
    return std::nullopt;

  // The colour table (or the bit-field masks) follows the info header; the
  // system reads it when it draws the file, so it must lie inside it.
  const uint32_t compression = U32At(file, kCompressionAt);
  const uint32_t colorsUsed = U32At(file, kColorsUsedAt);
  const uint64_t fullPalette = bitsPerPixel <= 8 ? uint64_t{1} << bitsPerPixel : 0;
  if (bitsPerPixel <= 8 && colorsUsed > fullPalette) return std::nullopt;
  uint64_t tableSize = (colorsUsed ? uint64_t{colorsUsed} : fullPalette) * kPaletteEntrySize;
  if (compression == kCompressionBitFields && infoSize == kSmallestInfoHeader) tableSize += kBitFieldMasksSize;
  if (tableSize > file.size() - kFileHeaderSize - infoSize) return std::nullopt;

  // Sizes in 64 bits and compared by division, so that no width or height
  // a file may claim wraps around.
  const uint64_t rows = height < 0 ? uint64_t(-int64_t{height}) : uint64_t(height);
  const uint64_t stride = (uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32 * 4;
  const uint32_t pixelOffset = U32At(file, kPixelOffsetAt);
  if (pixelOffset > file.size()) return std::nullopt;
  const uint64_t room = file.size() - pixelOffset;
  if (stride > room || stride > uint64_t{INT_MAX} || rows > room / stride) return std::nullopt;

  BitmapFile bitmap;
  bitmap.width = width;
  bitmap.height = static_cast<int>(rows);
  bitmap.bottomUp = height > 0;
  bitmap.bitsPerPixel = bitsPerPixel;
  bitmap.rowStride = static_cast<int>(stride);
  bitmap.pixels = file.subspan(pixelOffset, static_cast<size_t>(stride * rows));
  return bitmap;
}

uint32_t RawPixelValue(const BitmapFile& bitmap, int x, int y) {
  // Outside the picture, or rows the bytes do not hold: 0, never a read
  // past the pixels.
  if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height || bitmap.rowStride <= 0) return 0;
  const size_t row = static_cast<size_t>(bitmap.bottomUp ? bitmap.height - 1 - y : y);
  const uint64_t rowStart = uint64_t{row} * static_cast<uint64_t>(bitmap.rowStride);
  const uint64_t bytesUpToPixel = ((uint64_t(x) + 1) * uint64_t(bitmap.bitsPerPixel) + 7) / 8;
  if (rowStart + bytesUpToPixel > bitmap.pixels.size()) return 0;
  const uint8_t* p = bitmap.pixels.data() + rowStart;
  switch (bitmap.bitsPerPixel) {
    case 1:
      return (p[x / 8] >> (7 - x % 8)) & 1;
    case 4:
      return x % 2 == 0 ? p[x / 2] >> 4 : p[x / 2] & 0x0F;
    case 8:
      return p[x];
    case 16:
      p += size_t(x) * 2;
      return uint32_t{p[0]} << 8 | p[1];
    case 24:
      p += size_t(x) * 3;
      return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    case 32:
      p += size_t(x) * 4;
      return uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    default:
      return 0;
  }
}

std::vector<uint8_t> TransparencyMask(const BitmapFile& bitmap, uint32_t transparentValue) {
  if (bitmap.width <= 0 || bitmap.height <= 0) return {};
  std::vector<uint8_t> mask;
  mask.reserve(size_t(bitmap.width) * size_t(bitmap.height));
  for (int y = 0; y < bitmap.height; ++y)
    for (int x = 0; x < bitmap.width; ++x) mask.push_back(RawPixelValue(bitmap, x, y) == transparentValue ? 1 : 0);
  return mask;
}

std::string ShownTitle(const std::string& displayTitle, const std::string& installationTitle) {
  if (displayTitle.find_first_not_of(" \t") == std::string::npos) return installationTitle;
  return displayTitle;
}

PixelRect PlaceProgressDialog(uint32_t styleValue, PixelRect area, PixelRect dialog) {
  const int width = dialog.Width();
  const int height = dialog.Height();
  int left = dialog.left;
  int top = dialog.top;
  switch (styleValue & kPlaceHorizontalMask) {
    case kPlaceLeft:
      left = area.left;
      break;
    case kPlaceRight:
      left = area.right - width;
      break;
    case kPlaceHorizontalCenter:
      left = area.left + (area.Width() - width) / 2;
      break;
  }
  switch (styleValue & kPlaceVerticalMask) {
    case kPlaceTop:
      top = area.top;
      break;
    case kPlaceBottom:
      top = area.bottom - height;
      break;
    case kPlaceVerticalCenter:
      top = area.top + (area.Height() - height) / 2;
      break;
  }
  return {left, top, left + width, top + height};
}

}  // namespace setup
