// The background picture and the progress dialog against the system's own
// drawing (under Wine): pixels read back from the picture drawn into a
// memory DC and from the window's DC, and the progress dialog's place,
// buttons, logoff answer and its end.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/payload/pe_image.h"
#include "setup/payload/settings_stream.h"
#include "setup/payload/product_flags.h"
#include "setup/run/run_control_win.h"
#include "setup/run/run_state.h"
#include "setup/ui/background_canvas_win.h"
#include "setup/ui/background_window_win.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/page_rules.h"
#include "setup/ui/progress_dialog_win.h"
#include "setup/ui/progress_win.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "tl_core/process_win.h"
#include "test_shots.h"

namespace setup {
namespace {

constexpr uint32_t kRed = RGB(255, 0, 0);
constexpr uint32_t kBlue = RGB(0, 0, 255);
constexpr uint32_t kGreen = RGB(0, 255, 0);
constexpr uint32_t kWhite = RGB(255, 255, 255);
constexpr uint32_t kBlack = RGB(0, 0, 0);
constexpr uint32_t kMagenta = RGB(255, 0, 255);

// A 24-bit BMP file of width x height pixels, stored bottom-up, each pixel
// the colour `at` gives for it (x, y from the top left corner).
template <class ColorAt>
std::vector<uint8_t> Bmp24(int width, int height, ColorAt at) {
  const int padding = (4 - width * 3 % 4) % 4;
  std::vector<uint8_t> file(14 + 40, 0);
  file[0] = 'B';
  file[1] = 'M';
  StoreU32(&file[10], 54);
  StoreU32(&file[14], 40);
  StoreU32(&file[18], width);
  StoreU32(&file[22], height);
  StoreU16(&file[26], 1);
  StoreU16(&file[28], 24);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t color = at(x, y);
      file.push_back(static_cast<uint8_t>(GetBValue(color)));
      file.push_back(static_cast<uint8_t>(GetGValue(color)));
      file.push_back(static_cast<uint8_t>(GetRValue(color)));
    }
    file.resize(file.size() + padding, 0);
  }
  StoreU32(&file[2], static_cast<uint32_t>(file.size()));
  return file;
}

// 4 x 4: the left half green, the right half magenta. Magenta's raw value
// (blue, green, red bytes in bits 16-23, 8-15, 0-7) is 0xFF00FF; green's is
// 0x00FF00.
constexpr uint32_t kMagentaValue = 0xFF00FF;

std::vector<uint8_t> HalfGreenHalfMagenta() {
  return Bmp24(4, 4, [](int x, int) { return x < 2 ? kGreen : kMagenta; });
}

// The picture of `look` in a client area of `size`, read back pixel by pixel.
class Drawn {
 public:
  Drawn(const BackgroundLook& look, PixelSize size, bool gradientFill = true) : size_(size) {
    HDC screen = ::GetDC(nullptr);
    dc_ = ::CreateCompatibleDC(screen);
    bitmap_ = ::CreateCompatibleBitmap(screen, size.width, size.height);
    ::ReleaseDC(nullptr, screen);
    old_ = ::SelectObject(dc_, bitmap_);
    BackgroundCanvas canvas(look);
    canvas.UseGradientFill(gradientFill);
    canvas.PaintTo(dc_, size);
  }
  ~Drawn() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  uint32_t At(int x, int y) const { return ::GetPixel(dc_, x, y); }
  // Whether any pixel of the rectangle has the colour.
  bool Holds(uint32_t color, int left, int top, int right, int bottom) const {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (At(x, y) == color) return true;
    return false;
  }

