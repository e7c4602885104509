#include "setup/run/own_file_win.h"

#include "tl_core/fatal.h"

namespace setup {
namespace {
constexpr uint32_t kOwnFileFlags = tl::kOpenExisting | tl::kNoWriteAccess | tl::kShareRead;  // 0x111
}  // namespace

tl::File& OwnFile() {
  static tl::File file;
  return file;
}

PositionedRead ReadOwnFile() {
  return [](int64_t offset, void* destination, size_t length) {
    return OwnFile().ReadAt(destination, static_cast<int64_t>(length), offset);
  };
}

std::string ModuleFileName() {
  std::string name(MAX_PATH, '\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

int64_t OpenOwnFile(const std::string& commandLinePath) {
  const std::string moduleName = ModuleFileName();
  tl::File& file = OwnFile();
  std::string path = commandLinePath;
  if (file.Open(path, kOwnFileFlags) != tl::kFileOk) {
    path = moduleName;
    if (file.Open(path, kOwnFileFlags) != tl::kFileOk) {
      const DWORD error = ::GetLastError();
      tl::FatalMessage("Error code 1: The installer could not open itself.\r\nFilename: %s\r\nError #%d: %s",
                       path.c_str(), static_cast<int>(error), tl::SystemErrorText(error).c_str());
    }
  }
  return file.Length();
}

}  // namespace setup
