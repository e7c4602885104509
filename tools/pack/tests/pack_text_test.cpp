// Texts as the runtime stores them: code page conversion, record paths,
// registry-entry fields, and where extraction puts a record's file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ansi_text.h"
#include "installer_report.h"
#include "registry_text.h"

namespace pack {
namespace {

TEST(AnsiText, Utf8ToWindows1252) {
  const struct {
    const char* utf8;
    std::optional<std::string> stored;
  } cases[] = {
      {"plain", "plain"},
      {"Zur\xC3\xBC" "ck", "Zur\xFC" "ck"},
      {"\xE2\x82\xAC 5", "\x80 5"},          // euro sign, from the 0x80-0x9F range
      {"\xE2\x80\x9Cquoted\xE2\x80\x9D", "\x93quoted\x94"},
      {"\xE6\x97\xA5", std::nullopt},        // outside the code page
      {"\xC2\x81", std::nullopt},            // U+0081 has no byte in Windows-1252
      {"\xC3", std::nullopt},                // cut short
      {"\xC0\xAF", std::nullopt},            // overlong
      {"\xED\xA0\x80", std::nullopt},        // surrogate
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.stored) << c.utf8;
    if (c.stored) EXPECT_EQ(Windows1252ToUtf8(*c.stored), c.utf8);
  }
}

TEST(AnsiText, RecordPathsOutsideAsciiUseTheUtf8Form) {
  EXPECT_EQ(RecordPath("docs\\a.txt"), "docs\\a.txt");
  EXPECT_EQ(RecordPath("\xC3\xA9t\xC3\xA9.txt"), "|\xC3\xA9t\xC3\xA9.txt");
  EXPECT_EQ(PathToUtf8("|\xC3\xA9t\xC3\xA9.txt"), "\xC3\xA9t\xC3\xA9.txt");
  EXPECT_EQ(PathToUtf8("\xE9t\xE9.txt"), "\xC3\xA9t\xC3\xA9.txt");
}

TEST(RegistryText, FieldsAreQuotedWhereTheReaderWouldSplitOrTrim) {
  const struct {
    const char* field;
    const char* stored;
  } cases[] = {
      {"", ""},
      {"Software\\Demo", "Software\\Demo"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {" leading", "\" leading\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"trailing ", "trailing "},
  };
  for (const auto& c : cases) EXPECT_EQ(RegistryField(c.field), c.stored) << c.field;
}

TEST(RegistryText, KeyRoots) {
  EXPECT_EQ(NormalizeRegistryKey("HKLM\\Software\\Demo"), "\\HKLM\\Software\\Demo");
  EXPECT_EQ(NormalizeRegistryKey("\\hkcu\\Software"), "\\hkcu\\Software");
  EXPECT_EQ(NormalizeRegistryKey("\\HKAU\\Software"), "\\HKAU\\Software");
  EXPECT_EQ(NormalizeRegistryKey("\\hkau\\Software"), "");  // the all-users prefix is exact
  EXPECT_EQ(NormalizeRegistryKey("HKXX\\Software"), "");
  EXPECT_EQ(NormalizeRegistryKey("Software\\Demo"), "");
}

TEST(Extraction, RecordsGoBelowTheirFolderVariable) {
  const struct {
    uint32_t kind;
    uint32_t flags;
    const char* name;
    const char* target;
    const char* path;
  } cases[] = {
      {0, 0, "bin\\app.exe", "", "InstallDir/bin/app.exe"},
      {1, 0, "shared.dll", "", "SharedDir/shared.dll"},
      {4, 0, "demo.ttf", "", "FontDir/demo.ttf"},
      {7, 0, "server.dll", "", "SystemDir/server.dll"},
      {0, 0x40, "notes.txt", "", "UninstallDataFolder/notes.txt"},
      {0, 0, "sub\\readme.txt", "read.me", "InstallDir/read.me"},
      {0, 0, "sub\\a.txt", "%InstallDir%\\Docs\\", "InstallDir/Docs/a.txt"},
      {0, 0, "a.txt", "%AppDataDir%\\Demo\\b.txt", "AppDataDir/Demo/b.txt"},
      {0, 0, "a.txt", "C:\\Tools\\", "C/Tools/a.txt"},
      {1, 0, "a.dll", "lib\\", "SharedDir/lib/a.dll"},
      {0, 0, "|\xC3\xA9t\xC3\xA9.txt", "", "InstallDir/\xC3\xA9t\xC3\xA9.txt"},
  };
  for (const auto& c : cases) {
    setup::FileRecord record;
    record.kind = c.kind;
    record.flags = c.flags;
    record.name = c.name;
    record.target = c.target;
    EXPECT_EQ(ExtractionPath(record), c.path) << c.name << " -> " << c.target;
  }
}

TEST(Extraction, RefusesPathsThatLeaveTheFolder) {
  for (const auto& [name, target] : {std::pair{"..\\..\\evil.txt", ""}, std::pair{"a.txt", "%InstallDir%\\..\\..\\x\\"},
                                     std::pair{"a.txt", "%..%\\x.txt"}}) {
    setup::FileRecord record;
    record.name = name;
    record.target = target;
    EXPECT_THROW(ExtractionPath(record), PackFailure) << name << " " << target;
  }
}

}  // namespace
}  // namespace pack
