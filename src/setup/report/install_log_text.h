#pragma once
// The texts of "Install.LOG": the block header, the separator between the
// blocks of later installations and the outcome that ends a block; and what
// the user is told about the outcome at the end of an interactive run.
#include <string>
#include <string_view>
#include <vector>

#include "setup/payload/settings_stream.h"
#include "setup/payload/product_flags.h"

namespace setup {

inline constexpr char kInstallLogFileName[] = "Install.LOG";
inline constexpr char kInstallDatePattern[] = "d-M-yy h:ii:ssap";
inline constexpr char kFailureSummaryTitle[] = "*** FAILURE SUMMARY ***\r\n";

// "\r\n\r\n", 46 asterisks, "\r\n": written before a block when the file
// already holds one.
std::string InstallLogSeparator();

struct InstallLogHeader {
  std::string productName;
  std::string installDate;   // already formatted
  bool showInstallType = false;  // ProductFlags bit 2
  bool reinstall = false;
  std::string installLocation;
  std::string productVersion;     // no line when empty
  std::string overwritingVersion;  // no line when empty
  std::string operatingSystem;
};

// The header lines, ending with the blank line before the step lines.
std::string InstallLogHeaderText(const InstallLogHeader& header);

// What follows the step lines: "\r\n", then the failure summary under its
// title, or (an empty summary) the success line.
// The closing lines of a cancelled installation's log: the files it
// replaced, which a cancel cannot give back, one path per line.
std::string CancelledInstallLogLines(const std::vector<std::string>& replacedFiles);
inline constexpr char kCancelledLine[] = "Installation cancelled.";

std::string InstallLogTrailer(std::string_view summary, std::string_view successLine);

enum class OutcomeNotice {
  kNone,            // nothing is shown
  kAskToShowLog,    // the run failed: ask whether to view the log
  kCompletionBox,   // the plain completion message
  kSummaryPage,     // the wizard's last page with the finish actions
};

// What an interactive run tells the user at its end. On success without a
// log to write, the offer to view it at the finish (bit 57) is withdrawn
// from the stream's ProductFlags.
OutcomeNotice DecideOutcomeNotice(SettingsStream& stream, bool success);

// Fills the one "%s" of an author's message with the path. Only "%s" and
// "%%" are taken as directives: any other "%" is copied as it stands, so a
// message text can never make the formatter read arguments it was not given
// (FillDirectives with "s").
std::string FillPathArgument(std::string_view message, std::string_view path);

}  // namespace setup
