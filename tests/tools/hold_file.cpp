// hold_file.exe PATH RELEASE_PATH
// Opens the existing file PATH with no sharing, so that no other program can
// open, replace or delete it, prints "holding" once it has it, and keeps it
// until RELEASE_PATH exists (checked every 100 ms). Exit codes: 0 after the
// release, 2 for a wrong command line, 3 when PATH cannot be opened.
#include <windows.h>

#include <cstdio>

namespace {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold_file PATH RELEASE_PATH\n");
    return 2;
  }
  ScopedHandle file(CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file.valid()) {
    std::fprintf(stderr, "hold_file: cannot open %s: error %lu\n", argv[1], GetLastError());
    return 3;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  while (!Exists(argv[2])) Sleep(100);
  return 0;
}
