#include "tl_core/fatal_box_win.h"

#include <windows.h>

#include "tl_core/fatal.h"

namespace tl {
namespace {

void ShowLibraryFatalBox(const char* text) {
  ::MessageBoxA(nullptr, text, LibraryFatalCaption().c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST);
}

void ExitWindowsProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace

void UseLibraryFatalBox() {
  SetProcessExit(&ExitWindowsProcess);
  SetFatalCallback(&ShowLibraryFatalBox);
}

}  // namespace tl
