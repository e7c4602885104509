#include "setup/report/install_log_text.h"
#include "tl_core/path_text.h"

#include <gtest/gtest.h>

#include <string>

#include "setup/run/failure_summary.h"

namespace setup {
namespace {

struct JoinCase {
  const char* folder;
  const char* name;
  const char* joined;
};

TEST(InstallLogText, JoinPathPutsOneBackslashBetween) {
  const JoinCase cases[] = {
      {"C:\\Program Files\\App\\Uninst", "Install.LOG", "C:\\Program Files\\App\\Uninst\\Install.LOG"},
      {"C:\\App\\", "Install.LOG", "C:\\App\\Install.LOG"},
      {"C:\\App\\\\", "\\Install.LOG", "C:\\App\\Install.LOG"},
      {"C:\\", "Install.LOG", "C:\\Install.LOG"},
      {"", "Install.LOG", "Install.LOG"},
  };
  for (const JoinCase& c : cases) EXPECT_EQ(tl::JoinPath(c.folder, c.name), c.joined) << c.folder;
}

TEST(InstallLogText, SeparatorIsBlankLineThen46Stars) {
  EXPECT_EQ(InstallLogSeparator(), "\r\n\r\n**********************************************\r\n");
  EXPECT_EQ(InstallLogSeparator().size(), 4u + 46u + 2u);
}

InstallLogHeader FullHeader() {
  InstallLogHeader h;
  h.productName = "Example App";
  h.installDate = "6-Dec-2026 9:05:07a";
  h.showInstallType = true;
  h.reinstall = false;
  h.installLocation = "C:\\Program Files\\Example";
  h.productVersion = "2.1";
  h.overwritingVersion = "2.0";
  h.operatingSystem = "Windows 10 Professional x64";
  return h;
}

TEST(InstallLogText, HeaderWithEveryLine) {
  EXPECT_EQ(InstallLogHeaderText(FullHeader()),
            "Installation log for: Example App\r\n"
            "Install date: 6-Dec-2026 9:05:07a\r\n"
            "Install type: New\r\n"
            "Install location: C:\\Program Files\\Example\r\n"
            "Installer version: 27.0.5\r\n"
            "Product version: 2.1\r\n"
            "Overwriting version: 2.0\r\n"
            "Operating system: Windows 10 Professional x64\r\n"
            "\r\n");
}

TEST(InstallLogText, OptionalHeaderLines) {
  struct Case {
    const char* name;
    void (*change)(InstallLogHeader&);
    const char* absentLine;   // a line that must be missing, or nullptr
    const char* presentLine;  // a line that must be there
  };
  const Case cases[] = {
      {"no uninstall support", [](InstallLogHeader& h) { h.showInstallType = false; }, "Install type: ",
       "Install location: "},
      {"reinstall", [](InstallLogHeader& h) { h.reinstall = true; }, "Install type: New",
       "Install type: Reinstall\r\n"},
      {"no product version", [](InstallLogHeader& h) { h.productVersion.clear(); }, "Product version: ",
       "Installer version: 27.0.5\r\nOverwriting version: 2.0\r\n"},
      {"nothing overwritten", [](InstallLogHeader& h) { h.overwritingVersion.clear(); }, "Overwriting version: ",
       "Product version: 2.1\r\nOperating system: "},
  };
  for (const Case& c : cases) {
    InstallLogHeader h = FullHeader();
    c.change(h);
    std::string text = InstallLogHeaderText(h);
    EXPECT_EQ(text.find(c.absentLine), std::string::npos) << c.name;
    EXPECT_NE(text.find(c.presentLine), std::string::npos) << c.name;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n") << c.name;
  }
}

TEST(InstallLogText, TrailerOfSuccessAndFailure) {
  EXPECT_EQ(InstallLogTrailer("", "Installation complete."), "\r\nInstallation complete.\r\n");
  // The summary goes in unchanged, with its own line ends.
  EXPECT_EQ(InstallLogTrailer("Not installed: a.dll\r\n\r\n", "Installation complete."),
            "\r\n*** FAILURE SUMMARY ***\r\nNot installed: a.dll\r\n\r\n");
}

TEST(InstallLogText, CancelledRunListsTheFilesItReplaced) {
  const std::string lines = CancelledInstallLogLines({"C:\\App\\a.dll", "C:\\App\\sub\\b.txt"});
  EXPECT_NE(lines.find("cancelled"), std::string::npos);
  EXPECT_NE(lines.find("C:\\App\\a.dll\r\nC:\\App\\sub\\b.txt\r\n"), std::string::npos) << lines;
  EXPECT_EQ(lines.rfind("\r\n"), lines.size() - 2);
}

constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

TEST(InstallLogText, OutcomeNoticeDecision) {
  struct Case {
    const char* name;
    uint64_t flags;
    const char* finishApp;
    bool success;
    OutcomeNotice notice;
    bool bit57After;
  };
  const Case cases[] = {
      {"failure asks", Bit(22), "", false, OutcomeNotice::kAskToShowLog, false},
      {"failure leaves bit 57", Bit(57), "", false, OutcomeNotice::kAskToShowLog, true},
      {"no completion message", Bit(22) | Bit(57), "", true, OutcomeNotice::kNone, true},
      {"no finish action", 0, "", true, OutcomeNotice::kCompletionBox, false},
      {"finish action", 0, "app.exe", true, OutcomeNotice::kSummaryPage, false},
      {"restart wins over finish action", Bit(14), "app.exe", true, OutcomeNotice::kCompletionBox, false},
      {"log offer with log", Bit(6) | Bit(57), "", true, OutcomeNotice::kSummaryPage, true},
      {"log offer without log is withdrawn", Bit(57), "", true, OutcomeNotice::kCompletionBox, false},
  };
  for (const Case& c : cases) {
    SettingsStream stream;
    stream.ProductFlags = c.flags;
    stream.FinishApp = c.finishApp;
    EXPECT_EQ(DecideOutcomeNotice(stream, c.success), c.notice) << c.name;
    EXPECT_EQ(stream.Flag(57), c.bit57After) << c.name;
  }
}

TEST(InstallLogText, OutcomeNoticeSeesEveryFinishAction) {
  for (std::string SettingsStream::*field :
       {&SettingsStream::FinishFile1, &SettingsStream::FinishApp, &SettingsStream::FinishFile2}) {
    SettingsStream stream;
    stream.*field = "readme.txt";
    EXPECT_EQ(DecideOutcomeNotice(stream, true), OutcomeNotice::kSummaryPage);
  }
}

TEST(InstallLogText, FillPathArgumentTakesOnlyThePath) {
  struct Case {
    const char* message;
    const char* filled;
  };
  const Case cases[] = {
      {"See %s?", "See C:\\A\\Install.LOG?"},
      {"100%% done. %s", "100% done. C:\\A\\Install.LOG"},
      {"%d %n %x: %s", "%d %n %x: C:\\A\\Install.LOG"},
      {"%s and %s", "C:\\A\\Install.LOG and %s"},
      {"No path here.", "No path here."},
      {"Ends in %", "Ends in %"},
  };
  for (const Case& c : cases) EXPECT_EQ(FillPathArgument(c.message, "C:\\A\\Install.LOG"), c.filled) << c.message;
}

TEST(FailureSummary, AppendsEveryFormToTheRunsSummary) {
  FailureSummary failures;
  failures.Append("Illegal registry entry: ");
  failures.AppendFormat("Code %d: %s\r\n\r\n", 5, "Access denied.");
  failures.AppendParts({"a", "", "b\r\n"});
  EXPECT_EQ(failures.text(), "Illegal registry entry: Code 5: Access denied.\r\n\r\nab\r\n");
}

TEST(FailureSummary, FailedFileWriteEntry) {
  EXPECT_EQ(FailedFileWriteEntry("Could not write", "C:\\App\\Uninstall.DAT", "Access is denied."),
            "Could not write C:\\App\\Uninstall.DAT\r\nAccess is denied.\r\n\r\n");
  // A "%" in a path or an error text is data, not a directive.
  EXPECT_EQ(FailedFileWriteEntry("X", "C:\\100%s\\a", "%d"), "X C:\\100%s\\a\r\n%d\r\n\r\n");
}

}  // namespace
}  // namespace setup
