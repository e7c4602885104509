/* The demo product's program: shows one message box and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  char text[512];
  wsprintfA(text, "Orvanta Demo is installed.\r\n\r\nCommand line: %s", commandLine);
  MessageBoxA(NULL, text, "Orvanta Demo", MB_OK | MB_ICONINFORMATION);
  return 0;
}
