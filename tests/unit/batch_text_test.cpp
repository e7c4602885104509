#include "setup/vars/batch_text.h"

#include <gtest/gtest.h>

#include <string>

namespace setup {
namespace {

TEST(BatchText, BlankTexts) {
  const struct {
    const char* text;
    bool blank;
  } cases[] = {
      {"", true},       {" ", true},        {"\r\n\t \n\r", true}, {"x", false},
      {"  echo", false}, {"\r\n:\r\n", false}, {"\f", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsBlankBatchText(c.text), c.blank) << '"' << c.text << '"';
}

TEST(BatchText, Appendix) {
  const struct {
    const char* text;
    const char* appendix;
    const char* expected;
  } cases[] = {
      {"echo a", "echo b", "echo a\r\necho b"},
      {"echo a\r\n", "echo b", "echo a\r\necho b"},
      {"echo a\n", "echo b", "echo a\necho b"},
      {"echo a\r", "echo b", "echo a\recho b"},
      {"", "echo b", "\r\necho b"},  // a command-line batch without a payload batch still runs
      {"echo a", "", "echo a"},
      {"", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithBatchAppendix(c.text, c.appendix), c.expected) << c.text << "+" << c.appendix;
}

TEST(BatchText, PauseLines) {
  const struct {
    const char* line;
    bool pause;
  } cases[] = {
      {"pause", true},         {"PAUSE", true},      {"@pause", true},        {"  @ Pause  ", true},
      {"\t@\tpause\t", true},  {"pause now", false}, {"echo pause", false},   {"@@pause", false},
      {"pause.", false},       {"", false},          {"@", false},            {"paus", false},
      {"rem pause", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPauseLine(c.line), c.pause) << '"' << c.line << '"';
}

TEST(BatchText, WithoutPauseLines) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"echo a\r\npause\r\necho b", "echo a\r\necho b\r\n"},
      {"echo a\npause\necho b\n", "echo a\r\necho b\r\n"},
      {"echo a\rPAUSE\recho b", "echo a\r\necho b\r\n"},
      {"pause", ""},
      {"echo a\r\n\r\necho b\r\n", "echo a\r\n\r\necho b\r\n"},
      {"pause now\r\n @pause \r\n", "pause now\r\n"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithoutPauseLines(c.text), c.expected) << c.text;
}

TEST(BatchText, CrLfLineEnds) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\rb", "a\r\nb\r\n"},
      {"a\r\nb", "a\r\nb\r\n"},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
      {"a\n\n", "a\r\n\r\n"},
      {"a\r\n", "a\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithCrLfLineEnds(c.text), c.expected) << c.text;
}

TEST(BatchText, FileText) {
  const std::string set = "SET Bits=32\r\n";
  const struct {
    const char* name;
    const char* batch;
    bool dropPause;
    const char* expected;
  } cases[] = {
      {"visible interactive run keeps pause", "echo a\r\npause", false,
       "@echo off\r\nSET Bits=32\r\necho a\r\npause\r\n"},
      {"hidden or automatic run drops pause", "echo a\r\n@PAUSE\r\necho b", true,
       "@echo off\r\nSET Bits=32\r\necho a\r\necho b\r\n"},
      {"unix line ends", "echo a\necho b\n", false, "@echo off\r\nSET Bits=32\r\necho a\r\necho b\r\n"},
      {"unix line ends, filtered", "echo a\npause\n", true, "@echo off\r\nSET Bits=32\r\necho a\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildBatchFileText(set, c.batch, c.dropPause), c.expected) << c.name;
}

TEST(BatchText, Interpreter) {
  EXPECT_EQ(BatchInterpreter("C:\\WINDOWS\\system32\\cmd.exe", "C:\\WINDOWS\\system32"),
            "C:\\WINDOWS\\system32\\cmd.exe");
  EXPECT_EQ(BatchInterpreter("", "C:\\WINDOWS\\system32"), "C:\\WINDOWS\\system32\\cmd.exe");
  EXPECT_EQ(BatchInterpreter(" \t", "C:\\WINDOWS\\system32"), "C:\\WINDOWS\\system32\\cmd.exe");
  EXPECT_EQ(BatchInterpreter("", ""), "cmd.exe");
}

// The uninstall command, then this run again, then the batch's own deletion.
TEST(BatchText, MustUninstallBatch) {
  EXPECT_EQ(MustUninstallBatchText("\"C:\\Old\\Uninstall.exe\" /u:\"Old\"", "\"Z:\\dl\\setup.exe\" /d:\"C:\\New\"",
                                   "C:\\Temp\\orv1f\\utrri.bat"),
            "\"C:\\Old\\Uninstall.exe\" /u:\"Old\"\r\n"
            "\"Z:\\dl\\setup.exe\" /d:\"C:\\New\"\r\n"
            "del \"C:\\Temp\\orv1f\\utrri.bat\"\r\n");
}

TEST(BatchText, CommandLine) {
  const char* cmd = "C:\\WINDOWS\\system32\\cmd.exe";
  const struct {
    const char* name;
    const char* batch;
    const char* log;
    const char* expected;
  } cases[] = {
      {"not captured", "C:\\PROGRA~1\\DEMO\\SETUPBAT.BAT", "",
       "\"C:\\WINDOWS\\system32\\cmd.exe\" /e:10000 /c C:\\PROGRA~1\\DEMO\\SETUPBAT.BAT"},
      {"captured", "C:\\PROGRA~1\\DEMO\\SETUPBAT.BAT", "C:\\PROGRA~1\\DEMO\\OV_BAT~1.LOG",
       "\"C:\\WINDOWS\\system32\\cmd.exe\" /e:10000 /c C:\\PROGRA~1\\DEMO\\SETUPBAT.BAT > "
       "C:\\PROGRA~1\\DEMO\\OV_BAT~1.LOG"},
      {"no short name, not captured", "D:\\My App\\SETUPBAT.BAT", "",
       "\"C:\\WINDOWS\\system32\\cmd.exe\" /e:10000 /c \"\"D:\\My App\\SETUPBAT.BAT\"\""},
      {"no short name, captured", "D:\\My App\\SETUPBAT.BAT", "D:\\My App\\ov_batch.log",
       "\"C:\\WINDOWS\\system32\\cmd.exe\" /e:10000 /c \"\"D:\\My App\\SETUPBAT.BAT\" > \"D:\\My "
       "App\\ov_batch.log\"\""},
      {"special character", "D:\\A&B\\SETUPBAT.BAT", "",
       "\"C:\\WINDOWS\\system32\\cmd.exe\" /e:10000 /c \"\"D:\\A&B\\SETUPBAT.BAT\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(BatchCommandLine(cmd, c.batch, c.log), c.expected) << c.name;
}

}  // namespace
}  // namespace setup
