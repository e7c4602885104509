#include "setup/run/file_redirection_win.h"

#include <windows.h>

#include "tl_core/system_library_win.h"

namespace setup {

void SwitchOffFileRedirection(FileRedirection& redirection) {
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  auto disable = tl::SystemFunction<DisableFn>("kernel32.dll", "Wow64DisableWow64FsRedirection");
  redirection.off = disable && disable(&redirection.state);
  redirection.failed = !redirection.off;
}

void RestoreFileRedirection(FileRedirection& redirection) {
  if (!redirection.off) return;
  using RevertFn = BOOL(WINAPI*)(PVOID);
  if (auto revert = tl::SystemFunction<RevertFn>("kernel32.dll", "Wow64RevertWow64FsRedirection"))
    revert(redirection.state);
  redirection.off = false;
}

}  // namespace setup
