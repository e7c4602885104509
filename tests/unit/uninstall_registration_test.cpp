// The uninstaller's reading of its registration values, the path list it
// gets back, and the closing-list patterns it acts on.
#include <gtest/gtest.h>

#include "setup/ui/program_closing.h"
#include "setup/record/registration_values.h"
#include "setup/record/uninstall_data.h"
#include "tl_core/path_text.h"

namespace setup {
namespace {

TEST(RegistrationValues, ProductFlagsRoundTripThroughTheirDecimalTexts) {
  struct Case {
    const char* text;
    uint64_t flags;
  };
  const Case cases[] = {
      {"0", 0},
      {"4", 4},
      {"-9223372036854775808", uint64_t{1} << 63},  // bit 63 makes the signed text negative
      {"-1", ~uint64_t{0}},
      {" 36 ", 36},
      {"", 0},
      {"12abc", 0},
      {"99999999999999999999", 0},  // out of range
  };
  for (const Case& c : cases) EXPECT_EQ(ParseProductFlags(c.text), c.flags) << c.text;
  EXPECT_EQ(ParseProductFlags2("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseProductFlags2("4294967296"), 0u);
  EXPECT_EQ(ParseProductFlags2("-1"), 0u);
}

TEST(RegistrationValues, DecimalTextsAndColours) {
  EXPECT_DOUBLE_EQ(ParseDecimalText("14", 1.0), 14.0);
  EXPECT_DOUBLE_EQ(ParseDecimalText("10.5", 1.0), 10.5);
  EXPECT_DOUBLE_EQ(ParseDecimalText("", 1.0), 1.0);
  EXPECT_DOUBLE_EQ(ParseDecimalText("big", 0.0), 0.0);
  // Red 0x12, green 0x34, blue 0x56 is stored as "123456".
  EXPECT_EQ(ParseColorText("123456"), 0x00563412u);
  EXPECT_EQ(ParseColorText("c0c0C0"), 0x00C0C0C0u);
  for (const char* bad : {"", "12345", "1234567", "12345G"}) EXPECT_EQ(ParseColorText(bad), 0u) << bad;
}

TEST(UninstallDataPaths, LinesComeBackInOrderWithoutLineEnds) {
  UninstallData data;
  data.RecordPath("C:\\App\\a.exe", UninstallPathKind::kFile);
  data.RecordPath("C:\\App\\Docs", UninstallPathKind::kFolder);
  data.RecordPath("c:\\app\\docs", UninstallPathKind::kFolder);  // the same folder
  data.RecordPath("C:\\", UninstallPathKind::kFolder);            // a drive root never
  data.RecordPath("C:\\App\\a.exe", UninstallPathKind::kFile);    // files are not merged
  EXPECT_EQ(data.pathLines(), (std::vector<std::string>{"C:\\App\\a.exe", "~C:\\App\\Docs", "C:\\App\\a.exe"}));
  data.ClearPaths();
  EXPECT_TRUE(data.pathLines().empty());
  data.RecordPath("C:\\App\\Docs", UninstallPathKind::kFolder);  // recorded again after clearing
  EXPECT_EQ(data.pathLines(), std::vector<std::string>{"~C:\\App\\Docs"});
}

TEST(PathText, TrailingBackslashesGoButARootKeepsItsOwn) {
  EXPECT_EQ(tl::TrimTrailingBackslashes("C:\\App\\\\"), "C:\\App");
  EXPECT_EQ(tl::TrimTrailingBackslashes("C:\\App"), "C:\\App");
  EXPECT_EQ(tl::TrimTrailingBackslashes("C:\\"), "C:\\");
  EXPECT_EQ(tl::TrimTrailingBackslashes(""), "");
}

TEST(ProgramClosing, PatternsMatchWholeTextsOrPartsAfterAStar) {
  struct Case {
    const char* classPattern;
    const char* titlePattern;
    bool matches;  // against class "NotepadClass", title "notes.txt - Notepad"
  };
  const Case cases[] = {
      {"NotepadClass", "", true},
      {"Notepad", "", false},  // without a star the whole class must match
      {"*pad", "", true},
      {"", "*Notepad", true},
      {"", "notes.txt - Notepad", true},
      {"NotepadClass", "*Word", false},  // both patterns must hold
      {"*", "", true},                   // an empty part is in every text
      {"", "", false},                   // an entry without patterns matches nothing
      {"*notepad", "", false},           // letter case counts
  };
  for (const Case& c : cases) {
    CloseRecord record{c.classPattern, c.titlePattern, "Notepad", 0, 0};
    EXPECT_EQ(CloseRecordMatches(record, "NotepadClass", "notes.txt - Notepad"), c.matches)
        << c.classPattern << " / " << c.titlePattern;
  }
}

}  // namespace
}  // namespace setup
