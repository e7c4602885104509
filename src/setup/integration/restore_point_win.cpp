#include "setup/integration/restore_point_win.h"

#include <windows.h>
#include <srrestoreptapi.h>

#include <algorithm>
#include <string>

#include "setup/integration/restore_point_text.h"
#include "setup/report/install_log_win.h"
#include "setup/strings/string_table.h"
#include "setup/ui/progress_win.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/file_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

using SetRestorePointFn = BOOL(WINAPI*)(PRESTOREPOINTINFOW, PSTATEMGRSTATUS);

// srclient.dll from the system folder, loaded once and kept: the commit at
// the finish uses the same module as the opening.
HMODULE RestoreLibrary() {
  static HMODULE module = tl::LoadSystemLibrary("srclient.dll").Take();
  return module;
}

struct RestoreCall {
  bool ok = false;
  RestorePointFailure failure = RestorePointFailure::kCallFailed;
  uint32_t status = 0;
  int64_t sequence = 0;
};

RestoreCall SetRestorePoint(DWORD eventType, int64_t sequence, const std::u16string& description) {
  RestoreCall call;
  HMODULE module = RestoreLibrary();
  if (!module) {
    call.failure = RestorePointFailure::kLibraryMissing;
    return call;
  }
  auto setRestorePoint =
      reinterpret_cast<SetRestorePointFn>(reinterpret_cast<void*>(::GetProcAddress(module, "SRSetRestorePointW")));
  if (!setRestorePoint) {
    call.failure = RestorePointFailure::kFunctionMissing;
    return call;
  }
  RESTOREPOINTINFOW info = {};
  info.dwEventType = eventType;
  info.dwRestorePtType = APPLICATION_INSTALL;
  info.llSequenceNumber = sequence;
  std::copy(description.begin(), description.end(), info.szDescription);
  STATEMGRSTATUS status = {};
  call.ok = setRestorePoint(&info, &status) != FALSE;
  call.status = status.nStatus;
  call.sequence = status.llSequenceNumber;
  return call;
}

std::u16string SystemDescription(const ProductSettings& product) {
  const std::wstring wide = tl::ToWide(RestorePointDescription(product.displayName, product.stream.DisplayVersion));
  return FitRestorePointDescription(std::u16string(wide.begin(), wide.end()));
}

std::string ErrorText(const RestoreCall& call) {
  if (call.ok) return {};
  const std::string systemText =
      call.failure == RestorePointFailure::kCallFailed ? tl::SystemErrorText(call.status) : std::string();
  return RestorePointErrorText(call.failure, call.status, systemText);
}

}  // namespace

void OpenRestorePoint(RunState& run) {
  if (!run.WantsRestorePoint()) return;
  SetStatusText(LocalizedString(kStringCreatingRestorePoint));
  AppendLog("Creating restore point...");
  const RestoreCall call = SetRestorePoint(BEGIN_SYSTEM_CHANGE, 0, SystemDescription(run.product));
  AppendLog(RestorePointOutcomeLine(ErrorText(call)));
  if (call.ok) {
    run.restorePointSequence = call.sequence;
  } else {
    run.restorePointSequence.reset();
    run.restorePointFailed = true;
  }
}

void CommitRestorePoint(RunState& run) {
  if (!run.WantsRestorePoint()) return;
  const std::optional<int64_t> sequence = run.restorePointSequence;
  run.restorePointSequence.reset();
  if (!sequence || !SetRestorePoint(END_SYSTEM_CHANGE, *sequence, std::u16string()).ok)
    AppendLog("Failed to commit restore point.\r\n");
}

}  // namespace setup
