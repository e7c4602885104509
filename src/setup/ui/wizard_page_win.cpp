#include "setup/ui/wizard_page_win.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "setup/payload/product_flags.h"
#include "setup/run/run_control_win.h"
#include "setup/strings/string_numbers.h"
#include "setup/ui/button_pictures_win.h"
#include "setup/strings/string_table.h"
#include "setup/ui/page_ids.h"
#include "tl_core/fatal.h"
#include "tl_core/file_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

// GDI objects of one page, released with it.
struct GdiObject {
  explicit GdiObject(HGDIOBJ object = nullptr) : handle(object) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (handle) ::DeleteObject(handle);
  }
  HGDIOBJ handle;
};

struct PageContext {
  PageContext(const PageLook& pageLook, const PageTexts& pageTexts, PageHandler& pageHandler)
      : look(pageLook), texts(pageTexts), handler(pageHandler) {}
  const PageLook& look;
  const PageTexts& texts;
  PageHandler& handler;
  std::unique_ptr<GdiObject> picture;      // side picture or header band
  std::unique_ptr<GdiObject> pageFont;     // the interface font, when asked for
  std::unique_ptr<GdiObject> headerFont;   // bold first line of the header
  ButtonPictures buttonPictures;
  bool modeless = false;
  HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
};

PageContext* ContextOf(HWND page) {
  return reinterpret_cast<PageContext*>(::GetWindowLongPtrW(page, DWLP_USER));
}

