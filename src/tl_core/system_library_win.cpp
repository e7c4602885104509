#include "tl_core/system_library_win.h"

#include <string>

#include "tl_core/system_folders_win.h"

namespace tl {

void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDefault = SystemFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryA("");
}

ScopedModule LoadSystemLibrary(const char* fileName) {
  std::string path = SystemFolder();
  if (path.empty()) return ScopedModule();
  path += '\\';
  path += fileName;
  return ScopedModule(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

FARPROC FindSystemFunction(const char* moduleName, const char* functionName) {
  HMODULE module = ::GetModuleHandleA(moduleName);
  return module ? ::GetProcAddress(module, functionName) : nullptr;
}

FARPROC FindOnDemandFunction(const char* moduleName, const char* functionName) {
  HMODULE module = ::GetModuleHandleA(moduleName);
  // Kept for the rest of the process: callers hold on to the function.
  if (!module) module = LoadSystemLibrary(moduleName).Take();
  return module ? ::GetProcAddress(module, functionName) : nullptr;
}

}  // namespace tl
