#include "setup/ui/program_closing_win.h"

#include <windows.h>

#include <string>

#include "setup/strings/string_arguments.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/program_closing.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

struct ClosingPass {
  const std::vector<CloseRecord>* entries;
  int captionNumber;
};

std::string WindowClass(HWND window) {
  char name[256] = {};
  int length = ::GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string WindowTitle(HWND window) {
  std::string title(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
  int length = ::GetWindowTextA(window, title.data(), static_cast<int>(title.size()));
  title.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return title;
}

bool BelongsToThisProcess(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

void AskUntilClosed(HWND window, const CloseRecord& entry, int captionNumber) {
  while (::IsWindow(window)) {
    int answer = ShowRunMessageBox(LocalizedFormat(kStringProgramRunning, {entry.applicationName}),
                                   LocalizedString(captionNumber), MB_RETRYCANCEL | MB_ICONWARNING);
    if (answer == IDCANCEL) CancelInstallation();
  }
}

void Act(HWND window, const CloseRecord& entry, int captionNumber) {
  switch (entry.action) {
    case kPostClose:
      ::PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case kPostQuit:
      ::PostMessageA(window, WM_QUIT, 0, 0);
      break;
    case kAskUntilClosed:
      AskUntilClosed(window, entry, captionNumber);
      break;
    default:
      break;
  }
}

BOOL CALLBACK TestWindow(HWND window, LPARAM context) {
  const ClosingPass& pass = *reinterpret_cast<const ClosingPass*>(context);
  if (BelongsToThisProcess(window)) return TRUE;
  const std::string windowClass = WindowClass(window);
  const std::string title = WindowTitle(window);
  for (const CloseRecord& entry : *pass.entries) {
    if (!CloseRecordMatches(entry, windowClass, title)) continue;
    Act(window, entry, pass.captionNumber);
    break;
  }
  return TRUE;
}

}  // namespace

void ClosePrograms(const std::vector<CloseRecord>& entries, int captionNumber) {
  if (entries.empty()) return;
  ClosingPass pass{&entries, captionNumber};
  ::EnumWindows(&TestWindow, reinterpret_cast<LPARAM>(&pass));
}

}  // namespace setup
