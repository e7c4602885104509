// The wizard's dialog templates and pictures (src/setup/res/pages.rc, which
// this program carries as well). Every template is created hidden and
// checked for its controls and their classes, its size, its default button,
// its tab stops and reading order, controls that overlap or leave the
// dialog, and texts that do not fit; the pictures are loaded and checked
// for their size and the colours the pages rely on.
//
// With ORV_TEMPLATE_SHOTS naming a folder, each template is also shown,
// with the pictures painted into their controls, and written there as
// "<name>.bmp" to be looked at.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "setup/ui/page_ids.h"
#include "test_shots.h"
#include "tl_core/system_library_win.h"

namespace {

constexpr char kStatic[] = "Static";
constexpr char kButton[] = "Button";
constexpr char kEdit[] = "Edit";
constexpr char kListBox[] = "ListBox";
constexpr char kProgressBar[] = "msctls_progress32";

struct Control {
  int id;
  const char* windowClass;
};
using Controls = std::vector<Control>;

Controls Join(std::initializer_list<Controls> pieces) {
  Controls all;
  for (const Controls& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

enum class Layout { kSidePicture, kPlain, kHeader, kOwn };

// The controls a layout adds to a page. The header band also has an etched
// line without a number under it.
Controls LayoutControls(Layout layout) {
  switch (layout) {
    case Layout::kSidePicture:
      return {{IDC_SIDE_PICTURE, kStatic}};
    case Layout::kHeader:
      return {{IDC_HEADER_PICTURE, kStatic}, {IDC_HEADER_TITLE, kStatic}, {IDC_HEADER_SUBTITLE, kStatic}};
    default:
      return {};
  }
}

const Controls kNextCancel = {{IDC_SEPARATOR, kStatic}, {IDC_NEXT, kButton}, {IDC_CANCEL_PAGE, kButton}};
const Controls kLanguage = {{IDC_MAIN_TEXT, kStatic}, {IDC_LANGUAGE_LIST, kListBox}};
const Controls kText = {{IDC_MAIN_TEXT, kStatic}};
const Controls kDocument = {{IDC_MAIN_TEXT, kStatic}, {IDC_READ_ONLY_TEXT, kEdit}};
const Controls kFolder = {{IDC_MAIN_TEXT, kStatic}, {IDC_FOLDER_EDIT, kEdit}, {IDC_BROWSE, kButton}};
const Controls kSpace = {{IDC_REQUIRED_SPACE, kStatic}, {IDC_FREE_SPACE, kStatic}};
const Controls kSummary = {{IDC_MAIN_TEXT, kStatic},    {IDC_OPEN_FILE1_BOX, kButton}, {IDC_LAUNCH_APP_BOX, kButton},
                           {IDC_SHOW_LOG_BOX, kButton}, {IDC_OPEN_FILE2_BOX, kButton}, {IDC_SEPARATOR, kStatic},
                           {IDC_NEXT, kButton}};
const Controls kProgress = {{IDC_MAIN_TEXT, kStatic},
                            {IDC_PROGRESS_BAR, kProgressBar},
                            {IDC_STATUS_LINE, kStatic},
                            {IDC_CANCEL_PAGE, kButton}};

struct Template {
  const char* name;
  Layout layout;
  int width, height;  // dialog units
  Controls controls;  // besides the layout's
  int defaultId;      // 0: none
};

const std::vector<Template>& Templates() {
  static const std::vector<Template> all = {
      {"LanguageDlg", Layout::kSidePicture, 280, 218, Join({kLanguage, kNextCancel}), IDC_NEXT},
      {"LanguageDlg3", Layout::kHeader, 280, 218, Join({kLanguage, kNextCancel}), IDC_NEXT},
      {"GreetingDlg", Layout::kSidePicture, 280, 218, Join({kText, kNextCancel}), IDC_NEXT},
      {"GreetingDlg3", Layout::kHeader, 280, 120, Join({kText, kNextCancel}), IDC_NEXT},
      {"LicenseDlg", Layout::kSidePicture, 280, 218, Join({kDocument, kNextCancel}), IDC_NEXT},
      {"LicenseDlg2", Layout::kPlain, 280, 218, Join({kDocument, kNextCancel}), IDC_NEXT},
      {"LicenseDlg3", Layout::kHeader, 280, 218, Join({kDocument, kNextCancel}), IDC_NEXT},
      {"ReadmeDlg", Layout::kSidePicture, 280, 218, Join({kDocument, kNextCancel}), IDC_NEXT},
      {"ReadmeDlg2", Layout::kPlain, 280, 218, Join({kDocument, kNextCancel}), IDC_NEXT},
      {"ReadmeDlg3", Layout::kHeader, 280, 218, Join({kDocument, kNextCancel}), IDC_NEXT},
      {"ChooseDirDlg", Layout::kSidePicture, 280, 218, Join({kFolder, kSpace, kNextCancel}), IDC_NEXT},
      {"ChooseDirDlg2", Layout::kPlain, 280, 218, Join({kFolder, kSpace, kNextCancel}), IDC_NEXT},
      {"ChooseDirDlg3", Layout::kHeader, 280, 218, Join({kFolder, kSpace, kNextCancel}), IDC_NEXT},
      {"StartMenuDlg", Layout::kSidePicture, 280, 218, Join({kFolder, kNextCancel}), IDC_NEXT},
      {"StartMenuDlg2", Layout::kPlain, 280, 218, Join({kFolder, kNextCancel}), IDC_NEXT},
      {"StartMenuDlg3", Layout::kHeader, 280, 218, Join({kFolder, kNextCancel}), IDC_NEXT},
      {"SummaryDlg", Layout::kSidePicture, 280, 218, kSummary, IDC_NEXT},
      {"SummaryDlg2", Layout::kPlain, 280, 110, kSummary, IDC_NEXT},
      {"SummaryDlg3", Layout::kHeader, 280, 218, kSummary, IDC_NEXT},
      {"ProgressDlg", Layout::kSidePicture, 280, 218, kProgress, 0},
      {"ProgressDlg2", Layout::kPlain, 195, 73, kProgress, 0},
      {"ProgressDlg3", Layout::kHeader, 225, 99, kProgress, 0},
      {"EnterPassword", Layout::kOwn, 220, 80,
       {{IDC_MAIN_TEXT, kStatic}, {IDC_PASSWORD_EDIT, kEdit}, {IDC_NEXT, kButton}, {IDC_CANCEL_PAGE, kButton}},
       IDC_NEXT},
      {"MustUninstall", Layout::kOwn, 240, 100,
       {{IDC_MAIN_TEXT, kStatic}, {IDC_NEXT, kButton}, {IDC_CANCEL_PAGE, kButton}}, IDC_NEXT},
      {"ExceptionDlg", Layout::kOwn, 279, 242,
       {{IDC_CRASH_APOLOGY, kStatic},
        {IDC_CRASH_REPORT_TEXT, kEdit},
        {IDC_CRASH_EMAIL_LABEL, kStatic},
        {IDC_CRASH_EMAIL, kEdit},
        {IDC_CRASH_COMMENT_LABEL, kStatic},
        {IDC_CRASH_COMMENT, kEdit},
        {IDC_CRASH_SEND, kButton},
        {IDC_CRASH_COPY, kButton},
        {IDC_CRASH_EXIT, kButton}},
       IDC_CRASH_SEND},
  };
  return all;
}

// The labels the code gives the page buttons, each after one blank and
// beside a 16 x 16 picture.
constexpr const char* kButtonLabels[] = {" &Install", " I &Agree", " &Cancel", " &Next >", " &Browse...", " I &Decline"};
constexpr int kButtonPicture = 16;
// What a push button or check box needs besides its text and picture, in
// pixels: the edges, a little air either side and between picture and text.
constexpr int kButtonPadding = 14;

struct Child {
  HWND window;
  int id;
  std::string windowClass;
  LONG style;
  RECT rect;  // client coordinates of the dialog
  std::string text;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof(text));
  return text;
}

bool IsClass(const Child& child, const char* name) { return ::lstrcmpiA(child.windowClass.c_str(), name) == 0; }

bool IsPicture(const Child& child) {
  return IsClass(child, kStatic) && (child.style & SS_TYPEMASK) == SS_OWNERDRAW;
}
bool IsEtchedLine(const Child& child) {
  return IsClass(child, kStatic) && (child.style & SS_TYPEMASK) == SS_ETCHEDHORZ;
}
bool IsTextStatic(const Child& child) {
  const LONG type = child.style & SS_TYPEMASK;
  return IsClass(child, kStatic) && (type == SS_LEFT || type == SS_LEFTNOWORDWRAP);
}
bool IsInteractive(const Child& child) {
  return IsClass(child, kButton) || IsClass(child, kEdit) || IsClass(child, kListBox);
}

// The dialog's children in their order, which is the tab order.
std::vector<Child> ChildrenOf(HWND dialog) {
  std::vector<Child> children;
  for (HWND w = ::GetWindow(dialog, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
    Child child{w, ::GetDlgCtrlID(w), ClassOf(w), ::GetWindowLongA(w, GWL_STYLE), {}, TextOf(w)};
    ::GetWindowRect(w, &child.rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&child.rect), 2);
    children.push_back(child);
  }
  return children;
}

std::string Describe(const Child& child) {
  return std::to_string(child.id) + " (" + child.windowClass + " \"" + child.text + "\" at " +
         std::to_string(child.rect.left) + "," + std::to_string(child.rect.top) + "-" +
         std::to_string(child.rect.right) + "," + std::to_string(child.rect.bottom) + ")";
}

// Whether `a` comes before `b` when the page is read: wholly above it, or
// beside it on its left.
bool ReadBefore(const RECT& a, const RECT& b) {
  if (a.bottom <= b.top) return true;
  const bool sameRow = a.top < b.bottom && b.top < a.bottom;
  return sameRow && a.right <= b.left;
}

bool IsHeaderText(int id) { return id == IDC_HEADER_TITLE || id == IDC_HEADER_SUBTITLE; }

// The extent of `text` in the control's font.
SIZE TextExtent(HWND control, const std::string& text, UINT format, int wrapWidth) {
  HDC dc = ::GetDC(control);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wrapWidth, 0};
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return {r.right - r.left, r.bottom - r.top};
}

class PageTemplates : public ::testing::TestWithParam<Template> {
 protected:
  static void SetUpTestSuite() {
    // The progress bar's class comes with the common controls.
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = tl::OnDemandFunction<InitFn>("comctl32.dll", "InitCommonControlsEx");
    ASSERT_NE(init, nullptr);
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
    ASSERT_TRUE(init(&classes));
  }