 private:
  PixelSize size_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

bool Near(uint32_t a, uint32_t b, int tolerance = 12) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

BackgroundLook Gradient(uint32_t top, uint32_t bottom) {
  BackgroundLook look;
  look.topColor = top;
  look.bottomColor = bottom;
  look.monoColor = false;
  return look;
}

BackgroundLook OneColor(uint32_t color) {
  BackgroundLook look = Gradient(color, kRed);
  look.monoColor = true;
  return look;
}

TEST(BackgroundPicture, GradientRunsFromTopToBottomColour) {
  for (bool gradientFill : {true, false}) {
    const Drawn drawn(Gradient(kRed, kBlue), {60, 448}, gradientFill);
    SCOPED_TRACE(gradientFill ? "GradientFill" : "bands");
    EXPECT_TRUE(Near(drawn.At(30, 0), kRed)) << std::hex << drawn.At(30, 0);
    EXPECT_TRUE(Near(drawn.At(30, 447), kBlue)) << std::hex << drawn.At(30, 447);
    // Half way down, half of each.
    EXPECT_TRUE(Near(drawn.At(30, 224), RGB(128, 0, 128), 16)) << std::hex << drawn.At(30, 224);
  }
}

TEST(BackgroundPicture, OneColourIgnoresTheBottomColour) {
  const Drawn drawn(OneColor(kGreen), {40, 300});
  for (int y : {0, 150, 299}) EXPECT_EQ(drawn.At(20, y), kGreen) << y;
}

TEST(BackgroundPicture, BitmapModesAndTransparency) {
  struct Case {
    const char* name;
    uint32_t mode;
    uint32_t percent;
    uint32_t transparentValue;
    uint32_t left, right;  // at the left and right edge, half way down
  } cases[] = {
      {"stretched, opaque", kBitmapStretch, 100, kOpaqueBitmap, kGreen, kMagenta},
      {"stretched, magenta transparent", kBitmapStretch, 100, kMagentaValue, kGreen, kBlue},
      {"fitted, green transparent", kBitmapFit, 100, 0x00FF00, kBlue, kMagenta},
      {"size 0: no bitmap", kBitmapStretch, 0, kOpaqueBitmap, kBlue, kBlue},
      {"tiles: copied as they are", kBitmapTile, 100, kMagentaValue, kGreen, kMagenta},
  };
  for (const Case& c : cases) {
    BackgroundLook look = OneColor(kBlue);
    look.bitmap = HalfGreenHalfMagenta();
    look.stretchMode = c.mode;
    look.bitmapPercent = c.percent;
    look.transparentValue = c.transparentValue;
    const Drawn drawn(look, {40, 40});
    EXPECT_EQ(drawn.At(1, 20), c.left) << c.name << std::hex << " " << drawn.At(1, 20);
    EXPECT_EQ(drawn.At(38, 20), c.right) << c.name << std::hex << " " << drawn.At(38, 20);
  }
}

TEST(BackgroundPicture, TitleAndSecondLineTakeTheirPlaces) {
  struct Case {
    const char* name;
    uint8_t titlePosition;
    uint8_t secondLinePosition;
    bool topLeft, bottomRight;  // white pixels in the top left and the bottom right quarter
  } cases[] = {
      {"title top left", kTextTopLeft, kTextHidden, true, false},
      {"title bottom right", kTextBottomRight, kTextHidden, false, true},
      {"no title, second line bottom right", kTextHidden, kTextBottomRight, false, true},
      {"both hidden", kTextHidden, kTextHidden, false, false},
  };
  for (const Case& c : cases) {
    BackgroundLook look = OneColor(kBlack);
    look.title = {"Orvanta", "Arial", 26, kWhite, c.titlePosition, 0};
    look.secondLine = {"Orvanta", "Arial", 16, kWhite, c.secondLinePosition, 0};
    const Drawn drawn(look, {400, 200});
    EXPECT_EQ(drawn.Holds(kWhite, 0, 0, 200, 100), c.topLeft) << c.name;
    EXPECT_EQ(drawn.Holds(kWhite, 200, 100, 400, 200), c.bottomRight) << c.name;
  }
}

TEST(BackgroundPicture, ShadowIsBlackAndBelowRight) {
  BackgroundLook look = OneColor(kBlue);
  look.title = {"Orvanta", "Arial", 26, kWhite, kTextTopLeft, 4};
  const Drawn drawn(look, {400, 200});
  EXPECT_TRUE(drawn.Holds(kBlack, 0, 0, 200, 100));
  // No shadow: no black at all.
  look.title.shadow = 0;
  const Drawn plain(look, {400, 200});
  EXPECT_FALSE(plain.Holds(kBlack, 0, 0, 200, 100));
}

// The real window: created over the work area, registered as the run's
// owner of pages, painted from the top colour to the bottom colour.
TEST(BackgroundWindow, CoversTheWorkAreaWithItsGradient) {
  BackgroundLook look = Gradient(kRed, kBlue);
  look.taskbarText = "Orvanta Probe Setup";
  HWND window = CreateBackgroundWindow(::GetModuleHandleW(nullptr), nullptr, nullptr, look, false);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(BackgroundWindow(), window);
  char className[64] = {};
  ::GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, kBackgroundWindowClass);
  RECT area = {}, rect = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ::GetWindowRect(window, &rect);
  EXPECT_TRUE(::EqualRect(&area, &rect));
  tl::PumpWindowMessages();
  ::UpdateWindow(window);
  HDC dc = ::GetDC(window);
  const int height = rect.bottom - rect.top;
  EXPECT_TRUE(Near(::GetPixel(dc, 10, 0), kRed)) << std::hex << ::GetPixel(dc, 10, 0);
  EXPECT_TRUE(Near(::GetPixel(dc, 10, height - 1), kBlue)) << std::hex << ::GetPixel(dc, 10, height - 1);
  ::ReleaseDC(window, dc);

