#pragma once
// The background window's picture: the gradient or one colour, the bitmap
// and the two text lines, drawn once into a bitmap of the window's size and
// copied from there on every paint until the size or the look changes.
#include <windows.h>

#include <optional>
#include <vector>

#include "setup/ui/background_look.h"
#include "setup/ui/background_rules.h"
#include "tl_core/scoped_handle_win.h"

namespace setup {

class BackgroundCanvas {
 public:
  explicit BackgroundCanvas(BackgroundLook look);

  void SetLook(BackgroundLook look);
  // Copies the picture of a client area of `client` to `dc` at 0,0, drawing
  // it first when there is none of that size yet.
  void PaintTo(HDC dc, PixelSize client);

  // What the next paint draws the gradient with: false forces the bands.
  void UseGradientFill(bool use) { useGradientFill_ = use; }

 private:
  void Render(HDC target, PixelSize client);
  void FillBackground(HDC dc, PixelSize client);
  void DrawBitmap(HDC dc, PixelSize client);
  void DrawText(HDC dc, PixelSize client, const BackgroundText& text);
  // The bitmap as a top-down 32-bit picture; with a transparency key its
  // transparent pixels black and the mask beside it (built once).
  bool PrepareBitmap(HDC reference);

  BackgroundLook look_;
  bool useGradientFill_ = true;
  tl::ScopedGdiObject cache_;
  PixelSize cacheSize_;
  std::optional<BitmapFile> file_;
  bool bitmapPrepared_ = false;
  tl::ScopedGdiObject image_;
  tl::ScopedGdiObject mask_;
};

}  // namespace setup
