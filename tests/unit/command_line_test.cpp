#include "setup/entry/command_line.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(CommandLineTokenizer, SplitsOnBlanksAndKeepsQuotedSections) {
  struct Case {
    const char* tail;
    std::vector<std::string> tokens;
  } cases[] = {
      {"", {}},
      {" \t\r\n ", {}},
      {"/a", {"/a"}},
      {"  /a\t/b  ", {"/a", "/b"}},
      {"/d:\"C:\\a b\"", {"/d:\"C:\\a b\""}},
      {"/d:\"C:\\a b\" /a", {"/d:\"C:\\a b\"", "/a"}},
      // A doubled quote inside a quoted section is one quote.
      {"/b1:\"echo \"\"x\"\"\"", {"/b1:\"echo \"x\"\""}},
      // An unterminated quote runs to the end of the line.
      {"/n:\"open end", {"/n:\"open end\""}},
      // A quoted section in the middle of a token continues the token.
      {"/n:a\"b c\"d e", {"/n:a\"b c\"d", "e"}},
      {"/r:\"\"", {"/r:\"\""}},
  };
  for (const Case& c : cases) EXPECT_EQ(TokenizeCommandLine(c.tail), c.tokens) << c.tail;
}

TEST(CommandLineTokenizer, ExaminesAtMostNineteenTokens) {
  std::string tail;
  for (int i = 0; i < 19; ++i) tail += "/a ";
  tail += "/twentieth";
  auto tokens = TokenizeCommandLine(tail);
  ASSERT_EQ(tokens.size(), 19u);
  EXPECT_EQ(tokens.back(), "/a");
  // The twentieth token would be an illegal atom; it is never looked at.
  EXPECT_TRUE(ParseCommandLine(tail).ok);
}

TEST(CommandLineAtoms, SetTheirFields) {
  auto parse = ParseCommandLine("/a /d:\"C:\\a b\" /n:\"My App\" /r:\"notepad.exe `x y`\" MIN");
  EXPECT_FALSE(parse.ok);  // MIN without a slash is an unexpected parameter

  parse = ParseCommandLine("/a /d:\"C:\\a b\" /n:\"My App\" /r:\"notepad.exe `x y`\" -min");
  ASSERT_TRUE(parse.ok) << parse.usageReason;
  const CommandLineOptions& o = parse.options;
  EXPECT_TRUE(o.automaticMode);
  EXPECT_TRUE(o.startMinimized);
  EXPECT_FALSE(o.uninstallMode);
  EXPECT_EQ(o.installLocation, "C:\\a b");
  EXPECT_EQ(o.displayName, "My App");
  EXPECT_EQ(o.runAfterInstall, "notepad.exe \"x y\"");
}

TEST(CommandLineAtoms, Table) {
  struct Case {
    const char* tail;
    bool ok;
    const char* reason;  // when refused
  } cases[] = {
      {"/a", true, ""},
      {"-A", true, ""},
      {"/ab", false, "Illegal command line atom:\nab"},
      {"a", false, "Unexpected command line parameter:\na"},
      {"/a x", false, "Unexpected command line parameter:\nx"},
      {"/r:notepad", false, "Illegal command line atom:\nr:notepad"},
      {"/b1:echo", false, "Illegal command line atom:\nb1:echo"},
      {"/b4:\"x\"", false, "Illegal command line atom:\nb4:\"x\""},
      {"/mini", false, "Illegal command line atom:\nmini"},
      {"/x", false, "Illegal command line atom:\nx"},
      {"/", false, "Illegal command line atom:\n"},
      {"/uninstall", true, ""},
      {"/MIN /min", true, ""},
  };
  for (const Case& c : cases) {
    auto parse = ParseCommandLine(c.tail);
    EXPECT_EQ(parse.ok, c.ok) << c.tail;
    if (!c.ok) EXPECT_EQ(parse.usageReason, c.reason) << c.tail;
  }
}

TEST(CommandLineAtoms, UninstallNames) {
  struct Case {
    const char* tail;
    const char* name;
  } cases[] = {
      {"/u", ""},
      {"/U:\"My App\"", "My App"},
      {"/u:Plain", "Plain"},
      {"/update", ""},          // any atom beginning with U selects uninstalling, without a name
      {"/u:\"half", "half"},  // the tokenizer closes the open quote: both quotes go
      {"/u:\"a\" /u:\"b\"", "b"},  // a later atom replaces the earlier value
  };
  for (const Case& c : cases) {
    auto parse = ParseCommandLine(c.tail);
    ASSERT_TRUE(parse.ok) << c.tail;
    EXPECT_TRUE(parse.options.uninstallMode) << c.tail;
    EXPECT_EQ(parse.options.uninstallKeyName, c.name) << c.tail;
  }
}

TEST(CommandLineAtoms, BatchAppendSplitsLinesAndTurnsBackquotesIntoQuotes) {
  auto parse = ParseCommandLine("/b1:\"echo one~~echo `two`\" /B3:\"del x\" /b2:\"a~~~b\"");
  ASSERT_TRUE(parse.ok) << parse.usageReason;
  EXPECT_EQ(parse.options.batchAppend[0], "echo one\r\necho \"two\"");
  EXPECT_EQ(parse.options.batchAppend[1], "a\r\n~b");
  EXPECT_EQ(parse.options.batchAppend[2], "del x");
}

TEST(CommandLineAtoms, RunAfterInstallKeepsTildesAndDropsOneTrailingQuote) {
  auto parse = ParseCommandLine("/r:\"a~~b\"");
  ASSERT_TRUE(parse.ok);
  EXPECT_EQ(parse.options.runAfterInstall, "a~~b");
}

TEST(CommandLineAtoms, DirectoryQuotesGoOnlyInPairs) {
  auto parse = ParseCommandLine("/d:C:\\plain /n:\"\"");
  ASSERT_TRUE(parse.ok);
  EXPECT_EQ(parse.options.installLocation, "C:\\plain");
  EXPECT_EQ(parse.options.displayName, "");
}

TEST(OwnProgramPath, Table) {
  struct Case {
    const char* commandLine;
    const char* module;
    const char* path;
  } cases[] = {
      {"\"C:\\dl\\my setup.exe\" /a", "M.exe", "C:\\dl\\my setup.exe"},
      {"C:\\dl\\setup /a", "M.exe", "C:\\dl\\setup.EXE"},
      {"  setup.exe  ", "M.exe", "setup.exe"},
      {"", "C:\\x\\module.exe", "C:\\x\\module.exe"},
      {" \t ", "C:\\x\\module", "C:\\x\\module.EXE"},
      {"\"C:\\a.b\\setup\"", "M.exe", "C:\\a.b\\setup.EXE"},  // a dot in a folder is no extension
  };
  for (const Case& c : cases) EXPECT_EQ(OwnProgramPath(c.commandLine, c.module), c.path) << c.commandLine;
}

TEST(UsageText, HasBothPlaceholdersAndTheSwitchTable) {
  std::string usage = kUsageFormat;
  EXPECT_EQ(usage.rfind("%s\r\n\r\nUsage:\r\n%s [/a] [/b1:\"commands\"]", 0), 0u);
  EXPECT_NE(usage.find("/a                  \tAutomatic mode.\r\n"), std::string::npos);
  EXPECT_NE(usage.find("/r:\"program\"\tRun the specified program after a successful installation."),
            std::string::npos);
  EXPECT_EQ(usage.find("%", usage.find("%s", 3) + 1), std::string::npos);
}

}  // namespace
}  // namespace setup
