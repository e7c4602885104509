#include "tl_core/system_library_win.h"

#include <string>

namespace tl {

void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDefault = SystemFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryA("");
}

ScopedModule LoadSystemLibrary(const char* fileName) {
  char folder[MAX_PATH];
  UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ScopedModule();
  std::string path(folder, n);
  path += '\\';
  path += fileName;
  return ScopedModule(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

FARPROC FindSystemFunction(const char* moduleName, const char* functionName) {
  HMODULE module = ::GetModuleHandleA(moduleName);
  return module ? ::GetProcAddress(module, functionName) : nullptr;
}

}  // namespace tl
