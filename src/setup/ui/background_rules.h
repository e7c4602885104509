#pragma once
// Decisions of the background window and the progress dialog that need no
// window: the colour bands that stand in for a gradient, where the title
// and the second line go and how far they shrink, where the bitmap goes in
// each stretch mode, which of its pixels are transparent, and where the
// progress dialog is placed.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace setup {

// A rectangle in pixels, right and bottom exclusive (as a Windows RECT).
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
  int width = 0, height = 0;
  bool operator==(const PixelSize&) const = default;
};

// Colours are COLORREF values: red in bits 0-7, green 8-15, blue 16-23.

// One horizontal band of the gradient drawn without GradientFill.
struct ColorBand {
  int top = 0;
  int height = 0;
  uint32_t color = 0;
  bool operator==(const ColorBand&) const = default;
};

// The bands that cover a client area `clientHeight` pixels high: each
// clientHeight / 224 pixels high, clamped to 1..3 (the last one may be
// cut by the bottom edge). The first band has `top`, the last `bottom`;
// between them each channel steps evenly: band i of n has
// top + (bottom - top) * i / (n - 1) per channel (integer division toward
// zero). No bands for a height below 1.
std::vector<ColorBand> GradientBands(uint32_t top, uint32_t bottom, int clientHeight);

// The title's and the second line's positions.
inline constexpr uint8_t kTextHidden = 0;
inline constexpr uint8_t kTextTopLeft = 1;
inline constexpr uint8_t kTextTopCenter = 2;
inline constexpr uint8_t kTextTopRight = 3;
inline constexpr uint8_t kTextBottomLeft = 4;
inline constexpr uint8_t kTextBottomCenter = 5;
inline constexpr uint8_t kTextBottomRight = 6;

// Base point sizes: the title is TitleSize x 26 points, the second line
// CopyrightSize x 16.
inline constexpr int kTitleBasePoints = 26;
inline constexpr int kSecondLineBasePoints = 16;
// Below this a text is not made smaller, whether it fits or not.
inline constexpr int kSmallestTextPoints = 6;

// factor x base, rounded to the nearest point; never below 1.
int TextPoints(double factor, int basePoints);

// Horizontal: client width / 200; vertical: client height / 400.
struct TextMargins {
  int horizontal = 0;
  int vertical = 0;
  bool operator==(const TextMargins&) const = default;
};
TextMargins TextMarginsOf(PixelSize client);

// The point size a text is drawn at: from `startPoints` down by one while
// textWidthAt(points) + margin + shadow is wider than the client area and
// the size is above kSmallestTextPoints. A start at or below that floor is
// used as it is.
int ShrunkTextPoints(int startPoints, const std::function<int(int points)>& textWidthAt, int clientWidth,
                     int horizontalMargin, int shadow);

enum class TextAlign { kLeft, kCenter, kRight };

// Where a text of `textHeight` pixels is drawn, in its colour: the box it
// is aligned in and how. The shadow (when not 0) is the same box moved
// right and down by the shadow offset. Box: from the horizontal margin,
// client width - 2 x (shadow + margin) wide; at the vertical margin for
// the top positions, at client height - text height - margin - shadow for
// the bottom ones; text height high. Empty (nullopt) for position 0 or a
// position above 6.
struct TextPlacement {
  PixelRect box;
  TextAlign align = TextAlign::kLeft;
  bool operator==(const TextPlacement&) const = default;
};
std::optional<TextPlacement> PlaceText(uint8_t position, PixelSize client, int textHeight, int shadow,
                                       TextMargins margins);

// How the bitmap is drawn (StretchMode).
inline constexpr uint32_t kBitmapStretch = 0;
inline constexpr uint32_t kBitmapFit = 1;
inline constexpr uint32_t kBitmapCenter = 2;
inline constexpr uint32_t kBitmapTile = 3;

// The rectangles the bitmap is drawn into. Tile: the bitmap at its natural
// size from the top left corner, in ceil(client width / bitmap width)
// columns and ceil(client height / bitmap height) rows, row by row.
// Otherwise one rectangle inside the area: the client rectangle scaled
// about its centre to `percent` (each side percent/100 of the client's,
// centred, integer pixels); stretch fills the area, fit is the largest
// rectangle of the bitmap's proportions inside it, centred; center is the
// bitmap's natural size centred on the area (it may stand out of it);
// an unknown mode stretches. Nothing for percent 0, an empty client area or
// an empty bitmap.
std::vector<PixelRect> BitmapTargets(uint32_t mode, PixelSize client, PixelSize bitmap, uint32_t percent);

// BitmapTPI's value for an opaque bitmap.
inline constexpr uint32_t kOpaqueBitmap = 0xFFFFFFFFu;

// A BMP file as stored: the file header, an info header (40 bytes or one of
// the later, longer ones), an optional palette and the pixel rows (each
// padded to 4 bytes; stored bottom-up when the height is positive).
struct BitmapFile {
  int width = 0;
  int height = 0;         // always positive
  bool bottomUp = false;  // rows stored from the bottom of the picture
  int bitsPerPixel = 0;   // 1, 4, 8, 16, 24 or 32
  std::span<const uint8_t> pixels;  // the pixel rows as stored
  int rowStride = 0;                // bytes per stored row
};

// The file, or nullopt when it is not an uncompressed BMP (BI_RGB, or
// BI_BITFIELDS for 16 and 32 bits) of 1, 4, 8, 16, 24 or 32 bits per pixel
// whose rows all lie inside the bytes.
std::optional<BitmapFile> ParseBitmapFile(std::span<const uint8_t> file);

// The raw value of the pixel at x, y (y counted from the top of the
// picture): the palette index up to 8 bits per pixel; for 16 bits the
// first stored byte in bits 8-15 and the second in bits 0-7; for 24 bits
// the stored blue, green, red bytes in bits 16-23, 8-15 and 0-7; for 32 bits
// also the fourth byte in bits 24-31.
uint32_t RawPixelValue(const BitmapFile& bitmap, int x, int y);

// One byte per pixel, row by row from the top: 1 where the raw value equals
// `transparentValue`, else 0.
std::vector<uint8_t> TransparencyMask(const BitmapFile& bitmap, uint32_t transparentValue);

// The title the background shows: DisplayTitle, or the title of the
// installation (string 0) when DisplayTitle is empty or only blanks.
std::string ShownTitle(const std::string& displayTitle, const std::string& installationTitle);

// DialogStyleValue: where the progress dialog goes in its area.
inline constexpr uint32_t kPlaceHorizontalMask = 0x03;
inline constexpr uint32_t kPlaceLeft = 0x01;
inline constexpr uint32_t kPlaceRight = 0x02;
inline constexpr uint32_t kPlaceHorizontalCenter = 0x03;
inline constexpr uint32_t kPlaceVerticalMask = 0x18;
inline constexpr uint32_t kPlaceTop = 0x08;
inline constexpr uint32_t kPlaceBottom = 0x10;
inline constexpr uint32_t kPlaceVerticalCenter = 0x18;

// The dialog's rectangle after placing `dialog` in `area` by `styleValue`:
// each direction on the area's near edge, far edge or centre, or unchanged
// when its bits are 0. Its size never changes.
PixelRect PlaceProgressDialog(uint32_t styleValue, PixelRect area, PixelRect dialog);

}  // namespace setup
