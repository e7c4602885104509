// The finish's pure decisions: restore point texts, the restart decision
// and the program of a launch command line.
#include <gtest/gtest.h>

#include <string>

#include "setup/integration/launch_command.h"
#include "setup/integration/restart_decision.h"
#include "setup/integration/restore_point_text.h"

namespace setup {
namespace {

constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

TEST(RestorePointText, Description) {
  EXPECT_EQ(RestorePointDescription("Orvanta Demo", "2.1"), "Orvanta Demo 2.1");
  EXPECT_EQ(RestorePointDescription("Orvanta Demo", ""), "Orvanta Demo");
  EXPECT_EQ(RestorePointDescription("", "2.1"), " 2.1");
}

TEST(RestorePointText, DescriptionFitsTheSystemsField) {
  const std::u16string a255(255, u'a');
  const struct {
    const char* name;
    std::u16string text;
    std::u16string expected;
  } cases[] = {
      {"short", u"Demo 1.0", u"Demo 1.0"},
      {"exactly the limit", a255, a255},
      {"one over", a255 + u"b", a255},
      // A pair across the limit goes whole rather than half.
      {"pair across the limit", std::u16string(254, u'a') + u"\xD83D\xDE00", std::u16string(254, u'a')},
      {"pair just inside", std::u16string(253, u'a') + u"\xD83D\xDE00" + u"z",
       std::u16string(253, u'a') + u"\xD83D\xDE00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FitRestorePointDescription(c.text), c.expected) << c.name;
}

TEST(RestorePointText, ErrorTexts) {
  const struct {
    RestorePointFailure failure;
    uint32_t status;
    const char* expected;
  } cases[] = {
      {RestorePointFailure::kLibraryMissing, 0, "System Restore is not present."},
      {RestorePointFailure::kFunctionMissing, 0, "SRSetRestorePointW is not present."},
      {RestorePointFailure::kCallFailed, 1058, "System Restore is turned off."},
      {RestorePointFailure::kCallFailed, 5, "Failed, code 5: Access is denied."},
      {RestorePointFailure::kCallFailed, 4294967295u, "Failed, code 4294967295: Access is denied."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RestorePointErrorText(c.failure, c.status, "Access is denied."), c.expected) << c.status;
}

TEST(RestorePointText, OutcomeLine) {
  EXPECT_EQ(RestorePointOutcomeLine(""), "OK\r\n");
  EXPECT_EQ(RestorePointOutcomeLine("System Restore is turned off."),
            "FAILED\r\nSystem Restore is turned off.\r\n\r\n");
}

TEST(RestartDecision, Table) {
  const struct {
    const char* name;
    uint64_t flags;
    bool automatic;
    bool answer;
    bool asked;
    bool restart;
  } cases[] = {
      {"no restart bit, interactive", 0, false, true, false, false},
      {"no restart bit, automatic", Bit(41), true, true, false, false},
      {"automatic restarts without a question", Bit(14), true, false, false, true},
      {"automatic with bit 41 asks: yes", Bit(14) | Bit(41), true, true, true, true},
      {"automatic with bit 41 asks: no", Bit(14) | Bit(41), true, false, true, false},
      {"interactive asks: yes", Bit(14), false, true, true, true},
      {"interactive asks: no", Bit(14), false, false, true, false},
      {"interactive, bit 41 changes nothing", Bit(14) | Bit(41), false, false, true, false},
  };
  for (const auto& c : cases) {
    bool asked = false;
    bool restart = DecideRestart(c.flags, c.automatic, [&] {
      asked = true;
      return c.answer;
    });
    EXPECT_EQ(restart, c.restart) << c.name;
    EXPECT_EQ(asked, c.asked) << c.name;
  }
}

TEST(LaunchCommand, ProgramAndFolder) {
  const struct {
    const char* commandLine;
    const char* program;
    const char* folder;
  } cases[] = {
      {"\"C:\\Program Files\\App\\app.exe\" /start now", "C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App"},
      {"C:\\App\\app.exe /start", "C:\\App\\app.exe", "C:\\App"},
      {"  \t\"C:\\App\\app.exe\"", "C:\\App\\app.exe", "C:\\App"},
      {"C:\\App\\app.exe\t-x", "C:\\App\\app.exe", "C:\\App"},
      {"C:\\app.exe", "C:\\app.exe", "C:\\"},
      {"app.exe /x", "app.exe", ""},
      {"bin\\app.exe", "bin\\app.exe", "bin"},
      {"\"C:\\App\\no closing quote", "C:\\App\\no closing quote", "C:\\App"},
      {"\"\" x", "", ""},
      {"", "", ""},
      {"|\"C:\\Pr\xC3\xB8gram\\app.exe\" /x", "|C:\\Pr\xC3\xB8gram\\app.exe", "|C:\\Pr\xC3\xB8gram"},
      {"|app.exe", "|app.exe", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgramOfCommandLine(c.commandLine), c.program) << c.commandLine;
    EXPECT_EQ(ProgramFolderOfCommandLine(c.commandLine), c.folder) << c.commandLine;
  }
}

TEST(LaunchCommand, QuotedProgram) {
  EXPECT_EQ(QuotedProgram("C:\\Program Files\\App\\app.exe"), "\"C:\\Program Files\\App\\app.exe\"");
  EXPECT_EQ(QuotedProgram("\"C:\\App\\app.exe\" /x"), "\"C:\\App\\app.exe\" /x");
  EXPECT_EQ(QuotedProgram("|C:\\Pr\xC3\xB8gram\\app.exe"), "|\"C:\\Pr\xC3\xB8gram\\app.exe\"");
}

}  // namespace
}  // namespace setup
