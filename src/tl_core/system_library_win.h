#pragma once
// DLLs are loaded from the system folder only: installers run from download
// folders, where a planted DLL must never be picked up.
#include <windows.h>

#include "tl_core/scoped_handle_win.h"

namespace tl {

// Limits the process's DLL search to the system folder (where the system
// offers SetDefaultDllDirectories) and removes the current folder from it.
void RestrictDllSearchToSystemFolder();

// Loads a DLL by its full path in the system folder.
ScopedModule LoadSystemLibrary(const char* fileName);

// Looks a function up in a module the process already has (kernel32 and the
// like); nullptr when the system lacks it.
FARPROC FindSystemFunction(const char* moduleName, const char* functionName);

template <class F>
F SystemFunction(const char* moduleName, const char* functionName) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(FindSystemFunction(moduleName, functionName)));
}

// The same for a DLL the process may not have yet (version, shell32 and
// the like): it is loaded from the system folder on first use and stays
// loaded for the rest of the process.
FARPROC FindOnDemandFunction(const char* moduleName, const char* functionName);

template <class F>
F OnDemandFunction(const char* moduleName, const char* functionName) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(FindOnDemandFunction(moduleName, functionName)));
}

}  // namespace tl