  void SetUp() override {
    dialog_ = ::CreateDialogParamA(::GetModuleHandleA(nullptr), GetParam().name, nullptr, &DialogProc, 0);
    ASSERT_NE(dialog_, nullptr) << GetParam().name << ": error " << ::GetLastError();
    children_ = ChildrenOf(dialog_);
  }

  void TearDown() override {
    if (dialog_) ::DestroyWindow(dialog_);
  }

  static INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM lParam);

  RECT DialogUnits(int x, int y, int width, int height) const {
    RECT r{x, y, x + width, y + height};
    ::MapDialogRect(dialog_, &r);
    return r;
  }

  HWND dialog_ = nullptr;
  std::vector<Child> children_;
};

// Paints the pictures into the owner-drawn controls and the header texts
// over the band as the pages do, so that a shown template looks like a page.
INT_PTR CALLBACK PageTemplates::DialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC && IsHeaderText(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
  }
  if (message != WM_DRAWITEM) return FALSE;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  const int bitmapId = item->CtlID == IDC_SIDE_PICTURE ? IDB_SIDE_PICTURE : IDB_HEADER_PICTURE;
  HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return FALSE;
  BITMAP info{};
  ::GetObjectA(bitmap, sizeof(info), &info);
  HDC source = ::CreateCompatibleDC(item->hDC);
  HGDIOBJ old = ::SelectObject(source, bitmap);
  ::SetStretchBltMode(item->hDC, HALFTONE);
  const RECT& r = item->rcItem;
  ::StretchBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  ::SelectObject(source, old);
  ::DeleteDC(source);
  ::DeleteObject(bitmap);
  return TRUE;
}

