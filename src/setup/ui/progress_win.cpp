#include "setup/ui/progress_win.h"

#include <commctrl.h>

#include "setup/ui/message_boxes_win.h"
#include "setup/ui/page_ids.h"
#include "tl_core/process_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

struct ProgressState {
  HWND dialog = nullptr;
  HWND bar = nullptr;
  HWND status = nullptr;
  DWORD markedTick = 0;
  bool marked = false;
};

ProgressState& State() {
  static ProgressState state;
  return state;
}

}  // namespace

void AttachProgressDialog(HWND dialog) {
  ProgressState& state = State();
  state.dialog = dialog;
  state.bar = dialog ? ::GetDlgItem(dialog, IDC_PROGRESS_BAR) : nullptr;
  state.status = dialog ? ::GetDlgItem(dialog, IDC_STATUS_LINE) : nullptr;
}

HWND DetachProgressDialog() {
  HWND dialog = State().dialog;
  AttachProgressDialog(nullptr);
  return dialog;
}

HWND ProgressDialog() { return State().dialog; }

void SetProgress(int percent) {
  if (HWND bar = State().bar) ::PostMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  tl::PumpWindowMessages();
}

void SetStatusText(const std::string& text) {
  if (HWND status = State().status) ::SetWindowTextA(status, text.c_str());
  tl::PumpWindowMessages();
}

void SetStatusPath(const std::string& path) {
  if (HWND status = State().status) ::SetWindowTextW(status, tl::ToWide(path).c_str());
  tl::PumpWindowMessages();
}

void MarkStatusTime() {
  State().markedTick = ::GetTickCount();
  State().marked = true;
}

void WaitStatusTime(unsigned ms) {
  if (CurrentInteraction().automatic) return;
  ProgressState& state = State();
  if (!state.marked) {
    MarkStatusTime();
    return;
  }
  while (::GetTickCount() - state.markedTick < ms) {
    if (!tl::PumpWindowMessages()) return;
    ::Sleep(50);
  }
}

}  // namespace setup
