#pragma once
// Pictures of windows for people to look at (the galleries in docs/).
#include <windows.h>

#include <string>

namespace test_shots {

// Writes what the window shows, frame included, as a 24-bit BMP file; the
// desktop window gives the whole screen.
inline void WriteWindowShot(HWND dialog, const std::string& path) {
  RECT r{};
  ::GetWindowRect(dialog, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 2835, 2835, 0, 0};
  void* bits = nullptr;
  HDC window = ::GetWindowDC(dialog);
  HBITMAP shot = ::CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = ::CreateCompatibleDC(window);
  HGDIOBJ old = ::SelectObject(memory, shot);
  ::BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
  ::GdiFlush();
  const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
  BITMAPFILEHEADER head{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize), 0,
                        0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(file, &head, sizeof(head), &written, nullptr);
    ::WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
    ::WriteFile(file, bits, imageSize, &written, nullptr);
    ::CloseHandle(file);
  }
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(shot);
  ::ReleaseDC(dialog, window);
}

}  // namespace test_shots
