#include "setup/ui/page_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup {
namespace {

TEST(PageRules, LayoutOfStyle) {
  struct Case {
    uint32_t style;
    PageLayout layout;
  } cases[] = {
      {0, PageLayout::kPlain},         {1, PageLayout::kSidePicture}, {2, PageLayout::kHeader},
      {3, PageLayout::kHeader},        {255, PageLayout::kHeader},    {0x80000000u, PageLayout::kHeader},
      {0xFFFFFFFFu, PageLayout::kHeader},
  };
  for (const Case& c : cases) EXPECT_EQ(LayoutOfStyle(c.style), c.layout) << c.style;
}

TEST(PageRules, TemplateOfEveryPageInEveryLayout) {
  struct Case {
    WizardPage page;
    const char* plain;
    const char* side;
    const char* header;
  } cases[] = {
      {WizardPage::kLanguage, "LanguageDlg3", "LanguageDlg", "LanguageDlg3"},  // no plain language page
      {WizardPage::kGreeting, "GreetingDlg3", "GreetingDlg", "GreetingDlg3"},  // plain is a message box
      {WizardPage::kLicense, "LicenseDlg2", "LicenseDlg", "LicenseDlg3"},
      {WizardPage::kReadme, "ReadmeDlg2", "ReadmeDlg", "ReadmeDlg3"},
      {WizardPage::kFolder, "ChooseDirDlg2", "ChooseDirDlg", "ChooseDirDlg3"},
      {WizardPage::kStartMenu, "StartMenuDlg2", "StartMenuDlg", "StartMenuDlg3"},
      {WizardPage::kSummary, "SummaryDlg2", "SummaryDlg", "SummaryDlg3"},
      {WizardPage::kProgress, "ProgressDlg2", "ProgressDlg", "ProgressDlg3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PageTemplateName(c.page, PageLayout::kPlain), c.plain);
    EXPECT_EQ(PageTemplateName(c.page, PageLayout::kSidePicture), c.side);
    EXPECT_EQ(PageTemplateName(c.page, PageLayout::kHeader), c.header);
  }
}

TEST(PageRules, SummaryBoxesStackFromTheirLayoutsCorner) {
  struct Case {
    PageLayout layout;
    int shown;
    int x, firstY;
    size_t count;
  } cases[] = {
      // Plain: the boxes are centred on the four places, by integer halves.
      {PageLayout::kPlain, 1, 4, 53, 1},
      {PageLayout::kPlain, 2, 4, 46, 2},
      {PageLayout::kPlain, 3, 4, 39, 3},
      {PageLayout::kPlain, 4, 4, 32, 4},
      {PageLayout::kSidePicture, 1, 102, 52, 1},
      {PageLayout::kSidePicture, 4, 102, 52, 4},
      {PageLayout::kHeader, 2, 20, 78, 2},
      {PageLayout::kHeader, 4, 20, 78, 4},
      // More than the page's four boxes places four.
      {PageLayout::kPlain, 5, 4, 32, 4},
      {PageLayout::kHeader, 9, 20, 78, 4},
  };
  for (const Case& c : cases) {
    std::vector<DialogRect> rects = SummaryBoxRects(c.layout, c.shown);
    ASSERT_EQ(rects.size(), c.count) << c.shown;
    for (size_t i = 0; i < rects.size(); ++i) {
      DialogRect expected{c.x, c.firstY + 14 * static_cast<int>(i), 275, 9};
      EXPECT_EQ(rects[i], expected) << "layout " << static_cast<int>(c.layout) << " shown " << c.shown << " box " << i;
    }
  }
  for (PageLayout layout : {PageLayout::kPlain, PageLayout::kSidePicture, PageLayout::kHeader}) {
    EXPECT_TRUE(SummaryBoxRects(layout, 0).empty());
    EXPECT_TRUE(SummaryBoxRects(layout, -1).empty());
  }
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

TEST(DocumentText, EncodingByTheFirstBytes) {
  struct Case {
    const char* name;
    std::vector<uint8_t> text;
    DocumentEncoding encoding;
  } cases[] = {
      {"FF FE", Bytes({0xFF, 0xFE, 'A', 0}), DocumentEncoding::kUtf16LittleEndian},
      {"FF FE alone", Bytes({0xFF, 0xFE}), DocumentEncoding::kUtf16LittleEndian},
      {"FE FF", Bytes({0xFE, 0xFF, 0, 'A'}), DocumentEncoding::kUtf16BigEndian},
      {"EF BB BF", Bytes({0xEF, 0xBB, 0xBF, 'A'}), DocumentEncoding::kUtf8},
      {"EF BB BF alone", Bytes({0xEF, 0xBB, 0xBF}), DocumentEncoding::kUtf8},
      {"half a UTF-8 mark", Bytes({0xEF, 0xBB}), DocumentEncoding::kCodePage},
      {"EF BB then other", Bytes({0xEF, 0xBB, 'A'}), DocumentEncoding::kCodePage},
      {"one byte FF", Bytes({0xFF}), DocumentEncoding::kCodePage},
      {"one byte FE", Bytes({0xFE}), DocumentEncoding::kCodePage},
      {"empty", Bytes({}), DocumentEncoding::kCodePage},
      {"plain text", Bytes({'L', 'i', 'c'}), DocumentEncoding::kCodePage},
      {"mark not first", Bytes({' ', 0xFF, 0xFE}), DocumentEncoding::kCodePage},
  };
  for (const Case& c : cases) EXPECT_EQ(DocumentEncodingOf(c.text), c.encoding) << c.name;
}

TEST(DocumentText, Utf16BodyInHostOrder) {
  struct Case {
    const char* name;
    std::vector<uint8_t> text;
    std::u16string body;
  } cases[] = {
      {"little-endian", Bytes({0xFF, 0xFE, 'A', 0, 0xE9, 0, 0xAC, 0x20}), u"A\u00e9\u20ac"},
      {"big-endian", Bytes({0xFE, 0xFF, 0, 'A', 0, 0xE9, 0x20, 0xAC}), u"A\u00e9\u20ac"},
      {"surrogate pair, little-endian", Bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}), u"\U0001F600"},
      {"surrogate pair, big-endian", Bytes({0xFE, 0xFF, 0xD8, 0x3D, 0xDE, 0x00}), u"\U0001F600"},
      {"odd last byte dropped", Bytes({0xFF, 0xFE, 'A', 0, 'B'}), u"A"},
      {"odd last byte dropped, big-endian", Bytes({0xFE, 0xFF, 0, 'A', 'B'}), u"A"},
      {"mark only", Bytes({0xFF, 0xFE}), u""},
      {"mark and one byte", Bytes({0xFE, 0xFF, 'A'}), u""},
      // A mark inside the text is a character of it (U+FEFF).
      {"second mark kept", Bytes({0xFF, 0xFE, 0xFF, 0xFE}), u"\uFEFF"},
      // Without a mark the whole text is read in the system's own order.
      {"no mark", Bytes({'H', 0, 'i', 0}), u"Hi"},
      {"empty", Bytes({}), u""},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16DocumentBody(c.text), c.body) << c.name;
}

TEST(DocumentText, Utf8BodyDecoded) {
  struct Case {
    const char* name;
    std::vector<uint8_t> text;
    std::u16string body;
  } cases[] = {
      {"ASCII", Bytes({0xEF, 0xBB, 0xBF, 'O', 'K', '\r', '\n'}), u"OK\r\n"},
      {"two bytes", Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9, 0xC2, 0x80, 0xDF, 0xBF}), u"\u00e9\u0080\u07ff"},
      {"three bytes", Bytes({0xEF, 0xBB, 0xBF, 0xE2, 0x82, 0xAC, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}),
       u"\u20ac\u0800\uffff"},
      {"four bytes", Bytes({0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80}), u"\U0001F600"},
      {"four bytes, first and last", Bytes({0xEF, 0xBB, 0xBF, 0xF0, 0x90, 0x80, 0x80, 0xF4, 0x8F, 0xBF, 0xBF}),
       u"\U00010000\U0010FFFF"},
      {"mark only", Bytes({0xEF, 0xBB, 0xBF}), u""},
      {"no mark", Bytes({'a', 0xC3, 0xA9}), u"a\u00e9"},
      // Not UTF-8: each lone or misplaced byte, and each broken start of a
      // sequence, becomes one U+FFFD; the text after it is read on.
      {"lone continuation", Bytes({0xEF, 0xBB, 0xBF, 'a', 0x80, 'b'}), u"a\uFFFDb"},
      {"byte never in UTF-8", Bytes({0xEF, 0xBB, 0xBF, 0xFF, 0xFE, 'x'}), u"\uFFFD\uFFFDx"},
      {"code page text after the mark", Bytes({0xEF, 0xBB, 0xBF, 'G', 'r', 0xFC, 0xDF, 'e'}), u"Gr\uFFFD\uFFFDe"},
      {"overlong two bytes", Bytes({0xEF, 0xBB, 0xBF, 0xC0, 0xAF}), u"\uFFFD\uFFFD"},
      {"overlong three bytes", Bytes({0xEF, 0xBB, 0xBF, 0xE0, 0x80, 0xAF}), u"\uFFFD\uFFFD\uFFFD"},
      {"surrogate", Bytes({0xEF, 0xBB, 0xBF, 0xED, 0xA0, 0x80}), u"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", Bytes({0xEF, 0xBB, 0xBF, 0xF4, 0x90, 0x80, 0x80}), u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"cut at the end", Bytes({0xEF, 0xBB, 0xBF, 'a', 0xE2, 0x82}), u"a\uFFFD"},
      {"cut by an ASCII byte", Bytes({0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 'z'}), u"\uFFFDz"},
      {"cut by a new lead", Bytes({0xEF, 0xBB, 0xBF, 0xE2, 0xC3, 0xA9}), u"\uFFFD\u00e9"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8DocumentBody(c.text), c.body) << c.name;
}

