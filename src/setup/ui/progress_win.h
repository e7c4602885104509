#pragma once
// The calls that drive the progress display. Each one pumps the pending
// window messages, so the run's windows stay alive during long work; while
// no progress dialog exists that is all they do.
#include <windows.h>

#include <string>

namespace setup {

// The progress dialog the calls write to (its bar 1007 and status line
// 1011); Detach forgets it and returns it.
void AttachProgressDialog(HWND dialog);
HWND DetachProgressDialog();
HWND ProgressDialog();

void SetProgress(int percent);
void SetStatusText(const std::string& text);
// A file path, possibly in the UTF-8 "|" form, shown as wide text.
void SetStatusPath(const std::string& path);
// Remembers now as the start of a step with a minimum display time.
void MarkStatusTime();
// Unless automatic: waits until `ms` have passed since the mark, pumping
// messages every 50 ms; ends early on a quit message. Without a mark it
// only sets one.
void WaitStatusTime(unsigned ms);

}  // namespace setup
