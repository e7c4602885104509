// load_library_probe.exe NAME: loads NAME with the default search order, as
// a careless program would; exit code 0 when it loaded.
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  return LoadLibraryA(argv[1]) ? 0 : 1;
}
