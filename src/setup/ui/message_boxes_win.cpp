#include "setup/ui/message_boxes_win.h"

#include <algorithm>
#include <vector>

#include "setup/run/run_control_win.h"
#include "setup/ui/button_pictures_win.h"
#include "setup/ui/page_ids.h"
#include "setup/strings/string_table.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

struct ButtonLabel {
  int id;
  int stringNumber;  // kNoLabel: the box's own text stays
  int picture;
};
constexpr int kNoLabel = -1;
constexpr ButtonLabel kButtonLabels[] = {
    {IDOK, kNoLabel, IDB_OK_BUTTON},
    {IDYES, kStringYesButton, IDB_OK_BUTTON},
    {IDNO, kStringNoButton, IDB_CANCEL_BUTTON},
    {IDCANCEL, kStringCancelButton, IDB_CANCEL_BUTTON},
    {IDRETRY, kStringRetryButton, IDB_NEXT_BUTTON},
};

HHOOK g_relabelHook = nullptr;
// The pictures of the box being shown, while it is shown.
ButtonPictures* g_boxPictures = nullptr;

Interaction& RunInteraction() {
  static Interaction interaction;
  return interaction;
}

std::string ButtonText(HWND button) {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(button)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(button, text.data(), static_cast<int>(text.size()))));
  return text;
}

struct PlacedButton {
  HWND button;
  RECT rect;  // in the box's client coordinates
};

// Widens the buttons to fit text and picture, and centres their row again
// (widening the box when the row no longer fits).
void LayOutButtonRow(HWND box, std::vector<PlacedButton>& row) {
  if (row.empty()) return;
  std::sort(row.begin(), row.end(), [](const PlacedButton& a, const PlacedButton& b) { return a.rect.left < b.rect.left; });
  const int gap = row.size() > 1 ? std::max<int>(row[1].rect.left - row[0].rect.right, 4) : 0;
  int total = 0;
  std::vector<int> widths;
  for (const PlacedButton& placed : row) {
    widths.push_back(std::max<int>(placed.rect.right - placed.rect.left, ButtonWidthWithPicture(placed.button)));
    total += widths.back();
  }
  total += gap * static_cast<int>(row.size() - 1);
  RECT client;
  ::GetClientRect(box, &client);
  const int margin = std::max<int>(row.front().rect.left - (client.right - row.back().rect.right), 0) / 2 + 8;
  if (total + 2 * margin > client.right) {
    RECT window;
    ::GetWindowRect(box, &window);
    const int grow = total + 2 * margin - client.right;
    ::SetWindowPos(box, nullptr, window.left - grow / 2, window.top, window.right - window.left + grow,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
    client.right += grow;
  }
  int x = (client.right - total) / 2;
  for (size_t i = 0; i < row.size(); ++i) {
    const RECT& r = row[i].rect;
    ::SetWindowPos(row[i].button, nullptr, x, r.top, widths[i], r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    x += widths[i] + gap;
  }
}

void RelabelButtons(HWND box) {
  const bool pictures = CurrentInteraction().buttonPictures && g_boxPictures;
  std::vector<PlacedButton> row;
  for (const ButtonLabel& label : kButtonLabels) {
    HWND button = ::GetDlgItem(box, label.id);
    if (!button) continue;
    const std::string& text = label.stringNumber == kNoLabel ? ButtonText(button) : LocalizedString(label.stringNumber);
    std::string shown = text.empty() ? ButtonText(button) : text;
    if (pictures) shown.insert(shown.begin(), ' ');
    ::SetWindowTextA(button, shown.c_str());
    if (!pictures || !g_boxPictures->Give(button, label.picture)) continue;
    PlacedButton placed{button, {}};
    ::GetWindowRect(button, &placed.rect);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&placed.rect), 2);
    row.push_back(placed);
  }
  LayOutButtonRow(box, row);
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
  ButtonPictures pictures;
  ButtonPictures* outer = g_boxPictures;
  g_boxPictures = &pictures;
  if (!g_relabelHook)
    g_relabelHook = ::SetWindowsHookExA(WH_CBT, &RelabelOnActivate, nullptr, ::GetCurrentThreadId());
  int pressed = ::MessageBoxA(CurrentTopWindow(), text.c_str(), caption.c_str(), style);
  if (g_relabelHook) {
    ::UnhookWindowsHookEx(g_relabelHook);
    g_relabelHook = nullptr;
  }
  g_boxPictures = outer;
  return pressed;
}

bool AskYesNo(const std::string& text, const std::string& caption) {
  return ShowRunMessageBox(text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskOkCancel(const std::string& text, const std::string& caption) {
  return ShowRunMessageBox(text, caption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

Interaction InteractionOf(const RunState& run) {
  return {run.automaticMode, run.options.uninstallMode, run.product.Flag(kFlagErrorBoxesInAutomaticMode),
          run.product.Flag2(kFlag2ButtonPictures)};
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
  RunCancelReport();
  UndoCreatedItems();
  ExitInstaller(1);
}

}  // namespace setup