TEST(LanguagePage, Preselection) {
  const std::vector<std::string> list = {"Fran\xc3\xa7" "ais", "English (US)", "Deutsch", "English", "Espa\xc3\xb1ol"};
  struct Case {
    std::vector<std::string> languages;
    const char* native;
    int expected;
  } cases[] = {
      {list, "Deutsch (Deutschland)", 2},  // cut before "(" and the blank before it
      {list, "Deutsch", 2},
      {list, "deutsch  \t(\xc3\x96sterreich)", 2},  // every trailing blank goes, letter case ignored
      {list, "fran\xc3\xa7" "ais (France)", 0},     // ASCII letter case ignored
      {list, "FRAN\xc3\x87" "AIS", 1},  // a letter beyond ASCII keeps its case: no match, English
      {list, "English (United Kingdom)", 1},  // "English (US)" begins with "English"
      {list, "Nederlands (Nederland)", 1},    // no match: the first English entry
      {list, "", 1},                          // no native name: English
      {list, "(unknown)", 1},                 // nothing before the "("
      {list, "Deutsch (Schweiz", 2},
      {{"Deutsch", "english"}, "Suomi", 1},  // "English" in any letter case
      {{"Deutsch", "Suomi"}, "Italiano", 0},  // neither: the first
      {{"Deutsch (Schweiz)", "Deutsch"}, "Deutsch (Deutschland)", 0},  // the first that begins with it
      {{"Dansk", "Deutsch"}, "Deutschland", 0},  // a longer native name is no prefix
      {{}, "Deutsch", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(PreselectedLanguage(c.languages, c.native), c.expected) << c.native;
}

TEST(StartMenuPage, AcceptedTexts) {
  struct Case {
    std::string_view text;
    bool accepted;
  } cases[] = {
      {"", true},
      {"Product", true},
      {"Vendor\\Product", true},
      {"Vendor\\Sub\\Product", true},
      {"Vendor & Co. (Tools) 2.0", true},
      {"Vendor\\", true},
      {"Ven/dor", false},
      {"Ven\"dor", false},
      {"Ven<dor", false},
      {"Ven>dor", false},
      {"Ven|dor", false},
      {"Ven*dor", false},
      {"Ven?dor", false},
      {"Ven:dor", false},
      {"Ven;dor", false},
      {"Product;", false},  // at the end as well
      {":Product", false},  // and at the start
      {"\\Vendor", false},
      {"\\", false},
      {"Vendor\\\\Product", false},
      {"Vendor\\\\", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsAcceptableStartMenuText(c.text), c.accepted) << c.text;
}

TEST(PasswordPage, ByteForByte) {
  struct Case {
    std::string_view typed;
    std::string_view password;
    bool matches;
  } cases[] = {
      {"Secret1", "Secret1", true},
      {"secret1", "Secret1", false},  // letter case matters
      {"Secret", "Secret1", false},   // a prefix
      {"Secret12", "Secret1", false},
      {"", "Secret1", false},
      {"Secret1 ", "Secret1", false},  // blanks count
      {"Gr\xfc\xdf" "e", "Gr\xfc\xdf" "e", true},
      {"Gr\xdc\xdf" "e", "Gr\xfc\xdf" "e", false},  // bytes above 0x7F compared as they are
      {"\xe9", "\xc9", false},
      {std::string_view("a\0b", 3), std::string_view("a\0c", 3), false},  // past a zero byte too
      {"", "", true},
  };
  for (const Case& c : cases) EXPECT_EQ(PasswordMatches(c.typed, c.password), c.matches) << c.typed;
}

}  // namespace
}  // namespace setup
