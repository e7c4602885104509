#pragma once
#include <windows.h>

namespace setup {
// The process entry: runs the start-up steps in order and never returns
// through a normal end (every end goes through ExitInstaller).
int RunEntry(HINSTANCE instance, const char* commandTail);
}  // namespace setup
