#pragma once
// Decisions of the wizard's pages that need no window: which dialog
// template a page uses, where the summary page's check boxes go, how a
// document text is decoded, which language is preselected, which start menu
// texts are accepted and when a password matches.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// The page settings of WizardBlock, by position.
inline constexpr int kWizardExtraSpace = 0;
inline constexpr int kWizardGreetingStyle = 1;
inline constexpr int kWizardLanguageStyle = 2;
inline constexpr int kWizardLicenseStyle = 3;
inline constexpr int kWizardReadmeStyle = 4;
inline constexpr int kWizardFolderStyle = 5;
inline constexpr int kWizardStartMenuStyle = 6;
inline constexpr int kWizardProgressStyle = 7;
inline constexpr int kWizardSummaryStyle = 8;

// Style values of a page.
inline constexpr uint32_t kStylePlain = 0;
inline constexpr uint32_t kStyleSidePicture = 1;
inline constexpr uint32_t kStyleHeader = 2;

enum class PageLayout { kPlain, kSidePicture, kHeader };

// 0 plain, 1 side picture, any other value the header band.
PageLayout LayoutOfStyle(uint32_t style);

// The pages that come in layouts.
enum class WizardPage { kLanguage, kGreeting, kLicense, kReadme, kFolder, kStartMenu, kSummary, kProgress };

// The template of a page in a layout: "<Page>Dlg" (side picture), "<Page>Dlg2"
// (plain), "<Page>Dlg3" (header); page names "Language", "Greeting",
// "License", "Readme", "ChooseDir", "StartMenu", "Summary", "Progress". The
// language page has no plain layout (a plain style gives "LanguageDlg3");
// the greeting's plain style is a message box, never a page, and gives
// "GreetingDlg3" if asked.
std::string PageTemplateName(WizardPage page, PageLayout layout);

// A control's rectangle in dialog units.
struct DialogRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const DialogRect&) const = default;
};

// The summary page's shown check boxes, in their order, stacked 14 units
// apart, 275 wide and 9 high: from x 4 and y 32 + ((4 - shown) * 14) / 2 in
// the plain layout, from 102,52 with the side picture, from 20,78 with the
// header band. `shown` is 0 to 4: less than 1 gives no boxes, more than 4
// the page's four.
std::vector<DialogRect> SummaryBoxRects(PageLayout layout, int shown);

// How a license or readme text is stored.
enum class DocumentEncoding { kUtf16LittleEndian, kUtf16BigEndian, kUtf8, kCodePage };

// By its first bytes: FF FE or FE FF a UTF-16 mark, EF BB BF the UTF-8
// mark; anything else is text in the interface code page.
DocumentEncoding DocumentEncodingOf(std::span<const uint8_t> text);

// The UTF-16 text after its two-byte mark, in either byte order, as
// characters of this machine; an odd last byte is dropped. A text without a
// UTF-16 mark is read whole, little-endian (the system's own order).
std::u16string Utf16DocumentBody(std::span<const uint8_t> text);

// The UTF-8 text after its mark, decoded (a text without the mark is decoded
// whole); characters past U+FFFF become surrogate pairs. Bytes that are not
// UTF-8 become U+FFFD: a byte that cannot start a sequence gives one, and so
// does each started sequence that breaks off (cut short, overlong, a
// surrogate, past U+10FFFF), the breaking byte then read afresh.
std::u16string Utf8DocumentBody(std::span<const uint8_t> text);

// The language the language page preselects: the first entry that begins
// with the user's native language name (cut before its first "(", trailing
// blanks removed; letter case ignored); else the first that begins with
// "English" (letter case ignored); else 0. Letter case is that of the ASCII
// letters only: other bytes compare as they are, so "fran\xe7ais" matches
// "Fran\xe7ais" but "FRAN\xc7AIS" does not. A name that is empty before its
// "(" matches no entry.
int PreselectedLanguage(const std::vector<std::string>& languages, std::string_view nativeLanguageName);

// The start menu page accepts a folder text without any of the characters
// /"<>|*?:; that does not start with a backslash and holds no two
// backslashes in a row. An empty text is accepted, and so is a trailing
// backslash.
bool IsAcceptableStartMenuText(std::string_view text);

// Byte for byte: the same length and the same bytes, letter case and bytes
// above 0x7F included. An empty entry against a password is a mismatch; an
// empty entry matches only an empty password.
bool PasswordMatches(std::string_view typed, std::string_view password);

}  // namespace setup