  // A new look is drawn at once.
  SetBackgroundLook(OneColor(kGreen));
  dc = ::GetDC(window);
  EXPECT_EQ(::GetPixel(dc, 10, height - 1), kGreen);
  ::ReleaseDC(window, dc);
  ::DestroyWindow(window);
  SetBackgroundWindow(nullptr);
}

class ProgressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_.stream.ProductFlags = uint64_t{1} << kFlagCloseProgressAtEnd;
    product_.stream.DialogStyleValue = kPlaceLeft | kPlaceTop;
  }
  void TearDown() override { CloseProgressDialog(); }

  RunState Run(bool uninstalling) {
    CommandLineOptions options;
    options.uninstallMode = uninstalling;
    RunState run(product_, options);
    run.process.instance = ::GetModuleHandleW(nullptr);
    return run;
  }

  static int BarPosition(HWND dialog) {
    return static_cast<int>(::SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
  }
  static std::wstring StatusLine(HWND dialog) {
    wchar_t text[260] = {};
    ::GetDlgItemTextW(dialog, IDC_STATUS_LINE, text, 260);
    return text;
  }

  ProductSettings product_;
};

TEST_F(ProgressDialogTest, PlacedDrivenAndRefusesTheEndOfTheSession) {
  const RunState run = Run(false);
  OpenProgressDialog(run);
  HWND dialog = ProgressDialog();
  ASSERT_NE(dialog, nullptr);
  RECT area = {}, rect = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ::GetWindowRect(dialog, &rect);
  EXPECT_EQ(rect.left, area.left);
  EXPECT_EQ(rect.top, area.top);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_CANCEL_PAGE)));

  SetProgress(55);
  EXPECT_EQ(BarPosition(dialog), 55);  // the first update comes at once
  SetStatusPath("|C:\\Programme\\\xC3\x9C" "bersicht.txt");
  WaitStatusTime(0);  // shows what waits
  EXPECT_EQ(StatusLine(dialog), L"C:\\Programme\\\u00DCbersicht.txt");
  // Later updates keep a pace; what waits comes with a later call.
  SetStatusPath("C:\\second.txt");
  SetProgress(56);
  for (int tries = 0; tries < 200 && StatusLine(dialog) != L"C:\\second.txt"; ++tries) {
    ::Sleep(50);
    SetProgress(56);
  }
  EXPECT_EQ(StatusLine(dialog), L"C:\\second.txt");
  EXPECT_EQ(BarPosition(dialog), 56);
  // A phase's text is shown at once and replaces a path that waits.
  SetStatusPath("C:\\third.txt");
  SetStatusText("Finishing");
  WaitStatusTime(0);
  EXPECT_EQ(StatusLine(dialog), L"Finishing");

  EXPECT_EQ(::SendMessageW(dialog, WM_QUERYENDSESSION, 0, 0), 0);
  DisableProgressCancel();
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_CANCEL_PAGE)));

  CloseProgressDialog();
  EXPECT_EQ(ProgressDialog(), nullptr);
  EXPECT_FALSE(::IsWindow(dialog));
  SetProgress(60);  // only pumps
}

