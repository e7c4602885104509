#include "setup/ui/background_window_win.h"

#include <memory>

#include "setup/run/run_control_win.h"
#include "setup/ui/background_canvas_win.h"
#include "tl_core/fatal.h"
#include "tl_core/file_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

constexpr char kCreationFailedText[] =
    "Failed to create the installer's window.  Please reboot your machine and try again.\r\n\r\nError code %d: %s";

BackgroundCanvas* CanvasOf(HWND window) {
  return reinterpret_cast<BackgroundCanvas*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

PixelSize ClientSize(HWND window) {
  RECT client = {};
  ::GetClientRect(window, &client);
  return {client.right - client.left, client.bottom - client.top};
}

LRESULT DefaultHandling(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::IsWindowUnicode(window) ? ::DefWindowProcW(window, message, wParam, lParam)
                                   : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK BackgroundProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_ERASEBKGND:
      if (BackgroundCanvas* canvas = CanvasOf(window)) {
        canvas->PaintTo(reinterpret_cast<HDC>(wParam), ClientSize(window));
        return 1;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      if (BackgroundCanvas* canvas = CanvasOf(window); canvas && paint.fErase == FALSE)
        canvas->PaintTo(dc, ClientSize(window));
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      delete CanvasOf(window);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefaultHandling(window, message, wParam, lParam);
}

// Both classes of the one name, registered once each; the window takes the
// wide one when its taskbar text has a UTF-16 form.
bool RegisterClassOnce(HINSTANCE instance, HICON smallIcon, HICON largeIcon, bool wide) {
  static bool registered[2] = {false, false};
  bool& done = registered[wide ? 1 : 0];
  if (done) return true;
  if (wide) {
    const std::wstring name = tl::ToWide(kBackgroundWindowClass);
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.style = CS_HREDRAW | CS_VREDRAW;
    c.lpfnWndProc = &BackgroundProcedure;
    c.hInstance = instance;
    c.hIcon = largeIcon;
    c.hIconSm = smallIcon;
    c.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.lpszClassName = name.c_str();
    done = ::RegisterClassExW(&c) != 0;
  } else {
    WNDCLASSEXA c = {};
    c.cbSize = sizeof c;
    c.style = CS_HREDRAW | CS_VREDRAW;
    c.lpfnWndProc = &BackgroundProcedure;
    c.hInstance = instance;
    c.hIcon = largeIcon;
    c.hIconSm = smallIcon;
    c.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    c.lpszClassName = kBackgroundWindowClass;
    done = ::RegisterClassExA(&c) != 0;
  }
  return done;
}

// The taskbar text in UTF-16, or nothing when it does not convert.
std::optional<std::wstring> WideTaskbarText(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

HWND CreateWindowOfLook(HINSTANCE instance, HICON smallIcon, HICON largeIcon, const BackgroundLook& look,
                        DWORD style, const RECT& area) {
  auto canvas = std::make_unique<BackgroundCanvas>(look);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HWND window = nullptr;
  if (std::optional<std::wstring> text = WideTaskbarText(look.taskbarText);
      text && RegisterClassOnce(instance, smallIcon, largeIcon, true)) {
    const std::wstring className = tl::ToWide(kBackgroundWindowClass);
    window = ::CreateWindowExW(0, className.c_str(), text->c_str(), style, area.left, area.top, width, height,
                               nullptr, nullptr, instance, canvas.get());
  }
  if (!window && RegisterClassOnce(instance, smallIcon, largeIcon, false)) {
    window = ::CreateWindowExA(0, kBackgroundWindowClass, look.taskbarText.c_str(), style, area.left, area.top, width,
                               height, nullptr, nullptr, instance, canvas.get());
  }
  if (window) static_cast<void>(canvas.release());  // the window owns it now
  return window;
}

}  // namespace

HWND CreateBackgroundWindow(HINSTANCE instance, HICON smallIcon, HICON largeIcon, const BackgroundLook& look,
                            bool minimized) {
  RECT area = {};
  bool maximized = look.maximized;
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    maximized = true;
    area = {0, 0, 1, 1};
  }
  const DWORD style = WS_POPUP | (minimized ? WS_MINIMIZE : 0);
  HWND window = CreateWindowOfLook(instance, smallIcon, largeIcon, look, style, area);
  if (!window) {
    const DWORD error = ::GetLastError();
    tl::FatalMessage(kCreationFailedText, static_cast<int>(error), tl::SystemErrorText(error).c_str());
  }
  SetBackgroundWindow(window);
  ::ShowWindow(window, SW_HIDE);
  ::ShowWindow(window, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  if (minimized) ::ShowWindow(window, SW_MINIMIZE);
  ::SetForegroundWindow(window);
  ::SetActiveWindow(window);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return window;
}

void SetBackgroundLook(const BackgroundLook& look) {
  HWND window = BackgroundWindow();
  if (!window) return;
  if (BackgroundCanvas* canvas = CanvasOf(window)) canvas->SetLook(look);
  if (std::optional<std::wstring> text = WideTaskbarText(look.taskbarText); text && ::IsWindowUnicode(window))
    ::SetWindowTextW(window, text->c_str());
  else
    ::SetWindowTextA(window, look.taskbarText.c_str());
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace setup
