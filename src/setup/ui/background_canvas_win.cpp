#include "setup/ui/background_canvas_win.h"

#include <cstring>
#include <utility>

#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// A memory DC with one object selected, put back and deleted with it.
class SelectedDc {
 public:
  SelectedDc(HDC reference, HGDIOBJ object) : dc_(::CreateCompatibleDC(reference)) {
    if (dc_) old_ = ::SelectObject(dc_, object);
  }
  SelectedDc(const SelectedDc&) = delete;
  SelectedDc& operator=(const SelectedDc&) = delete;
  ~SelectedDc() {
    if (!dc_) return;
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// An object selected into a DC for a while.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { ::SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

void FillColor(HDC dc, const RECT& area, uint32_t color) {
  tl::ScopedGdiObject brush(::CreateSolidBrush(color));
  ::FillRect(dc, &area, static_cast<HBRUSH>(brush.Get()));
}

TRIVERTEX Vertex(int x, int y, uint32_t color) {
  TRIVERTEX vertex = {};
  vertex.x = x;
  vertex.y = y;
  vertex.Red = static_cast<COLOR16>(GetRValue(color) << 8);
  vertex.Green = static_cast<COLOR16>(GetGValue(color) << 8);
  vertex.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
  return vertex;
}

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

HFONT CreateTextFont(HDC dc, const std::wstring& face, int points) {
  const int height = ::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  return ::CreateFontW(height, 0, 0, 0, FW_HEAVY, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  SIZE size = {};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

UINT AlignFormat(TextAlign align) {
  switch (align) {
    case TextAlign::kCenter:
      return DT_CENTER;
    case TextAlign::kRight:
      return DT_RIGHT;
    default:
      return DT_LEFT;
  }
}

}  // namespace

BackgroundCanvas::BackgroundCanvas(BackgroundLook look) : look_(std::move(look)) {}

void BackgroundCanvas::SetLook(BackgroundLook look) {
  look_ = std::move(look);
  cache_.Reset();
  bitmapPrepared_ = false;
  file_.reset();
  image_.Reset();
  mask_.Reset();
}

void BackgroundCanvas::PaintTo(HDC dc, PixelSize client) {
  if (client.width <= 0 || client.height <= 0) return;
  if (!cache_ || cacheSize_ != client) {
    cache_.Reset(::CreateCompatibleBitmap(dc, client.width, client.height));
    cacheSize_ = client;
    if (!cache_) {
      // No memory for the copy: draw straight into the window.
      Render(dc, client);
      return;
    }
    SelectedDc memory(dc, cache_.Get());
    Render(memory.Get(), client);
  }
  SelectedDc memory(dc, cache_.Get());
  ::BitBlt(dc, 0, 0, client.width, client.height, memory.Get(), 0, 0, SRCCOPY);
}

void BackgroundCanvas::Render(HDC dc, PixelSize client) {
  FillBackground(dc, client);
  DrawBitmap(dc, client);
  DrawText(dc, client, look_.title);
  DrawText(dc, client, look_.secondLine);
}

void BackgroundCanvas::FillBackground(HDC dc, PixelSize client) {
  const RECT whole = {0, 0, client.width, client.height};
  if (look_.monoColor) {
    FillColor(dc, whole, look_.topColor);
    return;
  }
  static const auto gradientFill = tl::OnDemandFunction<GradientFillFunction>("msimg32.dll", "GradientFill");
  if (useGradientFill_ && gradientFill) {
    TRIVERTEX corners[2] = {Vertex(0, 0, look_.topColor), Vertex(client.width, client.height, look_.bottomColor)};
    GRADIENT_RECT rect = {0, 1};
    if (gradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V)) return;
  }
  for (const ColorBand& band : GradientBands(look_.topColor, look_.bottomColor, client.height))
    FillColor(dc, {0, band.top, client.width, band.top + band.height}, band.color);
}

bool BackgroundCanvas::PrepareBitmap(HDC reference) {
  if (bitmapPrepared_) return static_cast<bool>(image_);
  bitmapPrepared_ = true;
  file_ = ParseBitmapFile(look_.bitmap);
  if (!file_) return false;
  const int width = file_->width;
  const int height = file_->height;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  image_.Reset(::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!image_ || !bits) return false;
  {
    // The file's own header and palette describe its rows.
    const auto* fileInfo = reinterpret_cast<const BITMAPINFO*>(look_.bitmap.data() + sizeof(BITMAPFILEHEADER));
    SelectedDc memory(reference, image_.Get());
    ::SetStretchBltMode(memory.Get(), COLORONCOLOR);
    ::StretchDIBits(memory.Get(), 0, 0, width, height, 0, 0, width, height, file_->pixels.data(), fileInfo,
                    DIB_RGB_COLORS, SRCCOPY);
    ::GdiFlush();
  }
  // Tiles are copied as they are; only the other modes draw through a mask.
  if (look_.transparentValue == kOpaqueBitmap || look_.stretchMode == kBitmapTile) return true;
  // Transparent pixels: black in the picture (ORed in) and white in the
  // mask (ANDed, keeping what lies below).
  const std::vector<uint8_t> transparent = TransparencyMask(*file_, look_.transparentValue);
  const size_t maskStride = ((static_cast<size_t>(width) + 15) / 16) * 2;  // rows of whole words
  std::vector<uint8_t> maskBits(maskStride * static_cast<size_t>(height), 0);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      if (!transparent[i]) continue;
      pixels[i] = 0;
      maskBits[static_cast<size_t>(y) * maskStride + static_cast<size_t>(x) / 8] |=
          static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  mask_.Reset(::CreateBitmap(width, height, 1, 1, maskBits.data()));
  return true;
}

void BackgroundCanvas::DrawBitmap(HDC dc, PixelSize client) {
  if (look_.bitmap.empty() || look_.bitmapPercent == 0 || !PrepareBitmap(dc)) return;
  const PixelSize natural{file_->width, file_->height};
  if (look_.stretchMode == kBitmapTile) {
    // The tiles from the top left corner in one fill, however small the
    // bitmap: a brush of it repeats it from the brush origin.
    tl::ScopedGdiObject tiles(::CreatePatternBrush(static_cast<HBITMAP>(image_.Get())));
    const RECT whole = {0, 0, client.width, client.height};
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::FillRect(dc, &whole, static_cast<HBRUSH>(tiles.Get()));
    return;
  }
  const bool masked = static_cast<bool>(mask_);
  SelectedDc image(dc, image_.Get());
  ::SetStretchBltMode(dc, masked ? COLORONCOLOR : HALFTONE);
  ::SetBrushOrgEx(dc, 0, 0, nullptr);
  for (const PixelRect& target : BitmapTargets(look_.stretchMode, client, natural, look_.bitmapPercent)) {
    const int x = target.left, y = target.top, w = target.Width(), h = target.Height();
    if (!masked) {
      ::StretchBlt(dc, x, y, w, h, image.Get(), 0, 0, natural.width, natural.height, SRCCOPY);
      continue;
    }
    // The mask's white pixels keep what lies below, its black ones clear
    // it for the picture, whose transparent pixels are black.
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));
    SelectedDc mask(dc, mask_.Get());
    ::StretchBlt(dc, x, y, w, h, mask.Get(), 0, 0, natural.width, natural.height, SRCAND);
    ::StretchBlt(dc, x, y, w, h, image.Get(), 0, 0, natural.width, natural.height, SRCPAINT);
  }
}