TEST_P(PageTemplates, HasItsSizeAndExactlyItsControls) {
  const Template& page = GetParam();
  RECT client{};
  ::GetClientRect(dialog_, &client);
  const RECT expected = DialogUnits(0, 0, page.width, page.height);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);

  const Controls wanted = Join({LayoutControls(page.layout), page.controls});
  for (const Control& control : wanted) {
    HWND window = ::GetDlgItem(dialog_, control.id);
    if (!window) {
      ADD_FAILURE() << "no control " << control.id;
      continue;
    }
    EXPECT_EQ(::lstrcmpiA(ClassOf(window).c_str(), control.windowClass), 0)
        << control.id << " is a " << ClassOf(window) << ", not a " << control.windowClass;
  }
  // Nothing else, but the header band's line.
  size_t unnumbered = 0;
  for (const Child& child : children_) {
    const bool known = std::any_of(wanted.begin(), wanted.end(), [&](const Control& c) { return c.id == child.id; });
    if (child.id == -1 || child.id == 0xFFFF) {
      ++unnumbered;
      EXPECT_TRUE(IsEtchedLine(child)) << Describe(child);
    } else {
      EXPECT_TRUE(known) << "unexpected " << Describe(child);
    }
  }
  EXPECT_EQ(children_.size(), wanted.size() + unnumbered);
  EXPECT_EQ(unnumbered, page.layout == Layout::kHeader ? 1u : 0u);
}

