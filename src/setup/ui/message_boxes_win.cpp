#include "setup/ui/message_boxes_win.h"

#include "setup/run/install_settings.h"
#include "setup/run/run_control_win.h"
#include "setup/strings/string_table.h"

namespace setup {
namespace {

constexpr int kFlagErrorBoxesInAutomaticMode = 35;

struct ButtonLabel {
  int id;
  int stringNumber;
};
constexpr ButtonLabel kButtonLabels[] = {{IDYES, 79}, {IDNO, 80}, {IDCANCEL, 49}, {IDRETRY, 100}};

HHOOK g_relabelHook = nullptr;

void RelabelButtons(HWND box) {
  for (const ButtonLabel& label : kButtonLabels) {
    const std::string& text = LocalizedString(label.stringNumber);
    HWND button = ::GetDlgItem(box, label.id);
    if (button && !text.empty()) ::SetWindowTextA(button, text.c_str());
  }
}

// Catches the box as it is activated, once.
LRESULT CALLBACK RelabelOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = g_relabelHook;
  if (code == HCBT_ACTIVATE) {
    RelabelButtons(reinterpret_cast<HWND>(wParam));
    ::UnhookWindowsHookEx(hook);
    g_relabelHook = nullptr;
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

HWND CurrentTopWindow() {
  if (HWND active = ::GetActiveWindow()) return active;
  return BackgroundWindow();
}

int ShowRunMessageBox(const std::string& text, const std::string& caption, UINT style) {
  if (!g_relabelHook)
    g_relabelHook = ::SetWindowsHookExA(WH_CBT, &RelabelOnActivate, nullptr, ::GetCurrentThreadId());
  int pressed = ::MessageBoxA(CurrentTopWindow(), text.c_str(), caption.c_str(), style);
  if (g_relabelHook) {
    ::UnhookWindowsHookEx(g_relabelHook);
    g_relabelHook = nullptr;
  }
  return pressed;
}

bool AskYesNo(const std::string& text, const std::string& caption) {
  return ShowRunMessageBox(text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskOkCancel(const std::string& text, const std::string& caption) {
  return ShowRunMessageBox(text, caption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void ShowError(const std::string& text) {
  const InstallSettings& run = Settings();
  if (text.empty()) return;
  if (run.automaticMode && !run.stream.Flag(kFlagErrorBoxesInAutomaticMode)) return;
  const std::string& caption = LocalizedString(21);
  ShowRunMessageBox(text, caption.empty() ? "Error" : caption, MB_OK | MB_ICONERROR);
}

void ShowStopMessage(const std::string& text) {
  ShowRunMessageBox(text, LocalizedString(0), MB_OK | MB_ICONEXCLAMATION);
}

void CancelInstallation() {
  const InstallSettings& run = Settings();
  if (!run.automaticMode) {
    const bool uninstalling = run.uninstallMode;
    ShowRunMessageBox(LocalizedString(uninstalling ? 101 : 98), LocalizedString(uninstalling ? 55 : 65),
                      MB_OK | MB_ICONWARNING);
  }
  ExitInstaller(1);
}

}  // namespace setup
