#include "tl_core/process_win.h"

#include <windows.h>

#include <vector>

#include "tl_core/scoped_handle_win.h"
#include "tl_core/wide_text_win.h"

namespace tl {
namespace {

// Waits for the process; with message pumping the windows of this thread
// stay alive meanwhile. Once WM_QUIT was seen the rest is a plain wait.
void WaitForEnd(HANDLE process, bool pumpMessages) {
  if (!pumpMessages) {
    ::WaitForSingleObject(process, INFINITE);
    return;
  }
  bool pumping = true;
  while (::WaitForSingleObject(process, kRunPumpSliceMs) == WAIT_TIMEOUT) {
    if (pumping) pumping = PumpWindowMessages();
  }
}

uint32_t ExitCodeOf(HANDLE process) {
  DWORD code = 0;
  if (!::GetExitCodeProcess(process, &code) || code == STILL_ACTIVE) return kRunNotWaited;
  return code;
}

}  // namespace

uint32_t RunProcess(const std::string& commandLine, uint32_t flags, const std::string& workingDirectory) {
  // The wide call takes the same ANSI texts and also "|" UTF-8 folders.
  std::wstring command = ToWide(commandLine);
  std::vector<wchar_t> mutableCommand(command.begin(), command.end());
  mutableCommand.push_back(L'\0');
  const std::wstring folder = ToWide(workingDirectory);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (flags & kRunHidden) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, FALSE,
                        (flags & kRunNewConsole) ? CREATE_NEW_CONSOLE : 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return kRunStartFailed;  // the last error is still CreateProcess's
  }
  ScopedHandle process(info.hProcess);
  ScopedHandle thread(info.hThread);
  if (!(flags & kRunWait)) return kRunNotWaited;
  WaitForEnd(process.Get(), (flags & kRunPumpMessages) != 0);
  return ExitCodeOf(process.Get());
}

namespace {
HWND g_pumpedDialog = nullptr;  // the main thread's modeless dialog
}  // namespace

void SetPumpedDialog(HWND dialog) { g_pumpedDialog = dialog; }

bool PumpWindowMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (g_pumpedDialog && ::IsDialogMessageA(g_pumpedDialog, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace tl
