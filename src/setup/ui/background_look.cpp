#include "setup/ui/background_look.h"

#include "setup/payload/product_flags.h"
#include "setup/ui/background_rules.h"

namespace setup {

BackgroundLook EarlyBackgroundLook(const SettingsStream& stream) {
  BackgroundLook look;
  look.taskbarText = stream.TaskbarText;
  look.maximized = stream.Flag(kFlagMaximizedBackground);
  return look;
}

BackgroundLook BackgroundLookOf(const ProductSettings& product, const std::string& installationTitle) {
  const SettingsStream& s = product.stream;
  BackgroundLook look;
  look.taskbarText = s.TaskbarText;
  look.topColor = s.TopColor;
  look.bottomColor = s.BottomColor;
  look.monoColor = product.monoColor;
  look.bitmap = s.Bitmap;
  look.transparentValue = s.Bitmap.empty() ? kOpaqueBitmap : s.BitmapTPI;
  look.stretchMode = s.StretchMode;
  look.bitmapPercent = s.BitmapSize;
  look.title = {ShownTitle(s.DisplayTitle, installationTitle), s.TitleFont, TextPoints(s.TitleSize, kTitleBasePoints),
                s.TitleColor, s.TitlePosition, s.TitleShadow};
  look.secondLine = {s.CopyrightText, s.CopyrightFont, TextPoints(s.CopyrightSize, kSecondLineBasePoints),
                     s.CopyrightColor, s.CopyrightPos, 0};
  look.maximized = s.Flag(kFlagMaximizedBackground);
  return look;
}

}  // namespace setup
