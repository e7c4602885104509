/* A library of the demo product, installed as a versioned file and, under
   another name, as a shared file. */
#include <windows.h>

__declspec(dllexport) const char* DemoGreeting(void) { return "Hello from " DEMO_LIBRARY_NAME; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