TEST_F(ProgressDialogTest, NoCancelWhenUninstallingOrWhenTheProductSaysSo) {
  struct Case {
    const char* name;
    bool uninstalling;
    bool noCancelFlag;
    bool cancel;
  } cases[] = {
      {"installing", false, false, true},
      {"uninstalling", true, false, false},
      {"no cancel during installation", false, true, false},
  };
  for (const Case& c : cases) {
    product_.stream.ProductFlags = uint64_t{1} << kFlagCloseProgressAtEnd;
    if (c.noCancelFlag) product_.stream.ProductFlags |= uint64_t{1} << kFlagNoCancelDuringInstall;
    const RunState run = Run(c.uninstalling);
    OpenProgressDialog(run);
    ASSERT_NE(ProgressDialog(), nullptr) << c.name;
    EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(ProgressDialog(), IDC_CANCEL_PAGE)) != FALSE, c.cancel) << c.name;
    // Esc and the close box ask nothing while cancel is off.
    if (!c.cancel) {
      ::SendMessageW(ProgressDialog(), WM_COMMAND, IDCANCEL, 0);
      EXPECT_NE(ProgressDialog(), nullptr) << c.name;
    }
    CloseProgressDialog();
  }
}

TEST_F(ProgressDialogTest, NoDialogWithoutTheOptionOrWithoutWindows) {
  product_.stream.ProductFlags = 0;
  OpenProgressDialog(Run(false));
  EXPECT_EQ(ProgressDialog(), nullptr);
  product_.stream.ProductFlags = uint64_t{1} << kFlagCloseProgressAtEnd;
  RunState hidden = Run(false);
  hidden.showsWindows = false;
  OpenProgressDialog(hidden);
  EXPECT_EQ(ProgressDialog(), nullptr);
  SetProgress(10);
  SetStatusText("nothing to show");
}

// --- Pictures for people to look at ------------------------------------------
// With ORV_BACKGROUND_SHOTS naming a folder, the real window is shown in each
// look and the screen written there as "background-<name>.bmp", and the
// progress dialog in each layout over it as "progress-<layout>.bmp" (the
// dialog) and "progress-<layout>-screen.bmp" (scripts/background-gallery.sh).
// Without it the suites have no tests.

const char* ShotFolder() {
  const char* folder = std::getenv("ORV_BACKGROUND_SHOTS");
  return folder && *folder ? folder : nullptr;
}

// An emblem of 120 x 80 pixels on magenta (raw value 0xFF00FF): rings of
// gold and teal around a white centre.
std::vector<uint8_t> Emblem() {
  return Bmp24(120, 80, [](int x, int y) {
    const int dx = x - 60, dy = y - 40;
    const int r2 = dx * dx + dy * dy;
    if (r2 < 16 * 16) return kWhite;
    if (r2 < 30 * 30) return static_cast<uint32_t>(RGB(20, 140, 150));
    if (r2 < 38 * 38) return static_cast<uint32_t>(RGB(230, 180, 40));
    return kMagenta;
  });
}

BackgroundLook DemoLook() {
  BackgroundLook look = Gradient(RGB(0x1E, 0x3A, 0x6E), RGB(0x0A, 0x0F, 0x1E));
  look.taskbarText = "Orvanta Demo Setup";
  look.title = {"Orvanta Demo 1.2", "Arial", 26, kWhite, kTextTopLeft, 1};
  look.secondLine = {"\xA9 Orvanta Samples", "Arial", 16, RGB(0xC0, 0xC0, 0xC0), kTextBottomLeft, 0};
  return look;
}

// A shot's name as a test's name: "bitmap-fit" gives "bitmap_fit".
std::string TestName(std::string name) {
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

struct Shot {
  std::string name;
  BackgroundLook look;
};

std::vector<Shot> Shots() {
  if (!ShotFolder()) return {};
  std::vector<Shot> shots;
  shots.push_back({"gradient", DemoLook()});
  BackgroundLook mono = DemoLook();
  mono.monoColor = true;
  mono.topColor = RGB(0x2A, 0x4D, 0x3A);
  shots.push_back({"one-colour", mono});
  const char* modes[] = {"stretch", "fit", "center", "tile"};
  for (uint32_t mode = 0; mode < 4; ++mode) {
    BackgroundLook look = DemoLook();
    look.bitmap = Emblem();
    look.stretchMode = mode;
    look.bitmapPercent = 40;
    shots.push_back({std::string("bitmap-") + modes[mode], look});
  }
  BackgroundLook transparent = DemoLook();
  transparent.bitmap = Emblem();
  transparent.stretchMode = kBitmapFit;
  transparent.bitmapPercent = 40;
  transparent.transparentValue = kMagentaValue;
  shots.push_back({"bitmap-transparent", transparent});
  const char* positions[] = {"", "top-left", "top-center", "top-right", "bottom-left", "bottom-center", "bottom-right"};
  for (uint8_t position = 1; position <= 6; ++position) {
    BackgroundLook look = DemoLook();
    look.title.position = position;
    look.title.shadow = 3;
    look.secondLine.position = kTextHidden;
    shots.push_back({std::string("title-") + positions[position], look});
  }
  BackgroundLook shrunk = DemoLook();
  shrunk.title.text = "Orvanta Demo 1.2 with every tool, sample, template and translation of the suite";
  shrunk.title.points = 40;
  shots.push_back({"title-shrunk", shrunk});
  return shots;
}

void PumpFor(DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    tl::PumpWindowMessages();
    ::Sleep(20);
  }
}

