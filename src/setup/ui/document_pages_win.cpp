#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/wizard_page_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

std::wstring FromCodePage(std::string_view text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::u16string AsU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

WidePlaceholderValues WidePlaceholders() {
  const PlaceholderValues& values = RunPlaceholders();
  return {AsU16(FromCodePage(values.product)), AsU16(FromCodePage(values.description)),
          AsU16(FromCodePage(values.os))};
}

// A text box shows line breaks only as CR LF; documents often hold bare LFs.
std::wstring WithCarriageReturns(const std::u16string& text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += L'\r';
    out += static_cast<wchar_t>(text[i]);
  }
  return out;
}

// The document as the page shows it: decoded by its mark, placeholders replaced.
std::wstring DocumentText(std::span<const uint8_t> bytes) {
  std::u16string text;
  switch (DocumentEncodingOf(bytes)) {
    case DocumentEncoding::kUtf16LittleEndian:
    case DocumentEncoding::kUtf16BigEndian:
      text = ReplacePlaceholders(Utf16DocumentBody(bytes), WidePlaceholders());
      break;
    case DocumentEncoding::kUtf8:
      text = ReplacePlaceholders(Utf8DocumentBody(bytes), WidePlaceholders());
      break;
    case DocumentEncoding::kCodePage: {
      std::string replaced =
          WithRunPlaceholders(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      text = AsU16(FromCodePage(replaced));
      break;
    }
  }
  return WithCarriageReturns(text);
}

class DocumentPage : public PageHandler {
 public:
  explicit DocumentPage(std::wstring text) : text_(std::move(text)) {}
  void Init(HWND page) override {
    HWND box = ::GetDlgItem(page, IDC_READ_ONLY_TEXT);
    ::SetWindowTextW(box, text_.c_str());
    ::SendMessageW(box, EM_SETSEL, 0, 0);
    ::SetFocus(::GetDlgItem(page, IDC_NEXT));
  }

 private:
  std::wstring text_;
};

class GreetingPage : public PageHandler {
 public:
  void Init(HWND page) override { ::SetFocus(::GetDlgItem(page, IDC_NEXT)); }
};

}  // namespace

PageLayout PageLayoutOf(const RunState& run, int wizardBlockIndex) {
  return LayoutOfStyle(run.product.stream.WizardBlock[static_cast<size_t>(wizardBlockIndex)]);
}

bool ShowGreetingPage(const RunState& run, PageLayout layout) {
  PageTexts texts;
  const bool header = layout == PageLayout::kHeader;
  texts.headerTitle = header ? kStringGreetingTitle : kStringWizardCaption;
  texts.mainText = kStringGreeting;
  texts.mainTextPrefix = header ? "\r\n\r\n" : "";
  texts.next = kStringNextButton;
  texts.cancel = kStringCancelButton;
  GreetingPage handler;
  return RunPage(PageTemplateName(WizardPage::kGreeting, layout), PageLookOf(run, layout), texts, handler) ==
         IDC_NEXT;
}

bool ShowDocumentPage(const RunState& run, DocumentKind kind, std::span<const uint8_t> text) {
  const bool license = kind == DocumentKind::kLicense;
  const PageLayout layout = PageLayoutOf(run, license ? kWizardLicenseStyle : kWizardReadmeStyle);
  PageTexts texts;
  texts.headerTitle = kStringLicenseTitle;
  texts.mainText = kStringDocumentPageText;
  texts.next = kStringAgreeButton;
  texts.cancel = kStringDeclineButton;
  DocumentPage handler(DocumentText(text));
  const WizardPage page = license ? WizardPage::kLicense : WizardPage::kReadme;
  return RunPage(PageTemplateName(page, layout), PageLookOf(run, layout), texts, handler) == IDC_NEXT;
}

}  // namespace setup
