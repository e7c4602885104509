#include "setup/ui/progress_win.h"

#include <commctrl.h>

#include "setup/ui/message_boxes_win.h"
#include "setup/ui/page_ids.h"
#include "tl_core/process_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

// A file path stays on the status line at least this long: thousands of
// small files would otherwise spend their time repainting it. The path of
// the file at hand when the time is up is shown then; the last one waiting
// is shown by the next progress call.
constexpr DWORD kPathShownMs = 40;

struct ProgressState {
  HWND dialog = nullptr;
  HWND bar = nullptr;
  HWND status = nullptr;
  int percent = -1;  // the bar's position, as last set
  DWORD pathShownTick = 0;
  bool pathShown = false;
  std::wstring waitingPath;
  bool pathWaiting = false;
  DWORD markedTick = 0;
  bool marked = false;
};

ProgressState& State() {
  static ProgressState state;
  return state;
}

void ShowWaitingPath(ProgressState& state) {
  if (!state.pathWaiting) return;
  state.pathWaiting = false;
  if (state.status) ::SetWindowTextW(state.status, state.waitingPath.c_str());
  state.pathShownTick = ::GetTickCount();
}

}  // namespace

void AttachProgressDialog(HWND dialog) {
  ProgressState& state = State();
  state.dialog = dialog;
  state.bar = dialog ? ::GetDlgItem(dialog, IDC_PROGRESS_BAR) : nullptr;
  state.status = dialog ? ::GetDlgItem(dialog, IDC_STATUS_LINE) : nullptr;
  state.percent = -1;
  state.pathShown = false;
  state.pathWaiting = false;
}

HWND DetachProgressDialog() {
  HWND dialog = State().dialog;
  AttachProgressDialog(nullptr);
  return dialog;
}

HWND ProgressDialog() { return State().dialog; }

void SetProgress(int percent) {
  ProgressState& state = State();
  if (state.bar && percent != state.percent) {
    ::PostMessageA(state.bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    state.percent = percent;
  }
  ShowWaitingPath(state);
  tl::PumpWindowMessages();
}

void SetStatusText(const std::string& text) {
  ProgressState& state = State();
  state.pathWaiting = false;
  if (state.status) ::SetWindowTextA(state.status, text.c_str());
  tl::PumpWindowMessages();
}

void SetStatusPath(const std::string& path) {
  ProgressState& state = State();
  if (state.status) {
    state.waitingPath = tl::ToWide(path);
    state.pathWaiting = true;
    if (!state.pathShown || ::GetTickCount() - state.pathShownTick >= kPathShownMs) {
      ShowWaitingPath(state);
      state.pathShown = true;
    }
  }
  tl::PumpWindowMessages();
}

void MarkStatusTime() {
  State().markedTick = ::GetTickCount();
  State().marked = true;
}

void WaitStatusTime(unsigned ms) {
  ProgressState& state = State();
  ShowWaitingPath(state);
  if (CurrentInteraction().automatic) return;
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
