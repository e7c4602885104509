// The interface strings of a build: every number the runtime looks up has a
// built-in English text that takes the values the runtime fills in, and an
// author's override per language must take the same values.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "builtin_strings.h"
#include "project.h"
#include "settings_composer.h"
#include "string_table_builder.h"

namespace pack {
namespace {

// The numbers the runtime's pages, messages, status lines and uninstaller
// look up, and the values it formats into them: written down apart from the
// table so that a missing or mistyped entry shows.
const std::map<int, std::string>& NumbersTheRuntimeUses() {
  static const std::map<int, std::string> numbers = [] {
    std::map<int, std::string> n;
    for (int i : {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  11, 14, 15, 20, 21, 24, 25, 28, 29, 30, 31,  33,
                  34, 35, 36, 37, 39, 41, 42, 43, 44, 45, 46, 47, 48, 49, 52, 53, 54, 55, 57, 58, 62, 63,  64,
                  65, 66, 67, 68, 69, 70, 71, 72, 74, 75, 76, 77, 78, 79, 80, 82, 83, 84, 85, 86, 87, 88,  89,
                  90, 91, 92, 93, 94, 95, 97, 98, 100, 101, 102, 103, 104})
      n[i] = "";
    for (int i : {10, 12, 18, 22, 23, 38, 40, 56, 59, 61, 73, 99}) n[i] = "s";
    n[13] = "d";
    n[81] = "d";
    n[16] = "c";
    n[96] = "c";
    n[19] = "scs";
    return n;
  }();
  return numbers;
}

std::string Joined(const std::vector<std::string>& conversions) {
  std::string text;
  for (const std::string& c : conversions) text += c;
  return text;
}

TEST(BuiltinStrings, CoverEveryNumberTheRuntimeUses) {
  const auto& used = NumbersTheRuntimeUses();
  EXPECT_EQ(BuiltinStringCount(), used.rbegin()->first + 1);
  for (const auto& [number, conversions] : used) {
    SCOPED_TRACE(number);
    const BuiltinString* builtin = FindBuiltinString(number);
    ASSERT_NE(builtin, nullptr);
    EXPECT_EQ(builtin->conversions, conversions);
    EXPECT_EQ(Joined(FormatConversions(builtin->text)), conversions) << builtin->text;
    // 63 and 64 are extra license and readme pages: empty shows none.
    if (number != 63 && number != 64) EXPECT_FALSE(builtin->text.empty());
  }
  for (const BuiltinString& builtin : BuiltinStrings())
    EXPECT_TRUE(used.count(builtin.number)) << "string " << builtin.number << " is not used by the runtime";
}

TEST(FormatConversions, ReadsWhatPrintfWouldTake) {
  const struct {
    const char* text;
    std::vector<std::string> conversions;
  } cases[] = {
      {"no values", {}},
      {"100%% done", {}},
      {"%s and %d", {"s", "d"}},
      {"%-10s|%05.2f|%c", {"s", "f", "c"}},
      {"%*d", {"*d"}},
      {"%ls", {"ls"}},
      {"%I64u", {"I64u"}},
      {"50% sure", {"s"}},             // "% s" is a conversion with a blank flag
      {"%InstallDir%", {"In", "?"}},  // a path variable reads as %n and a stray %
      {"ends with %", {"?"}},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatConversions(c.text), c.conversions) << c.text;
}

TEST(StringTable, EveryLanguageStartsFromEnglishAndTakesItsOverrides) {
  std::vector<LanguageStrings> languages = {
      {"English", {}, {{1, "Hello <product>", {}}}},
      {"Deutsch", {}, {{48, "&Weiter >", {}}, {13, "Fehler %d", {}}, {120, "Eigener Text", {}}}},
  };
  setup::StringTableData table = BuildStringTable(languages);
  EXPECT_EQ(table.languages, (std::vector<std::string>{"English", "Deutsch"}));
  ASSERT_EQ(table.texts.size(), 121u);  // grows to the highest override
  EXPECT_EQ(table.texts[1][0], "Hello <product>");
  EXPECT_EQ(table.texts[1][1], FindBuiltinString(1)->text);
  EXPECT_EQ(table.texts[48][0], "&Next >");
  EXPECT_EQ(table.texts[48][1], "&Weiter >");
  EXPECT_EQ(table.texts[13][1], "Fehler %d");
  EXPECT_EQ(table.texts[120][1], "Eigener Text");
  EXPECT_EQ(table.texts[120][0], "");
  EXPECT_EQ(table.texts[17], (std::vector<std::string>{"", ""}));  // an unused number stays empty

  setup::StringTableData plain = BuildStringTable({{"English", {}, {}}});
  EXPECT_EQ(static_cast<int>(plain.texts.size()), BuiltinStringCount());
}

TEST(StringTable, RefusesOverridesThatTakeOtherValues) {
  const struct {
    int number;
    const char* text;
    const char* message;
  } cases[] = {
      {13, "Broken installer", "must take the values %d"},
      {13, "Code %s", "the text has %s"},
      {19, "Need %s on %s, have %s", "must take the values %s %c %s"},
      {48, "100% &Next", "takes no values"},
      {38, "%s %s", "must take the values %s"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Location where{"demo.toml", 12, 6};
    try {
      BuildStringTable({{"English", {}, {{c.number, c.text, where}}}});
      ADD_FAILURE() << "accepted";
    } catch (const PackFailure& failure) {
      EXPECT_EQ(failure.error().where.line, 12);
      EXPECT_NE(failure.error().message.find("string " + std::to_string(c.number)), std::string::npos);
      EXPECT_NE(failure.error().message.find(c.message), std::string::npos) << failure.error().message;
    }
  }
  // Unused numbers and numbers past the table take anything.
  EXPECT_NO_THROW(BuildStringTable({{"English", {}, {{17, "%s", {}}, {500, "%d%%", {}}}}}));
}

// Through the whole project: the override's own line is named.
TEST(StringTable, ProjectOverrideErrorNamesItsLine) {
  Outcome<Project> project = ParseProject(
      "languages = ['English', 'Deutsch']\n[product]\nname = 'Demo'\n[strings.Deutsch]\n13 = 'Kaputt'\n", "demo.toml", ".");
  ASSERT_TRUE(project.ok()) << project.error().ToString();
  try {
    ComposeSettings(project.value(), {});
    ADD_FAILURE() << "accepted";
  } catch (const PackFailure& failure) {
    EXPECT_EQ(failure.error().ToString().rfind("demo.toml:5:6: string 13 must take the values %d", 0), 0u)
        << failure.error().ToString();
  }
}

}  // namespace
}  // namespace pack
