#include "setup/ui/message_boxes_win.h"

#include "setup/run/run_control_win.h"
#include "setup/strings/string_table.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

struct ButtonLabel {
  int id;
  int stringNumber;
};
constexpr ButtonLabel kButtonLabels[] = {
    {IDYES, kStringYesButton}, {IDNO, kStringNoButton}, {IDCANCEL, kStringCancelButton}, {IDRETRY, kStringRetryButton}};

HHOOK g_relabelHook = nullptr;

Interaction& RunInteraction() {
  static Interaction interaction;
  return interaction;
}

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

Interaction InteractionOf(const RunState& run) {
  return {run.automaticMode, run.options.uninstallMode, run.product.Flag(kFlagErrorBoxesInAutomaticMode)};
}

void SetInteraction(const Interaction& interaction) { RunInteraction() = interaction; }
const Interaction& CurrentInteraction() { return RunInteraction(); }

void ShowError(const std::string& text) {
  const Interaction& run = CurrentInteraction();
  if (text.empty()) return;
  if (run.automatic && !run.errorBoxesWhenAutomatic) return;
  const std::string& caption = LocalizedString(kStringErrorCaption);
  ShowRunMessageBox(text, caption.empty() ? "Error" : caption, MB_OK | MB_ICONERROR);
}

void ShowStopMessage(const std::string& text) {
  ShowRunMessageBox(text, LocalizedString(kStringSetupTitle), MB_OK | MB_ICONEXCLAMATION);
}

void CancelInstallation() {
  const Interaction& run = CurrentInteraction();
  if (!run.automatic) {
    const bool uninstalling = run.uninstalling;
    ShowRunMessageBox(LocalizedString(uninstalling ? kStringUninstallCancelled : kStringInstallCancelled),
                      LocalizedString(uninstalling ? kStringUninstallCaption : kStringWizardCaption),
                      MB_OK | MB_ICONWARNING);
  }
  RemoveCreatedFoldersIfEmpty();
  ExitInstaller(1);
}

}  // namespace setup
