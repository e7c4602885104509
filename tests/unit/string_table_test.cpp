#include "setup/strings/string_table.h"

#include <gtest/gtest.h>

#include "setup/payload/settings_stream.h"

namespace setup {
namespace {

StringTableData Table(std::vector<std::string> languages, std::vector<std::vector<std::string>> texts) {
  StringTableData data;
  data.languages = std::move(languages);
  data.texts = std::move(texts);
  return data;
}

TEST(StringTable, CurrentLanguageIsTheLastExactEnglish) {
  struct Case {
    std::vector<std::string> languages;
    int current;
  } cases[] = {
      {{"Deutsch"}, 0},
      {{"Deutsch", "English"}, 1},
      {{"English", "Deutsch", "English"}, 2},
      {{"english", "ENGLISH", "English "}, 0},  // exact case and length only
      {{"Deutsch", "Français"}, 0},
  };
  for (const Case& c : cases) {
    StringTable table;
    table.Load(Table(c.languages, {std::vector<std::string>(c.languages.size(), "x")}));
    EXPECT_EQ(table.currentLanguage(), c.current);
  }
}

TEST(StringTable, LookupOutsideTheTableIsEmpty) {
  StringTable table;
  PlaceholderValues values;
  EXPECT_EQ(table.Lookup(0, values), "");  // nothing loaded yet
  table.Load(Table({"English"}, {{"zero"}, {"one"}}));
  EXPECT_EQ(table.Lookup(1, values), "one");
  EXPECT_EQ(table.Lookup(2, values), "");  // one past the end
  EXPECT_EQ(table.Lookup(-1, values), "");
  table.SetCurrentLanguage(1);
  EXPECT_EQ(table.Lookup(0, values), "");
}

TEST(StringTable, NoFallbackToAnotherLanguage) {
  StringTable table;
  table.Load(Table({"Deutsch", "English"}, {{"Fehler", ""}}));
  EXPECT_EQ(table.Lookup(0, {}), "");
  table.SetCurrentLanguage(0);
  EXPECT_EQ(table.Lookup(0, {}), "Fehler");
}

TEST(StringTable, LookupReplacesPlaceholdersAndKeepsTheResult) {
  StringTable table;
  table.Load(Table({"English"}, {{"Welcome to <PRODUCT>"}}));
  EXPECT_EQ(table.Lookup(0, {"Example", "", ""}), "Welcome to Example");
  // The stored text now holds the value of that moment.
  EXPECT_EQ(table.Lookup(0, {"Other", "", ""}), "Welcome to Example");
}

TEST(Placeholders, ReplacedInOrderWithoutRegardToCase) {
  PlaceholderValues v{"App <description>", "Desc in <OS>", "C:\\windows"};
  struct Case {
    const char* text;
    const char* result;
  } cases[] = {
      {"<product>", "App Desc in C:\\windows"},  // a value holding a later placeholder is replaced too
      {"<Description>", "Desc in C:\\windows"},
      {"<os>\\system32", "C:\\windows\\system32"},
      {"<product", "<product"},
      {"<<os>>", "<C:\\windows>"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplacePlaceholders(c.text, v), c.result) << c.text;

  // An earlier placeholder's name inside a later value stays.
  PlaceholderValues back{"P", "<product>", "O"};
  EXPECT_EQ(ReplacePlaceholders("<description>", back), "<product>");
}

// The one "<os>" replacement, also behind ReplaceOsFolder of the
// installation folder.
TEST(Placeholders, OsPlaceholder) {
  struct Case {
    const char* text;
    const char* folder;
    const char* result;
  } cases[] = {
      {"<os>\\x;<OS>", "C:\\windows", "C:\\windows\\x;C:\\windows"},
      {"<Os><oS>", "W", "WW"},
      {"<<os>>", "W", "<W>"},
      {"<os", "W", "<os"},
      {"< os>", "W", "< os>"},
      {"<os>", "<os>", "<os>"},        // the value is not searched again
      {"<\xD3s>", "W", "<\xD3s>"},       // letters beyond ASCII never match
      {"<product>", "W", "<product>"},  // only "<os>"
      {"", "W", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceOsPlaceholder(c.text, c.folder), c.result) << c.text;
  EXPECT_EQ(ReplaceOsPlaceholder(std::u16string_view(u"<OS>\\Ö<os>"), u"C:\\w"), u"C:\\w\\ÖC:\\w");
  EXPECT_EQ(ReplaceOsPlaceholder(std::u16string_view(u"<\u014Fs>"), u"W"), u"<\u014Fs>");
}

TEST(Placeholders, WideTextsUseTheSameRules) {
  WidePlaceholderValues v{u"Ünïcode", u"D", u"C:\\w"};
  EXPECT_EQ(ReplacePlaceholders(std::u16string_view(u"<PRODUCT>/<os>/ä<description>"), v), u"Ünïcode/C:\\w/äD");
}

}  // namespace
}  // namespace setup