HBITMAP LoadPicture(HINSTANCE instance, int id) {
  return static_cast<HBITMAP>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void SetText(HWND page, int id, const std::string& text) { ::SetDlgItemTextA(page, id, text.c_str()); }

void SetStringText(HWND page, int id, int number, const std::string& prefix = {}) {
  if (number == kNoText || !::GetDlgItem(page, id)) return;
  SetText(page, id, prefix + LocalizedString(number));
}

// With pictures a button's text gets one leading blank.
void SetButtonText(HWND page, int id, const std::string& text, bool withPicture) {
  if (!::GetDlgItem(page, id)) return;
  SetText(page, id, withPicture ? " " + text : text);
}

std::string Caption(const PageLook& look, const PageTexts& texts) {
  const int headerCaption = texts.headerLayoutCaption == kNoText ? kStringWizardCaption : texts.headerLayoutCaption;
  int number = look.layout == PageLayout::kHeader ? headerCaption : texts.headerTitle;
  return number == kNoText ? std::string() : LocalizedString(number);
}

void SetTexts(HWND page, const PageContext& context) {
  const PageLook& look = context.look;
  const PageTexts& texts = context.texts;
  ::SetWindowTextA(page, Caption(look, texts).c_str());
  SetStringText(page, IDC_MAIN_TEXT, texts.mainText, texts.mainTextPrefix);
  const bool pictures = look.buttonPictures;
  if (!texts.fixedNext.empty())
    SetButtonText(page, IDC_NEXT, texts.fixedNext, pictures);
  else if (texts.next != kNoText)
    SetButtonText(page, IDC_NEXT, LocalizedString(texts.next), pictures);
  if (texts.cancel != kNoText) SetButtonText(page, IDC_CANCEL_PAGE, LocalizedString(texts.cancel), pictures);
  if (texts.browse != kNoText) SetButtonText(page, IDC_BROWSE, LocalizedString(texts.browse), pictures);
  if (look.layout == PageLayout::kHeader) {
    SetText(page, IDC_HEADER_TITLE, look.headerFirstLine);
    SetStringText(page, IDC_HEADER_SUBTITLE, texts.headerTitle);
    if (HWND band = ::GetDlgItem(page, IDC_HEADER_PICTURE)) ::InvalidateRect(band, nullptr, TRUE);
  }
}

// The page in the middle of the screen; a page larger than the screen is
// cut to it and placed at its top left corner.
void CentreOnScreen(HWND page) {
  RECT rect;
  ::GetWindowRect(page, &rect);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = (screenWidth - width) / 2;
  int y = (screenHeight - height) / 2;
  if (width > screenWidth || height > screenHeight) {
    width = std::min(width, screenWidth);
    height = std::min(height, screenHeight);
    x = 0;
    y = 0;
  }
  ::SetWindowPos(page, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CALLBACK SetFontOfChild(HWND child, LPARAM font) {
  ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

void ApplyInterfaceFont(HWND page, PageContext& context) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
  HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
  if (!font) return;
  context.pageFont = std::make_unique<GdiObject>(font);
  ::SendMessageW(page, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::EnumChildWindows(page, &SetFontOfChild, reinterpret_cast<LPARAM>(font));
}

void CreateHeaderFont(HWND page, PageContext& context) {
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(page, WM_GETFONT, 0, 0));
  LOGFONTW description = {};
  if (!font || !::GetObjectW(font, sizeof description, &description)) return;
  description.lfWeight = FW_BOLD;
  context.headerFont = std::make_unique<GdiObject>(::CreateFontIndirectW(&description));
}

void GiveButtonPictures(HWND page, PageContext& context) {
  const bool okButton = !context.texts.fixedNext.empty() || context.texts.cancel == kNoText;
  context.buttonPictures.Give(::GetDlgItem(page, IDC_NEXT), okButton ? IDB_OK_BUTTON : IDB_NEXT_BUTTON);
  context.buttonPictures.Give(::GetDlgItem(page, IDC_CANCEL_PAGE), IDB_CANCEL_BUTTON);
  context.buttonPictures.Give(::GetDlgItem(page, IDC_BROWSE), IDB_BROWSE_BUTTON);
}

void ApplyLayout(HWND page, PageContext& context) {
  const PageLook& look = context.look;
  if (look.layout == PageLayout::kSidePicture) {
    context.picture = std::make_unique<GdiObject>(LoadPicture(look.instance, IDB_SIDE_PICTURE));
    if (HWND side = ::GetDlgItem(page, IDC_SIDE_PICTURE)) {
      LONG_PTR style = ::GetWindowLongPtrW(side, GWL_STYLE);
      LONG_PTR extended = ::GetWindowLongPtrW(side, GWL_EXSTYLE);
      if (look.sidePictureBorder == 1) extended |= WS_EX_CLIENTEDGE;
      if (look.sidePictureBorder == 2) style |= WS_BORDER;
      ::SetWindowLongPtrW(side, GWL_STYLE, style);
      ::SetWindowLongPtrW(side, GWL_EXSTYLE, extended);
      ::SetWindowPos(side, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
  } else if (look.layout == PageLayout::kHeader) {
    context.picture = std::make_unique<GdiObject>(LoadPicture(look.instance, IDB_HEADER_PICTURE));
    CreateHeaderFont(page, context);
    // The header's texts are drawn over the band by the band itself.
    if (HWND title = ::GetDlgItem(page, IDC_HEADER_TITLE)) ::ShowWindow(title, SW_HIDE);
    if (HWND subtitle = ::GetDlgItem(page, IDC_HEADER_SUBTITLE)) ::ShowWindow(subtitle, SW_HIDE);
  }
}

void SetUpPage(HWND page, PageContext& context) {
  const PageLook& look = context.look;
  if (look.smallIcon) ::SendMessageW(page, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(look.smallIcon));
  if (look.largeIcon) ::SendMessageW(page, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(look.largeIcon));
  if (HMENU menu = ::GetSystemMenu(page, FALSE)) ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  if (look.interfaceFont) ApplyInterfaceFont(page, context);
  CentreOnScreen(page);
  ApplyLayout(page, context);
  if (look.buttonPictures) GiveButtonPictures(page, context);
  SetTexts(page, context);
}

void DrawPicture(const DRAWITEMSTRUCT& item, HBITMAP picture) {
  const RECT& r = item.rcItem;
  ::FillRect(item.hDC, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  BITMAP size = {};
  if (!picture || !::GetObjectW(picture, sizeof size, &size)) return;
  HDC source = ::CreateCompatibleDC(item.hDC);
  HGDIOBJ old = ::SelectObject(source, picture);
  ::SetStretchBltMode(item.hDC, HALFTONE);
  ::SetBrushOrgEx(item.hDC, 0, 0, nullptr);
  ::StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0, size.bmWidth,
               size.bmHeight, SRCCOPY);
  ::SelectObject(source, old);
  ::DeleteDC(source);
}

void DrawHeaderText(HWND page, HDC dc, int id, RECT area, HFONT font) {
  HWND control = ::GetDlgItem(page, id);
  if (!control) return;
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (old) ::SelectObject(dc, old);
}

// The band's two lines take the places their controls have in the template.
void DrawHeaderTexts(HWND page, const DRAWITEMSTRUCT& item, const PageContext& context) {
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, RGB(0, 0, 0));
  HFONT pageFont = reinterpret_cast<HFONT>(::SendMessageW(page, WM_GETFONT, 0, 0));
  for (int id : {IDC_HEADER_TITLE, IDC_HEADER_SUBTITLE}) {
    HWND control = ::GetDlgItem(page, id);
    if (!control) continue;
    RECT area;
    ::GetWindowRect(control, &area);
    ::MapWindowPoints(nullptr, item.hwndItem, reinterpret_cast<POINT*>(&area), 2);
    area.right = item.rcItem.right;
    HFONT font = id == IDC_HEADER_TITLE && context.headerFont
                     ? static_cast<HFONT>(context.headerFont->handle)
                     : pageFont;
    DrawHeaderText(page, item.hDC, id, area, font);
  }
}

bool DrawItem(HWND page, const DRAWITEMSTRUCT& item) {
  const PageContext* context = ContextOf(page);
  if (!context) return false;
  HBITMAP picture = context->picture ? static_cast<HBITMAP>(context->picture->handle) : nullptr;
  if (item.CtlID == IDC_SIDE_PICTURE) {
    DrawPicture(item, picture);
    return true;
  }
  if (item.CtlID == IDC_HEADER_PICTURE) {
    DrawPicture(item, picture);
    DrawHeaderTexts(page, item, *context);
    return true;
  }
  return false;
}

INT_PTR ReadOnlyTextColours(HWND page, HDC dc, HWND control) {
  if (::GetDlgCtrlID(control) != IDC_READ_ONLY_TEXT) return FALSE;
  const PageContext* context = ContextOf(page);
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkColor(dc, RGB(255, 255, 255));
  return reinterpret_cast<INT_PTR>(context ? context->white : ::GetStockObject(WHITE_BRUSH));
}

void OnCommand(HWND page, int id, int notification) {
  PageContext* context = ContextOf(page);
  if (!context) return;
  if (id == IDCANCEL || id == IDC_CANCEL_PAGE) {
    if (context->handler.Cancel(page)) ::EndDialog(page, IDC_CANCEL_PAGE);
    return;
  }
  if (id == IDOK || id == IDC_NEXT) {
    if (context->handler.Next(page)) ::EndDialog(page, IDC_NEXT);
    return;
  }
  context->handler.Command(page, id, notification);
}

INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* context = reinterpret_cast<PageContext*>(lParam);
      ::SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
      SetUpPage(page, *context);
      context->handler.Init(page);
      // A page that placed the focus itself keeps it; otherwise the dialog
      // gives it to the first control that takes it.
      return ::IsChild(page, ::GetFocus()) ? FALSE : TRUE;
    }
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
      return DrawItem(page, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
      return ReadOnlyTextColours(page, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_QUERYENDSESSION: {
      const PageContext* context = ContextOf(page);
      if (!context || !context->handler.RefusesEndSession()) return FALSE;
      ::SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_NCDESTROY: {
      // A modeless page owns its context.
      PageContext* context = ContextOf(page);
      ::SetWindowLongPtrW(page, DWLP_USER, 0);
      if (context && context->modeless) delete context;
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

PageLook PageLookOf(const RunState& run, PageLayout layout) {
  PageLook look;
  look.instance = static_cast<HINSTANCE>(run.process.instance);
  look.smallIcon = static_cast<HICON>(run.process.smallIcon);
  look.largeIcon = static_cast<HICON>(run.process.largeIcon);
  look.layout = layout;
  look.interfaceFont = run.product.Flag(kFlagInterfaceFont);
  look.buttonPictures = run.product.Flag2(kFlag2ButtonPictures);
  look.sidePictureBorder = run.product.stream.SidePictureBorder;
  look.headerFirstLine = WithRunPlaceholders(run.product.stream.DialogCaption);
  return look;
}

namespace {

void InitializeCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    return ::InitCommonControlsEx(&classes) != FALSE;
  }();
  static_cast<void>(done);
}

}  // namespace

int RunPage(const std::string& templateName, const PageLook& look, const PageTexts& texts, PageHandler& handler) {
  InitializeCommonControls();
  PageContext context(look, texts, handler);
  const std::wstring name = tl::ToWide(templateName);
  INT_PTR result = ::DialogBoxParamW(look.instance, name.c_str(), PageOwner(), &PageProcedure,
                                     reinterpret_cast<LPARAM>(&context));
  if (result == -1) {
    const DWORD error = ::GetLastError();
    tl::FatalMessage("The page \"%s\" cannot be shown.\r\n\r\nError code %lu: %s", templateName.c_str(), error,
                     tl::SystemErrorText(error).c_str());
  }
  return result == IDC_NEXT ? IDC_NEXT : IDC_CANCEL_PAGE;
}

HWND OpenModelessPage(const std::string& templateName, const PageLook& look, const PageTexts& texts,
                      PageHandler& handler) {
  InitializeCommonControls();
  auto context = std::make_unique<PageContext>(look, texts, handler);
  context->modeless = true;
  const std::wstring name = tl::ToWide(templateName);
  HWND page = ::CreateDialogParamW(look.instance, name.c_str(), PageOwner(), &PageProcedure,
                                   reinterpret_cast<LPARAM>(context.get()));
  if (!page) return nullptr;
  static_cast<void>(context.release());  // the page owns it now
  ::ShowWindow(page, SW_SHOW);
  return page;
}

void ApplyPageTexts(HWND page) {
  if (const PageContext* context = ContextOf(page)) SetTexts(page, *context);
}

HWND PageOwner() { return BackgroundWindow(); }

std::string ControlText(HWND page, int id) {
  HWND control = ::GetDlgItem(page, id);
  if (!control) return {};
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return tl::FromWideKeepingUnicode(text);
}

}  // namespace setup
