#include "tl_core/system_folders_win.h"

#include <windows.h>

namespace tl {
namespace {

template <class GetFolder>
std::string FolderFrom(GetFolder getFolder) {
  char folder[MAX_PATH + 1] = {};
  const UINT n = getFolder(folder, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? std::string(folder, n) : std::string();
}

}  // namespace

std::string WindowsFolder() { return FolderFrom(::GetWindowsDirectoryA); }
std::string SystemFolder() { return FolderFrom(::GetSystemDirectoryA); }

}  // namespace tl
