#include "setup/integration/restart_win.h"

#include <windows.h>

#include "setup/integration/restart_decision.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/privilege_win.h"

namespace setup {
namespace {

// SHTDN_REASON_FLAG_PLANNED | SHTDN_REASON_MAJOR_APPLICATION |
// SHTDN_REASON_MINOR_INSTALLATION.
constexpr DWORD kRestartReason = 0x80040002;

}  // namespace

bool AskForRestart(const RunState& run) {
  return DecideRestart(RunProductFlags(run), run.automaticMode, [] {
    return AskYesNo(LocalizedString(kStringRestartQuestion), LocalizedString(kStringQuestionCaption));
  });
}

tl::Status RestartComputer() {
  // Without the privilege the system refuses with ERROR_PRIVILEGE_NOT_HELD,
  // which the call then reports.
  tl::EnableProcessPrivilege("SeShutdownPrivilege");
  if (!::ExitWindowsEx(EWX_REBOOT, kRestartReason)) return tl::SysError{::GetLastError()};
  return tl::Status::Ok();
}

}  // namespace setup
