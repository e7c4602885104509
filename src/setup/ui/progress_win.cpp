#include "setup/ui/progress_win.h"

#include <commctrl.h>

#include <algorithm>

#include "setup/ui/message_boxes_win.h"
#include "setup/ui/page_ids.h"
#include "tl_core/process_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

// The bar and the file paths are shown at a pace that keeps their painting
// to a small share of the run's time, however slow painting is on the
// machine: after an update that took t ms the next waits t x kPaceFactor ms
// (at least kShortestPaceMs). Thousands of small files would otherwise
// spend much of their time repainting the dialog. What waits is shown by the
// next call that finds the time up, and at the latest by WaitStatusTime,
// which every step's end passes through; a phase's status text is shown at
// once and replaces a waiting path.
constexpr DWORD kPaceFactor = 50;
constexpr DWORD kShortestPaceMs = 40;

struct ProgressState {
  HWND dialog = nullptr;
  HWND bar = nullptr;
  HWND status = nullptr;
  int shownPercent = -1;
  int percent = -1;  // the position asked for last
  std::wstring waitingPath;
  bool pathWaiting = false;
  std::string shownText;     // the status text last set, unless a path followed it
  bool showingPath = false;
  bool updated = false;  // since the dialog was attached
  DWORD lastUpdateEnd = 0;
  DWORD pace = kShortestPaceMs;
  DWORD markedTick = 0;
  bool marked = false;
};

ProgressState& State() {
  static ProgressState state;
  return state;
}

// Shows what waits (the bar's position, a path) and paints it now; the time
// that took sets the pace of the next update.
void UpdateDisplay(ProgressState& state) {
  const bool barMoves = state.bar && state.percent != state.shownPercent;
  if (!barMoves && !state.pathWaiting) return;
  const DWORD start = ::GetTickCount();
  if (barMoves) {
    ::PostMessageA(state.bar, PBM_SETPOS, static_cast<WPARAM>(state.percent), 0);
    state.shownPercent = state.percent;
  }
  if (state.pathWaiting && state.status) {
    ::SetWindowTextW(state.status, state.waitingPath.c_str());
    state.showingPath = true;
  }
  state.pathWaiting = false;
  tl::PumpWindowMessages();
  state.lastUpdateEnd = ::GetTickCount();
  state.pace = std::max(kShortestPaceMs, (state.lastUpdateEnd - start) * kPaceFactor);
  state.updated = true;
}

void UpdateDisplayWhenDue(ProgressState& state) {
  if (!state.updated || ::GetTickCount() - state.lastUpdateEnd >= state.pace) UpdateDisplay(state);
}

}  // namespace

void AttachProgressDialog(HWND dialog) {
  ProgressState& state = State();
  state.dialog = dialog;
  state.bar = dialog ? ::GetDlgItem(dialog, IDC_PROGRESS_BAR) : nullptr;
  state.status = dialog ? ::GetDlgItem(dialog, IDC_STATUS_LINE) : nullptr;
  state.shownPercent = -1;
  state.pathWaiting = false;
  state.shownText.clear();
  state.showingPath = false;
  state.updated = false;
  state.pace = kShortestPaceMs;
}

HWND DetachProgressDialog() {
  HWND dialog = State().dialog;
  AttachProgressDialog(nullptr);
  return dialog;
}

HWND ProgressDialog() { return State().dialog; }

void SetProgress(int percent) {
  ProgressState& state = State();
  state.percent = percent;
  UpdateDisplayWhenDue(state);
  tl::PumpWindowMessages();
}

void SetStatusText(const std::string& text) {
  ProgressState& state = State();
  state.pathWaiting = false;
  // The same text again (each chunk of a long file says "unpacking") is not
  // painted again; the bar moves on when its time has come.
  if (state.status && (state.showingPath || text != state.shownText)) {
    ::SetWindowTextA(state.status, text.c_str());
    state.shownText = text;
    state.showingPath = false;
  }
  UpdateDisplayWhenDue(state);
  tl::PumpWindowMessages();
}

void SetStatusPath(const std::string& path) {
  ProgressState& state = State();
  if (state.status) {
    state.waitingPath = tl::ToWide(path);
    state.pathWaiting = true;
    UpdateDisplayWhenDue(state);
  }
  tl::PumpWindowMessages();
}

void MarkStatusTime() {
  State().markedTick = ::GetTickCount();
  State().marked = true;
}

void WaitStatusTime(unsigned ms) {
  ProgressState& state = State();
  UpdateDisplay(state);
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