void BackgroundCanvas::DrawText(HDC dc, PixelSize client, const BackgroundText& text) {
  if (text.text.empty() || text.position == kTextHidden) return;
  const TextMargins margins = TextMarginsOf(client);
  const std::wstring wide = tl::ToWide(text.text);
  const std::wstring face = tl::ToWide(text.font);
  auto widthAt = [&](int points) {
    tl::ScopedGdiObject font(CreateTextFont(dc, face, points));
    Selection selected(dc, font.Get());
    return static_cast<int>(TextSize(dc, wide).cx);
  };
  const int points = ShrunkTextPoints(text.points, widthAt, client.width, margins.horizontal, text.shadow);
  tl::ScopedGdiObject font(CreateTextFont(dc, face, points));
  Selection selected(dc, font.Get());
  const std::optional<TextPlacement> placement =
      PlaceText(text.position, client, static_cast<int>(TextSize(dc, wide).cy), text.shadow, margins);
  if (!placement) return;
  const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_TOP | AlignFormat(placement->align);
  ::SetBkMode(dc, TRANSPARENT);
  if (text.shadow) {
    RECT shadow = ToRect(placement->box);
    ::OffsetRect(&shadow, text.shadow, text.shadow);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &shadow, format);
  }
  RECT box = ToRect(placement->box);
  ::SetTextColor(dc, text.color);
  ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, format);
}

}  // namespace setup
