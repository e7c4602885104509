#include "setup/run/run_control_win.h"

#include <ole2.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>
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
  std::vector<std::string> createdFolders;  // outermost first within each creation
  std::vector<std::string> createdFiles;
  std::vector<std::string> replacedFiles;
  std::function<void()> cancelReport;
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

void RememberCreatedFile(const std::string& path) { Control().createdFiles.push_back(path); }
void RememberReplacedFile(const std::string& path) { Control().replacedFiles.push_back(path); }
const std::vector<std::string>& ReplacedFiles() { return Control().replacedFiles; }

void UndoCreatedItems() {
  RunControl& control = Control();
  for (auto file = control.createdFiles.rbegin(); file != control.createdFiles.rend(); ++file) {
    const std::wstring path = tl::ToWide(*file);
    // A file made read-only by its record's attributes must go as well.
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
  }
  control.createdFiles.clear();
  RemoveFoldersIfEmpty(control.createdFolders);
  control.createdFolders.clear();
}

void SetCancelReport(std::function<void()> report) { Control().cancelReport = std::move(report); }

void RunCancelReport() {
  if (std::function<void()> report = std::exchange(Control().cancelReport, nullptr)) report();
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
