#pragma once
// What the background window draws, taken from the product's settings: the
// same for the installation (settings from the payload) and the
// uninstallation (settings read back from the registration).
#include <cstdint>
#include <string>
#include <vector>

#include "setup/run/product_settings.h"

namespace setup {

struct BackgroundText {
  std::string text;
  std::string font;
  int points = 0;          // before shrinking to fit
  uint32_t color = 0;      // COLORREF
  uint8_t position = 0;    // 0 hidden, 1-6 as the text positions
  int shadow = 0;          // pixels; 0 = none
};

struct BackgroundLook {
  std::string taskbarText;
  uint32_t topColor = 0;
  uint32_t bottomColor = 0;
  bool monoColor = true;   // the whole window in topColor
  std::vector<uint8_t> bitmap;  // a BMP file, or empty
  uint32_t transparentValue = 0xFFFFFFFFu;
  uint32_t stretchMode = 0;
  uint32_t bitmapPercent = 0;
  BackgroundText title;
  BackgroundText secondLine;
  bool maximized = false;  // ProductFlags bit 40
};

// What the window shows while the settings are still being read: the
// taskbar text and the window's size, on black.
BackgroundLook EarlyBackgroundLook(const SettingsStream& stream);

// The look of `product`; `installationTitle` (string 0) stands in for an
// empty DisplayTitle. The bitmap is the one in the settings: the uninstall
// run puts the file the installation left there.
BackgroundLook BackgroundLookOf(const ProductSettings& product, const std::string& installationTitle);

}  // namespace setup
