#include "setup/report/install_log_text.h"

#include "setup/payload/payload_header.h"
#include "setup/strings/string_arguments.h"

namespace setup {
namespace {

constexpr int kSeparatorStars = 46;

void AddLine(std::string& text, std::string_view label, std::string_view value) {
  text += label;
  text += value;
  text += "\r\n";
}

bool HasFinishAction(const SettingsStream& stream) {
  return !stream.FinishFile1.empty() || !stream.FinishApp.empty() || !stream.FinishFile2.empty() ||
         stream.Flag(kFlagOfferLogAtFinish);
}

}  // namespace

std::string InstallLogSeparator() { return "\r\n\r\n" + std::string(kSeparatorStars, '*') + "\r\n"; }

std::string InstallLogHeaderText(const InstallLogHeader& header) {
  std::string text;
  AddLine(text, "Installation log for: ", header.productName);
  AddLine(text, "Install date: ", header.installDate);
  if (header.showInstallType) AddLine(text, "Install type: ", header.reinstall ? "Reinstall" : "New");
  AddLine(text, "Install location: ", header.installLocation);
  AddLine(text, "Installer version: ", kRuntimeVersion);
  if (!header.productVersion.empty()) AddLine(text, "Product version: ", header.productVersion);
  if (!header.overwritingVersion.empty()) AddLine(text, "Overwriting version: ", header.overwritingVersion);
  AddLine(text, "Operating system: ", header.operatingSystem);
  text += "\r\n";
  return text;
}

std::string CancelledInstallLogLines(const std::vector<std::string>& replacedFiles) {
  std::string text = "\r\nThe installation was cancelled. These files were replaced and keep their new content:\r\n";
  for (const std::string& file : replacedFiles) text += file + "\r\n";
  return text;
}

std::string InstallLogTrailer(std::string_view summary, std::string_view successLine) {
  std::string text = "\r\n";
  if (summary.empty()) {
    text += successLine;
    text += "\r\n";
  } else {
    text += kFailureSummaryTitle;
    text += summary;
  }
  return text;
}

OutcomeNotice DecideOutcomeNotice(SettingsStream& stream, bool success) {
  if (!success) return OutcomeNotice::kAskToShowLog;
  if (stream.Flag(kFlagNoCompletionMessage)) return OutcomeNotice::kNone;
  if (!stream.Flag(kFlagWriteInstallLog)) stream.ProductFlags &= ~(uint64_t{1} << kFlagOfferLogAtFinish);
  if (stream.Flag(kFlagRestartRequired) || !HasFinishAction(stream)) return OutcomeNotice::kCompletionBox;
  return OutcomeNotice::kSummaryPage;
}

std::string FillPathArgument(std::string_view message, std::string_view path) {
  return FillDirectives(message, Directives{"s"}, {path});
}

}  // namespace setup
