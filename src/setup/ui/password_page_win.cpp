#include "setup/payload/settings_stream.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/wizard_page_win.h"
#include "setup/ui/wizard_pages_win.h"

namespace setup {
namespace {

constexpr int kPasswordLimit = kMaxPasswordLength;
constexpr DWORD kMismatchPauseMs = 500;

// The typed text in the interface code page, as the password is stored.
std::string TypedPassword(HWND page) {
  char typed[kPasswordLimit + 1] = {};
  int n = ::GetDlgItemTextA(page, IDC_PASSWORD_EDIT, typed, sizeof typed);
  return std::string(typed, n > 0 ? static_cast<size_t>(n) : 0);
}

class PasswordPage : public PageHandler {
 public:
  explicit PasswordPage(const std::string& password) : password_(password) {}

  void Init(HWND page) override {
    HWND edit = ::GetDlgItem(page, IDC_PASSWORD_EDIT);
    ::SendMessageW(edit, EM_LIMITTEXT, kPasswordLimit, 0);
    ::SetFocus(edit);
  }

  bool Next(HWND page) override {
    if (PasswordMatches(TypedPassword(page), password_)) return true;
    // A pause makes guessing slow.
    ::Sleep(kMismatchPauseMs);
    const std::string& caption = LocalizedString(kStringErrorCaption);
    ShowRunMessageBox(LocalizedString(kStringWrongPassword), caption.empty() ? "Error" : caption,
                      MB_OK | MB_ICONERROR);
    ::SetDlgItemTextA(page, IDC_PASSWORD_EDIT, "");
    ::SetFocus(::GetDlgItem(page, IDC_PASSWORD_EDIT));
    return false;
  }

 private:
  const std::string& password_;
};

}  // namespace

bool ShowPasswordPage(const RunState& run, const std::string& password) {
  PageTexts texts;
  texts.headerTitle = kStringPasswordCaption;
  texts.mainText = kStringPasswordText;
  texts.fixedNext = "OK";
  texts.cancel = kStringCancelButton;
  PasswordPage handler(password);
  return RunPage("EnterPassword", PageLookOf(run, PageLayout::kPlain), texts, handler) == IDC_NEXT;
}

bool ShowMustUninstallPage(const RunState& run) {
  PageTexts texts;
  texts.headerTitle = kStringErrorCaption;
  texts.mainText = kStringMustUninstall;
  texts.next = kStringUninstallButton;
  texts.cancel = kStringCancelButton;
  PageHandler handler;
  return RunPage("MustUninstall", PageLookOf(run, PageLayout::kPlain), texts, handler) == IDC_NEXT;
}

}  // namespace setup