TEST_P(PageTemplates, PicturesAreOwnerDrawnAndTheHeaderTextsLieOnTheBand) {
  const Template& page = GetParam();
  for (const Child& child : children_) {
    const bool picture = child.id == IDC_SIDE_PICTURE || child.id == IDC_HEADER_PICTURE;
    EXPECT_EQ(IsPicture(child), picture) << Describe(child);
  }
  if (page.layout == Layout::kSidePicture) {
    const RECT want = DialogUnits(0, 0, 94, 188);
    RECT got{};
    ::GetWindowRect(::GetDlgItem(dialog_, IDC_SIDE_PICTURE), &got);
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_TRUE(::EqualRect(&got, &want));
    // The page lies to the right of the picture, or below it.
    for (const Child& child : children_) {
      if (child.id == IDC_SIDE_PICTURE || child.id == IDC_SEPARATOR) continue;
      EXPECT_TRUE(child.rect.left >= want.right || child.rect.top >= want.bottom) << Describe(child);
    }
  }
  if (page.layout == Layout::kHeader) {
    const RECT band = DialogUnits(0, 0, page.width, 26);
    HWND picture = ::GetDlgItem(dialog_, IDC_HEADER_PICTURE);
    bool pictureSeen = false;
    for (const Child& child : children_) {
      if (child.window == picture) pictureSeen = true;
      if (IsHeaderText(child.id)) {
        EXPECT_TRUE(pictureSeen) << "the header texts come after the picture, so that they are painted over it";
        RECT inside{};
        ::IntersectRect(&inside, &child.rect, &band);
        EXPECT_TRUE(::EqualRect(&inside, &child.rect)) << Describe(child);
      } else if (child.window != picture) {
        EXPECT_GE(child.rect.top, band.bottom) << Describe(child);
      }
    }
  }
}

