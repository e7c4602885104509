#include "setup/ui/page_rules.h"

#include <initializer_list>

#include "tl_core/text.h"

namespace setup {
namespace {

const char* PageName(WizardPage page) {
  switch (page) {
    case WizardPage::kLanguage:
      return "Language";
    case WizardPage::kGreeting:
      return "Greeting";
    case WizardPage::kLicense:
      return "License";
    case WizardPage::kReadme:
      return "Readme";
    case WizardPage::kFolder:
      return "ChooseDir";
    case WizardPage::kStartMenu:
      return "StartMenu";
    case WizardPage::kSummary:
      return "Summary";
    case WizardPage::kProgress:
      return "Progress";
  }
  return "";
}

constexpr int kSummaryBoxCount = 4;
constexpr int kSummaryBoxStep = 14;
constexpr int kSummaryBoxWidth = 275;
constexpr int kSummaryBoxHeight = 9;

constexpr char16_t kReplacement = u'\uFFFD';

bool StartsWith(std::span<const uint8_t> text, std::initializer_list<uint8_t> mark) {
  if (text.size() < mark.size()) return false;
  size_t i = 0;
  for (uint8_t b : mark)
    if (text[i++] != b) return false;
  return true;
}

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
    return;
  }
  cp -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// The number of bytes after a lead byte and the range the first of them must
// lie in, which shuts out overlong forms, surrogates and values past
// U+10FFFF; 0 trailing bytes for a byte that cannot lead.
struct LeadByte {
  int trailing = 0;
  uint8_t low = 0x80, high = 0xBF;
};

LeadByte LeadOf(uint8_t b) {
  if (b >= 0xC2 && b <= 0xDF) return {1};
  if (b == 0xE0) return {2, 0xA0, 0xBF};
  if (b == 0xED) return {2, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {2};
  if (b == 0xF0) return {3, 0x90, 0xBF};
  if (b == 0xF4) return {3, 0x80, 0x8F};
  if (b >= 0xF1 && b <= 0xF3) return {3};
  return {};
}

// The language name without its "(...)" part and the blanks before it.
std::string_view BaseLanguageName(std::string_view name) {
  size_t paren = name.find('(');
  if (paren != std::string_view::npos) name = name.substr(0, paren);
  return tl::TrimTrailingBlanks(name);
}

int FirstStartingWith(const std::vector<std::string>& languages, std::string_view prefix) {
  if (prefix.empty()) return -1;
  for (size_t i = 0; i < languages.size(); ++i)
    if (tl::StartsWithNoCase(languages[i], prefix)) return static_cast<int>(i);
  return -1;
}

}  // namespace

PageLayout LayoutOfStyle(uint32_t style) {
  if (style == kStylePlain) return PageLayout::kPlain;
  if (style == kStyleSidePicture) return PageLayout::kSidePicture;
  return PageLayout::kHeader;
}

std::string PageTemplateName(WizardPage page, PageLayout layout) {
  std::string name = std::string(PageName(page)) + "Dlg";
  switch (layout) {
    case PageLayout::kSidePicture:
      return name;
    case PageLayout::kHeader:
      return name + "3";
    case PageLayout::kPlain:
      break;
  }
  if (page == WizardPage::kLanguage || page == WizardPage::kGreeting) return name + "3";
  return name + "2";
}

std::vector<DialogRect> SummaryBoxRects(PageLayout layout, int shown) {
  if (shown <= 0) return {};
  if (shown > kSummaryBoxCount) shown = kSummaryBoxCount;
  DialogRect first;
  switch (layout) {
    case PageLayout::kPlain:
      first = {4, 32 + ((kSummaryBoxCount - shown) * kSummaryBoxStep) / 2};
      break;
    case PageLayout::kSidePicture:
      first = {102, 52};
      break;
    case PageLayout::kHeader:
      first = {20, 78};
      break;
  }
  std::vector<DialogRect> rects;
  for (int i = 0; i < shown; ++i)
    rects.push_back({first.x, first.y + i * kSummaryBoxStep, kSummaryBoxWidth, kSummaryBoxHeight});
  return rects;
}

DocumentEncoding DocumentEncodingOf(std::span<const uint8_t> text) {
  if (StartsWith(text, {0xFF, 0xFE})) return DocumentEncoding::kUtf16LittleEndian;
  if (StartsWith(text, {0xFE, 0xFF})) return DocumentEncoding::kUtf16BigEndian;
  if (StartsWith(text, {0xEF, 0xBB, 0xBF})) return DocumentEncoding::kUtf8;
  return DocumentEncoding::kCodePage;
}

std::u16string Utf16DocumentBody(std::span<const uint8_t> text) {
  const bool bigEndian = DocumentEncodingOf(text) == DocumentEncoding::kUtf16BigEndian;
  if (StartsWith(text, {0xFF, 0xFE}) || bigEndian) text = text.subspan(2);
  std::u16string body;
  body.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    const uint8_t first = text[i], second = text[i + 1];
    body.push_back(bigEndian ? static_cast<char16_t>(first << 8 | second)
                             : static_cast<char16_t>(second << 8 | first));
  }
  return body;
}

std::u16string Utf8DocumentBody(std::span<const uint8_t> text) {
  if (StartsWith(text, {0xEF, 0xBB, 0xBF})) text = text.subspan(3);
  std::u16string body;
  body.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t lead = text[i++];
    if (lead < 0x80) {
      body.push_back(lead);
      continue;
    }
    const LeadByte rule = LeadOf(lead);
    if (rule.trailing == 0) {
      body.push_back(kReplacement);
      continue;
    }
    char32_t cp = lead & (0x3F >> rule.trailing);
    bool whole = true;
    for (int k = 0; k < rule.trailing; ++k) {
      const uint8_t low = k == 0 ? rule.low : 0x80, high = k == 0 ? rule.high : 0xBF;
      if (i >= text.size() || text[i] < low || text[i] > high || !IsContinuation(text[i])) {
        // The bytes read so far make one replacement; the byte that broke
        // the sequence is read again as the start of the next one.
        whole = false;
        break;
      }
      cp = cp << 6 | (text[i++] & 0x3F);
    }
    if (whole)
      AppendCodePoint(body, cp);
    else
      body.push_back(kReplacement);
  }
  return body;
}

int PreselectedLanguage(const std::vector<std::string>& languages, std::string_view nativeLanguageName) {
  int native = FirstStartingWith(languages, BaseLanguageName(nativeLanguageName));
  if (native >= 0) return native;
  int english = FirstStartingWith(languages, "English");
  return english >= 0 ? english : 0;
}

bool IsAcceptableStartMenuText(std::string_view text) {
  if (text.find_first_of("/\"<>|*?:;") != std::string_view::npos) return false;
  if (!text.empty() && text.front() == '\\') return false;
  return text.find("\\\\") == std::string_view::npos;
}

bool PasswordMatches(std::string_view typed, std::string_view password) { return typed == password; }

}  // namespace setup
