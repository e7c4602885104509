// Leaves "<dll name>.loaded" beside itself when a process loads it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(instance, path, MAX_PATH - 8);
    if (n > 0 && n < MAX_PATH - 8) {
      lstrcatA(path, ".loaded");
      HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    }
  }
  return TRUE;
}