TEST_P(PageTemplates, NextIsTheDefaultButton) {
  const int want = GetParam().defaultId;
  std::vector<int> defaults;
  for (const Child& child : children_) {
    if (IsClass(child, kButton) && (child.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) defaults.push_back(child.id);
  }
  if (want == 0) {
    EXPECT_TRUE(defaults.empty());
    return;
  }
  EXPECT_EQ(defaults, std::vector<int>{want});
  const LRESULT defId = ::SendMessageA(dialog_, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
  EXPECT_EQ(LOWORD(defId), want);
}

TEST_P(PageTemplates, OnlyInteractiveControlsAreTabStopsAndTheyFollowTheReadingOrder) {
  for (const Child& child : children_) {
    EXPECT_EQ((child.style & WS_TABSTOP) != 0, IsInteractive(child)) << Describe(child);
    EXPECT_TRUE(child.style & WS_VISIBLE) << Describe(child);
  }
  for (size_t i = 0; i < children_.size(); ++i) {
    for (size_t j = i + 1; j < children_.size(); ++j) {
      EXPECT_FALSE(ReadBefore(children_[j].rect, children_[i].rect))
          << Describe(children_[j]) << " is read before " << Describe(children_[i]) << ", which precedes it";
    }
  }
}

TEST_P(PageTemplates, ControlsStayInsideAndDoNotOverlap) {
  RECT client{};
  ::GetClientRect(dialog_, &client);
  for (const Child& child : children_) {
    // An etched line grows by a static edge on either side of the width
    // it was given; a line across the dialog ends outside it by that edge.
    RECT own = child.rect;
    if (IsEtchedLine(child)) ::InflateRect(&own, -::GetSystemMetrics(SM_CXEDGE), 0);
    RECT inside{};
    ::IntersectRect(&inside, &own, &client);
    EXPECT_TRUE(::EqualRect(&inside, &own)) << Describe(child) << " leaves the dialog";
    EXPECT_GT(child.rect.right - child.rect.left, 0) << Describe(child);
    EXPECT_GT(child.rect.bottom - child.rect.top, 0) << Describe(child);
  }
  for (size_t i = 0; i < children_.size(); ++i) {
    for (size_t j = i + 1; j < children_.size(); ++j) {
      const Child& a = children_[i];
      const Child& b = children_[j];
      if (a.id == IDC_HEADER_PICTURE && IsHeaderText(b.id)) continue;
      RECT common{};
      EXPECT_FALSE(::IntersectRect(&common, &a.rect, &b.rect)) << Describe(a) << " overlaps " << Describe(b);
    }
  }
}

TEST_P(PageTemplates, TextsFit) {
  for (const Child& child : children_) {
    const int width = child.rect.right - child.rect.left;
    const int height = child.rect.bottom - child.rect.top;
    if (IsTextStatic(child) && !child.text.empty()) {
      const bool oneLine = (child.style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
      UINT format = (child.style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
      format |= oneLine ? DT_SINGLELINE : DT_WORDBREAK;
      const SIZE need = TextExtent(child.window, child.text, format, width);
      EXPECT_LE(need.cx, width) << Describe(child);
      EXPECT_LE(need.cy, height) << Describe(child);
    }
    if (!IsClass(child, kButton)) continue;
    const LONG type = child.style & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) {
      const SIZE need = TextExtent(child.window, child.text, DT_SINGLELINE, 0);
      EXPECT_LE(need.cx + ::GetSystemMetrics(SM_CXMENUCHECK) + kButtonPadding, width) << Describe(child);
      EXPECT_LE(need.cy, height) << Describe(child);
      continue;
    }
    std::vector<std::string> labels(std::begin(kButtonLabels), std::end(kButtonLabels));
    labels.push_back(" " + child.text);
    for (const std::string& label : labels) {
      const SIZE need = TextExtent(child.window, label, DT_SINGLELINE, 0);
      EXPECT_LE(need.cx + kButtonPicture + kButtonPadding, width) << "\"" << label << "\" on " << Describe(child);
      EXPECT_LE(std::max<LONG>(need.cy, kButtonPicture) + 4, height) << "\"" << label << "\" on " << Describe(child);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, PageTemplates, ::testing::ValuesIn(Templates()),
                         [](const ::testing::TestParamInfo<Template>& info) { return std::string(info.param.name); });

// The shots: a suite of its own that has tests only when ORV_TEMPLATE_SHOTS
// is set (a skipped test's report path crashes Wine under 32-bit emulation).
const char* ShotFolder() {
  const char* folder = std::getenv("ORV_TEMPLATE_SHOTS");
  return folder && *folder ? folder : nullptr;
}

std::vector<Template> ShotTemplates() { return ShotFolder() ? Templates() : std::vector<Template>{}; }

class PageTemplateShots : public PageTemplates {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PageTemplateShots);

TEST_P(PageTemplateShots, AreWritten) {
  ::SetWindowPos(dialog_, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::UpdateWindow(dialog_);
  for (int round = 0; round < 20; ++round) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    ::Sleep(25);
  }
  const std::string path = std::string(ShotFolder()) + "\\" + GetParam().name + ".bmp";
  test_shots::WriteWindowShot(dialog_, path);
  EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

INSTANTIATE_TEST_SUITE_P(All, PageTemplateShots, ::testing::ValuesIn(ShotTemplates()),
                         [](const ::testing::TestParamInfo<Template>& info) { return std::string(info.param.name); });

// --- The pictures ---------------------------------------------------------------

enum class Picture { kSide, kHeader, kButton };

struct PictureCase {
  const char* label;
  int id;
  int width, height;
  Picture kind;
};

const PictureCase kPictures[] = {
    {"Side", IDB_SIDE_PICTURE, 96, 256, Picture::kSide},
    {"Header", IDB_HEADER_PICTURE, 288, 36, Picture::kHeader},
    {"Next", IDB_NEXT_BUTTON, 16, 16, Picture::kButton},
    {"Cancel", IDB_CANCEL_BUTTON, 16, 16, Picture::kButton},
    {"Browse", IDB_BROWSE_BUTTON, 16, 16, Picture::kButton},
    {"Ok", IDB_OK_BUTTON, 16, 16, Picture::kButton},
};

constexpr uint32_t kKeyColour = 0xFF00FF;  // 0xRRGGBB

struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;  // top row first, 0xRRGGBB
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

int Luminance(uint32_t rgb) {
  return static_cast<int>((299 * ((rgb >> 16) & 0xFF) + 587 * ((rgb >> 8) & 0xFF) + 114 * (rgb & 0xFF)) / 1000);
}

class PagePictures : public ::testing::TestWithParam<PictureCase> {
 protected:
  static Pixels Load(int id) {
    Pixels pixels;
    HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return pixels;
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    BITMAPINFO wanted{};
    wanted.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.rgb.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = ::GetDC(nullptr);
    const int rows = ::GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.rgb.data(), &wanted, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(bitmap);
    if (rows != info.bmHeight) return Pixels{};
    for (uint32_t& p : pixels.rgb) p &= 0xFFFFFF;  // 32-bit DIB: 0x00RRGGBB
    return pixels;
  }
};

TEST_P(PagePictures, LoadWithTheirSizeAndColours) {
  const PictureCase& picture = GetParam();
  const Pixels pixels = Load(picture.id);
  ASSERT_EQ(pixels.width, picture.width);
  ASSERT_EQ(pixels.height, picture.height);
  switch (picture.kind) {
    case Picture::kButton: {
      // The corners are the key colour, the drawing is neither a speck nor
      // the whole square, and no pixel is nearly the key colour (a pink
      // fringe would stay when the key turns transparent).
      for (int corner : {0, 15}) {
        EXPECT_EQ(pixels.At(corner, 0), kKeyColour);
        EXPECT_EQ(pixels.At(corner, 15), kKeyColour);
      }
      int drawn = 0;
      for (uint32_t p : pixels.rgb) {
        if (p == kKeyColour) continue;
        ++drawn;
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_FALSE(r > 160 && b > 160 && g < 100) << std::hex << p;
      }
      EXPECT_GE(drawn, 40);
      EXPECT_LE(drawn, 200);
      break;
    }
    case Picture::kHeader: {
      // Light where the title and subtitle are, a darker shape at the right
      // end.
      int darkestLeft = 255, darkestRight = 255;
      for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
          const int l = Luminance(pixels.At(x, y));
          if (x < pixels.width * 45 / 100) darkestLeft = std::min(darkestLeft, l);
          if (x >= pixels.width * 85 / 100) darkestRight = std::min(darkestRight, l);
        }
      }
      EXPECT_GE(darkestLeft, 245);
      EXPECT_LE(darkestRight, 170);
      break;
    }
    case Picture::kSide: {
      // Light at the top, dark at the bottom.
      int top = 0, bottom = 0;
      for (int x = 0; x < pixels.width; ++x) {
        top += Luminance(pixels.At(x, 0));
        bottom += Luminance(pixels.At(x, pixels.height - 1));
      }
      EXPECT_GE(top / pixels.width, 200);
      EXPECT_LE(bottom / pixels.width, 120);
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, PagePictures, ::testing::ValuesIn(kPictures),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.label); });

}  // namespace
