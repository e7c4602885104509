#include "setup/run/file_redirection_win.h"

#include <windows.h>

#include "tl_core/system_library_win.h"

namespace setup {

void SwitchOffFileRedirection(InstallSettings& run) {
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  auto disable = tl::SystemFunction<DisableFn>("kernel32.dll", "Wow64DisableWow64FsRedirection");
  run.wow64RedirectionOff = disable && disable(&run.wow64RedirectionState);
  run.wow64RedirectionFailed = !run.wow64RedirectionOff;
}

void RestoreFileRedirection(InstallSettings& run) {
  if (!run.wow64RedirectionOff) return;
  using RevertFn = BOOL(WINAPI*)(PVOID);
  if (auto revert = tl::SystemFunction<RevertFn>("kernel32.dll", "Wow64RevertWow64FsRedirection"))
    revert(run.wow64RedirectionState);
  run.wow64RedirectionOff = false;
}

}  // namespace setup
