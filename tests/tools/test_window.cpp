// test_window.exe TITLE
// Shows a top-level window of the class "OrvTestWindow" with the title,
// prints "ready" once it exists, and ends when the window is closed (exit
// code 0) or a WM_QUIT reaches the thread (exit code 3). A stand-in for a
// running program that an installer must close.
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: test_window TITLE\n");
    return 2;
  }
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "OrvTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("OrvTestWindow", argv[1], WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  if (!window) return 4;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  std::printf("ready\n");
  std::fflush(stdout);
  bool closed = false;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_NULL) continue;
    DispatchMessageA(&msg);
  }
  closed = !IsWindow(window);
  return closed ? 0 : 3;
}
