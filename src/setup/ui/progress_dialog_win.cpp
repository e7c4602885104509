#include "setup/ui/progress_dialog_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/background_rules.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/progress_win.h"
#include "setup/ui/wizard_page_win.h"
#include "tl_core/process_win.h"

namespace setup {
namespace {

// The area the dialog is placed in: the work area, or the whole screen
// behind a maximized background window.
PixelRect PlacementArea(bool wholeScreen) {
  RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (!wholeScreen) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left, area.top, area.right, area.bottom};
}

class ProgressHandler : public PageHandler {
 public:
  ProgressHandler(bool cancelAllowed, uint32_t placement, bool wholeScreen)
      : cancelAllowed_(cancelAllowed), placement_(placement), wholeScreen_(wholeScreen) {}

  void Init(HWND page) override {
    RECT rect;
    ::GetWindowRect(page, &rect);
    const PixelRect placed =
        PlaceProgressDialog(placement_, PlacementArea(wholeScreen_), {rect.left, rect.top, rect.right, rect.bottom});
    ::SetWindowPos(page, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendDlgItemMessageW(page, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::EnableWindow(::GetDlgItem(page, IDC_CANCEL_PAGE), cancelAllowed_ ? TRUE : FALSE);
  }

  bool Cancel(HWND page) override {
    if (!cancelAllowed_ || !::IsWindowEnabled(::GetDlgItem(page, IDC_CANCEL_PAGE))) return false;
    if (AskYesNo(LocalizedString(kStringCancelQuestion), LocalizedString(kStringQuestionCaption)))
      CancelInstallation();
    return false;  // the dialog stays until the run closes it
  }

  bool RefusesEndSession() const override { return true; }

 private:
  bool cancelAllowed_;
  uint32_t placement_;
  bool wholeScreen_;
};

// What the open dialog refers to; it lives as long as the dialog.
struct OpenDialog {
  PageLook look;
  PageTexts texts;
  std::unique_ptr<ProgressHandler> handler;
};

std::unique_ptr<OpenDialog>& Opened() {
  static std::unique_ptr<OpenDialog> opened;
  return opened;
}

PageTexts ProgressTexts(bool uninstalling) {
  PageTexts texts;
  texts.mainText = uninstalling ? kStringUninstallProgressHeading : kStringProgressHeading;
  texts.headerTitle = uninstalling ? kStringUninstallCaption : kStringInstallingStatus;
  texts.headerLayoutCaption = uninstalling ? kStringUninstallCaption : kStringWizardCaption;
  texts.cancel = kStringCancelButton;
  return texts;
}

}  // namespace

void OpenProgressDialog(const RunState& run, const std::optional<std::string>& headerFirstLine) {
  if (!run.product.Flag(kFlagCloseProgressAtEnd) || !run.showsWindows || ProgressDialog()) return;
  const bool uninstalling = run.options.uninstallMode;
  const PageLayout layout = LayoutOfStyle(run.product.stream.WizardBlock[kWizardProgressStyle]);
  auto opened = std::make_unique<OpenDialog>();
  opened->look = PageLookOf(run, layout);
  if (headerFirstLine) opened->look.headerFirstLine = *headerFirstLine;
  opened->texts = ProgressTexts(uninstalling);
  const bool cancelAllowed = !uninstalling && !run.product.Flag(kFlagNoCancelDuringInstall);
  opened->handler = std::make_unique<ProgressHandler>(cancelAllowed, run.product.stream.DialogStyleValue,
                                                      run.product.Flag(kFlagMaximizedBackground));
  HWND dialog = OpenModelessPage(PageTemplateName(WizardPage::kProgress, layout), opened->look, opened->texts,
                                 *opened->handler);
  // Without its dialog the run goes on; the progress calls then only pump.
  if (!dialog) return;
  Opened() = std::move(opened);
  AttachProgressDialog(dialog);
  tl::SetPumpedDialog(dialog);
  tl::PumpWindowMessages();
}

void DisableProgressCancel() {
  if (HWND dialog = ProgressDialog()) ::EnableWindow(::GetDlgItem(dialog, IDC_CANCEL_PAGE), FALSE);
}

void CloseProgressDialog() {
  HWND dialog = DetachProgressDialog();
  if (!dialog) return;
  tl::SetPumpedDialog(nullptr);
  ::DestroyWindow(dialog);
  Opened().reset();
  tl::PumpWindowMessages();
}

}  // namespace setup
