// plain_copy.exe SOURCE TARGET
// Copies the folder tree SOURCE into TARGET (made with its parents) with
// CreateFile, ReadFile and WriteFile in 1 MB blocks and sets each copy's
// last-write time from its source: the plain copy that the install
// benchmark measures the runtime against. Prints "copied <files> files
// <bytes> bytes"; exit code 0, or 1 at the first failure (named on stderr).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kBlockSize = 1 << 20;

class ScopedFile {
 public:
  explicit ScopedFile(HANDLE handle) : handle_(handle) {}
  ~ScopedFile() {
    if (valid()) CloseHandle(handle_);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class ScopedFind {
 public:
  ScopedFind(const std::string& pattern, WIN32_FIND_DATAA& data) : handle_(FindFirstFileA(pattern.c_str(), &data)) {}
  ~ScopedFind() {
    if (valid()) FindClose(handle_);
  }
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

struct Totals {
  unsigned long long files = 0;
  unsigned long long bytes = 0;
};

bool Failed(const char* what, const std::string& path) {
  std::fprintf(stderr, "plain_copy: %s %s: error %lu\n", what, path.c_str(), GetLastError());
  return false;
}

bool CopyOne(const std::string& from, const std::string& to, std::vector<char>& block, Totals& totals) {
  ScopedFile source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.valid()) return Failed("cannot open", from);
  ScopedFile target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target.valid()) return Failed("cannot create", to);
  while (true) {
    DWORD read = 0;
    if (!ReadFile(source.get(), block.data(), kBlockSize, &read, nullptr)) return Failed("cannot read", from);
    if (read == 0) break;
    DWORD written = 0;
    if (!WriteFile(target.get(), block.data(), read, &written, nullptr) || written != read)
      return Failed("cannot write", to);
    totals.bytes += read;
  }
  FILETIME lastWrite;
  if (!GetFileTime(source.get(), nullptr, nullptr, &lastWrite) ||
      !SetFileTime(target.get(), nullptr, nullptr, &lastWrite))
    return Failed("cannot set the time of", to);
  ++totals.files;
  return true;
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS ||
         Failed("cannot create the folder", path);
}

// The target folder and its missing parents ("C:\a\b": "C:\a", then "C:\a\b").
bool MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    if (!MakeFolder(path.substr(0, at))) return false;
  return MakeFolder(path);
}

bool CopyTree(const std::string& from, const std::string& to, std::vector<char>& block, Totals& totals) {
  if (!MakeFolder(to)) return false;
  WIN32_FIND_DATAA data;
  ScopedFind find(from + "\\*", data);
  if (!find.valid()) return GetLastError() == ERROR_FILE_NOT_FOUND || Failed("cannot list", from);
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!(folder ? CopyTree : CopyOne)(from + "\\" + name, to + "\\" + name, block, totals)) return false;
  } while (FindNextFileA(find.get(), &data));
  return GetLastError() == ERROR_NO_MORE_FILES || Failed("cannot list", from);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: plain_copy SOURCE TARGET\n");
    return 2;
  }
  std::vector<char> block(kBlockSize);
  Totals totals;
  if (!MakeFolders(argv[2]) || !CopyTree(argv[1], argv[2], block, totals)) return 1;
  std::printf("copied %llu files %llu bytes\n", totals.files, totals.bytes);
  return 0;
}
