#include "setup/run/run_control_win.h"

#include <ole2.h>

#include <atomic>
#include <string>
#include <vector>

#include "setup/strings/string_table.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/fatal.h"
#include "tl_core/scoped_handle_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

struct RunControl {
  HWND backgroundWindow = nullptr;
  std::vector<std::string> createdFolders;  // outermost first
  tl::ScopedHandle workerThread;
  std::atomic<bool> stopping{false};
};

RunControl& Control() {
  static RunControl control;
  return control;
}

void PumpPendingMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void ShowRunFatal(const char* text) {
  const std::string& title = LocalizedString(kStringErrorCaption);
  HWND owner = Control().backgroundWindow;
  ::MessageBoxA(owner, text, title.empty() ? "Error" : title.c_str(), MB_OK | MB_ICONERROR);
  ExitInstaller(1);
}

}  // namespace

void SetBackgroundWindow(HWND window) { Control().backgroundWindow = window; }
HWND BackgroundWindow() { return Control().backgroundWindow; }

void RememberCreatedFolders(const std::vector<std::string>& folders) {
  std::vector<std::string>& created = Control().createdFolders;
  created.insert(created.end(), folders.begin(), folders.end());
}

void RemoveFoldersIfEmpty(const std::vector<std::string>& outermostFirst) {
  // Deepest first: a parent can only go once its child has gone.
  for (auto folder = outermostFirst.rbegin(); folder != outermostFirst.rend(); ++folder)
    ::RemoveDirectoryW(tl::ToWide(*folder).c_str());
}

void RemoveCreatedFoldersIfEmpty() {
  RemoveFoldersIfEmpty(Control().createdFolders);
  Control().createdFolders.clear();
}
void SetRunWorkerThread(HANDLE thread) { Control().workerThread.Reset(thread); }
bool BackgroundWorkStopped() { return Control().stopping.load(); }

void ExitInstaller(int exitCode) {
  RunControl& control = Control();
  if (HWND window = control.backgroundWindow) {
    ::ShowWindow(window, SW_HIDE);
    ::DestroyWindow(window);
    control.backgroundWindow = nullptr;
  }
  PumpPendingMessages();
  control.stopping = true;
  if (control.workerThread) {
    ::WaitForSingleObject(control.workerThread.Get(), INFINITE);
    control.workerThread.Reset();
  }
  ::OleUninitialize();
  ::ExitProcess(static_cast<UINT>(exitCode));
}

void InstallRunFatalCallback() { tl::SetFatalCallback(&ShowRunFatal); }

}  // namespace setup