class BackgroundShots : public ::testing::TestWithParam<Shot> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BackgroundShots);

TEST_P(BackgroundShots, AreWritten) {
  HWND window = CreateBackgroundWindow(::GetModuleHandleW(nullptr), nullptr, nullptr, GetParam().look, false);
  ASSERT_NE(window, nullptr);
  PumpFor(300);
  const std::string path = std::string(ShotFolder()) + "\\background-" + GetParam().name + ".bmp";
  test_shots::WriteWindowShot(::GetDesktopWindow(), path);
  ::DestroyWindow(window);
  SetBackgroundWindow(nullptr);
  EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

INSTANTIATE_TEST_SUITE_P(All, BackgroundShots, ::testing::ValuesIn(Shots()),
                         [](const ::testing::TestParamInfo<Shot>& info) { return TestName(info.param.name); });

struct ProgressShot {
  std::string name;
  uint32_t style;
};

std::vector<ProgressShot> ProgressShotCases() {
  if (!ShotFolder()) return {};
  return {{"plain", 0}, {"side-picture", 1}, {"header", 2}};
}

void LoadShotStrings() {
  StringTableData table;
  table.languages = {"English"};
  table.texts.assign(100, std::vector<std::string>(1));
  // The authoring tool's English texts.
  table.texts[kStringProgressHeading][0] = "Installing Orvanta Demo. Please wait...";
  table.texts[kStringCancelButton][0] = "Cancel";
  table.texts[kStringInstallingStatus][0] = "Installing Orvanta Demo";
  table.texts[kStringWizardCaption][0] = "Orvanta Demo Setup";
  RunStrings().Load(table);
}

class ProgressShots : public ::testing::TestWithParam<ProgressShot> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ProgressShots);

TEST_P(ProgressShots, AreWritten) {
  LoadShotStrings();
  ProductSettings product;
  product.stream.ProductFlags = uint64_t{1} << kFlagCloseProgressAtEnd;
  product.stream.DialogStyleValue = kPlaceHorizontalCenter | kPlaceVerticalCenter;
  product.stream.DialogCaption = "Orvanta Demo 1.2 Setup";
  product.stream.WizardBlock[kWizardProgressStyle] = GetParam().style;
  RunState run(product, CommandLineOptions{});
  run.process.instance = ::GetModuleHandleW(nullptr);
  HWND window = CreateBackgroundWindow(::GetModuleHandleW(nullptr), nullptr, nullptr, DemoLook(), false);
  OpenProgressDialog(run);
  ASSERT_NE(ProgressDialog(), nullptr);
  SetProgress(62);
  SetStatusPath("C:\\Program Files\\Orvanta Samples\\Orvanta Demo\\docs\\guide.html");
  PumpFor(500);
  // The dialog alone, and the whole screen with it over the background.
  const std::string path = std::string(ShotFolder()) + "\\progress-" + GetParam().name + ".bmp";
  test_shots::WriteWindowShot(ProgressDialog(), path);
  test_shots::WriteWindowShot(::GetDesktopWindow(),
                              std::string(ShotFolder()) + "\\progress-" + GetParam().name + "-screen.bmp");
  CloseProgressDialog();
  ::DestroyWindow(window);
  SetBackgroundWindow(nullptr);
  RunStrings().Load(StringTableData{});
  EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

INSTANTIATE_TEST_SUITE_P(All, ProgressShots, ::testing::ValuesIn(ProgressShotCases()),
                         [](const ::testing::TestParamInfo<ProgressShot>& info) { return TestName(info.param.name); });

}  // namespace
}  // namespace setup
