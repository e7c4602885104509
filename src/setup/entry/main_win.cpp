#include <windows.h>

#include "setup/entry/entry_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
  return setup::RunEntry(instance, commandTail);
}
