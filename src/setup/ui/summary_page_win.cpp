#include "setup/strings/string_numbers.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/wizard_page_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "setup/strings/string_table.h"

namespace setup {
namespace {

struct SummaryBox {
  int id;
  int text;
  bool FinishOffers::*offered;
  bool FinishChoices::*chosen;
};

// In the order the page stacks them, which is their tab order.
constexpr SummaryBox kSummaryBoxes[] = {
    {IDC_OPEN_FILE1_BOX, kStringOpenFinishFile1Box, &FinishOffers::openFinishFile1, &FinishChoices::openFinishFile1},
    {IDC_LAUNCH_APP_BOX, kStringLaunchFinishAppBox, &FinishOffers::launchFinishApp, &FinishChoices::launchFinishApp},
    {IDC_SHOW_LOG_BOX, kStringShowLogBox, &FinishOffers::showInstallLog, &FinishChoices::showInstallLog},
    {IDC_OPEN_FILE2_BOX, kStringOpenFinishFile2Box, &FinishOffers::openFinishFile2, &FinishChoices::openFinishFile2},
};

class SummaryPage : public PageHandler {
 public:
  SummaryPage(const FinishOffers& offers, PageLayout layout) : offers_(offers), layout_(layout) {}

  void Init(HWND page) override {
    int shown = 0;
    for (const SummaryBox& box : kSummaryBoxes) shown += offers_.*box.offered ? 1 : 0;
    const std::vector<DialogRect> places = SummaryBoxRects(layout_, shown);
    size_t next = 0;
    for (const SummaryBox& box : kSummaryBoxes) {
      HWND control = ::GetDlgItem(page, box.id);
      if (!control) continue;
      if (!(offers_.*box.offered)) {
        ::SendMessageW(control, BM_SETCHECK, BST_UNCHECKED, 0);
        ::ShowWindow(control, SW_HIDE);
        continue;
      }
      const DialogRect& place = places[next++];
      RECT r = {place.x, place.y, place.x + place.width, place.y + place.height};
      ::MapDialogRect(page, &r);
      ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      ::SetWindowTextA(control, LocalizedString(box.text).c_str());
      ::ShowWindow(control, SW_SHOW);
    }
    ::SetFocus(::GetDlgItem(page, IDC_NEXT));
  }

  bool Next(HWND page) override {
    for (const SummaryBox& box : kSummaryBoxes)
      chosen_.*box.chosen = offers_.*box.offered && ::IsDlgButtonChecked(page, box.id) == BST_CHECKED;
    return true;
  }

  const FinishChoices& chosen() const { return chosen_; }

 private:
  const FinishOffers& offers_;
  PageLayout layout_;
  FinishChoices chosen_;
};

}  // namespace

FinishChoices ShowSummaryPage(const RunState& run, const FinishOffers& offers) {
  const PageLayout layout = PageLayoutOf(run, kWizardSummaryStyle);
  PageTexts texts;
  texts.headerTitle = kStringCompletedCaption;
  texts.mainText = kStringCompleted;
  texts.next = kStringFinishButton;
  SummaryPage handler(offers, layout);
  if (RunPage(PageTemplateName(WizardPage::kSummary, layout), PageLookOf(run, layout), texts, handler) != IDC_NEXT)
    return {};
  return handler.chosen();
}

}  // namespace setup
