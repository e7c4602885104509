// marker.exe: leaves "<its own path>.ran" holding its command line and its
// current folder, one per line, then ends. Installed under other names, it
// shows that a program or document was started, with what and where.
#include <windows.h>

#include <cstdio>

int main() {
  char self[MAX_PATH + 8] = {};
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 2;
  std::snprintf(self + n, sizeof self - n, ".ran");
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  FILE* out = std::fopen(self, "wb");
  if (!out) return 3;
  std::fprintf(out, "%s\r\n%s\r\n", GetCommandLineA(), folder);
  std::fclose(out);
  return 0;
}
