#include <algorithm>

#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/wizard_page_win.h"
#include "setup/ui/wizard_pages_win.h"

namespace setup {
namespace {

std::string UserNativeLanguageName() {
  char name[128] = {};
  int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNATIVELANGNAME, name, sizeof name);
  return n > 0 ? std::string(name) : std::string();
}

class LanguagePage : public PageHandler {
 public:
  void Init(HWND page) override {
    list_ = ::GetDlgItem(page, IDC_LANGUAGE_LIST);
    const std::vector<std::string>& languages = RunStrings().languages();
    for (const std::string& name : languages) ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Select(page, PreselectedLanguage(languages, UserNativeLanguageName()));
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(RunStrings().currentLanguage()), 0);
    ::SetFocus(list_);
  }

  bool Next(HWND page) override {
    Select(page, SelectedIndex());
    return true;
  }

  void Command(HWND page, int id, int notification) override {
    if (id != IDC_LANGUAGE_LIST) return;
    if (notification == LBN_SELCHANGE) Select(page, SelectedIndex());
    if (notification == LBN_DBLCLK) {
      Select(page, SelectedIndex());
      ::EndDialog(page, IDC_NEXT);
    }
  }

 private:
  int SelectedIndex() const { return static_cast<int>(::SendMessageW(list_, LB_GETCURSEL, 0, 0)); }

  // The selection becomes the current language, and the page speaks it.
  static void Select(HWND page, int index) {
    const int last = RunStrings().languageCount() - 1;
    RunStrings().SetCurrentLanguage(std::clamp(index, 0, std::max(last, 0)));
    ApplyPageTexts(page);
  }

  HWND list_ = nullptr;
};

}  // namespace

bool ShowLanguagePage(const RunState& run) {
  const PageLayout layout = PageLayoutOf(run, kWizardLanguageStyle) == PageLayout::kSidePicture
                                ? PageLayout::kSidePicture
                                : PageLayout::kHeader;
  PageTexts texts;
  texts.headerTitle = kStringLanguageTitle;
  texts.mainText = kStringLanguagePageText;
  texts.next = kStringNextButton;
  texts.cancel = kStringCancelButton;
  LanguagePage handler;
  return RunPage(PageTemplateName(WizardPage::kLanguage, layout), PageLookOf(run, layout), texts, handler) ==
         IDC_NEXT;
}

}  // namespace setup
