#include "setup/files/replacement_rules.h"

#include "tl_core/version_order.h"
#include "setup/payload/file_record.h"
#include "tl_core/text.h"

namespace setup {
namespace {

bool HasDateAndTime(const tl::DateTime& stamp) { return stamp.HasDate() && stamp.hour >= 0; }
bool IsPermanent(uint32_t flags) { return (flags & kFileFlagPermanent) != 0; }

bool ComparesDatesOnly(uint32_t kind) {
  return kind == KindValue(FileKind::kShared) || kind == KindValue(FileKind::kFont);
}

bool ComparesVersions(uint32_t kind) {
  switch (static_cast<FileKind>(kind)) {
    case FileKind::kSystem:
    case FileKind::kComServer:
    case FileKind::kTypeLibrary:
    case FileKind::kVersionedApplication:
      return true;
    default:
      return false;
  }
}

ReplacementDecision Skip(const ReplacementInput& input, std::string_view why) {
  ReplacementDecision decision;
  if (!why.empty()) decision.logLine = input.target + std::string(why);
  return decision;
}

ReplacementDecision Write(const ReplacementInput& input, bool existedBefore, std::string_view line) {
  ReplacementDecision decision;
  decision.write = true;
  decision.existedBefore = existedBefore;
  if (!line.empty()) decision.logLine = input.target + std::string(line);
  return decision;
}

constexpr char kOutOfDate[] = " is out of date and will be replaced.\r\n";

// Skips decided by ReplaceMode; empty when the kind's rules decide.
std::optional<ReplacementDecision> ApplyReplaceMode(const ReplacementInput& input, const ExistingFileFacts& existing) {
  std::optional<ReplacementDecision> skip;
  switch (ReplaceModeOf(input.flags)) {
    case ReplaceMode::kNever:
      return Skip(input, "");
    case ReplaceMode::kOnlyIfExists:
      if (!existing.exists) return Skip(input, " was not installed because it does not already exist.\r\n");
      return std::nullopt;
    case ReplaceMode::kOnlyIfMissing:
      if (existing.exists) skip = Skip(input, " was not installed because it already exists.\r\n");
      break;
    case ReplaceMode::kNotOverNewer:
      if (existing.stamp && HasDateAndTime(*existing.stamp) && HasDateAndTime(input.stamp) &&
          tl::CompareDateTime(*existing.stamp, input.stamp) > 0)
        skip = Skip(input, " was not installed because the existing file is newer.\r\n");
      break;
    default:
      return std::nullopt;
  }
  if (skip) skip->recordForUninstall = IsPrivateKind(input.kind) && !IsPermanent(input.flags);
  return skip;
}

ReplacementDecision ApplyDateRule(const ReplacementInput& input, const ExistingFileFacts& existing) {
  const bool upToDate = HasDateAndTime(input.stamp) && existing.stamp &&
                        tl::CompareDateTime(*existing.stamp, input.stamp) >= 0;
  if (upToDate) return Skip(input, " is up to date.\r\n");
  return Write(input, true, kOutOfDate);
}

ReplacementDecision ApplyVersionAndDateRules(const ReplacementInput& input, const ExistingFileFacts& existing) {
  auto skipVersioned = [&](std::string why) {
    ReplacementDecision decision = Skip(input, why);
    decision.recordForUninstall = input.kind == KindValue(FileKind::kVersionedApplication) && !IsPermanent(input.flags);
    return decision;
  };
  std::string reason;
  if (!input.version.empty() && !existing.version.empty()) {
    if (tl::CompareVersionTexts(input.version, existing.version) <= 0)
      return skipVersioned(tl::Format(" was not installed because its version (%s) is not newer than %s\r\n",
                                      input.version.c_str(), existing.version.c_str()));
    reason = tl::Format("its version (%s) is newer than %s", input.version.c_str(), existing.version.c_str());
  }
  if (existing.stamp) {
    const std::string recordText = tl::DateTimeText(input.stamp);
    const std::string existingText = tl::DateTimeText(*existing.stamp);
    if (tl::CompareDateTime(input.stamp, *existing.stamp) <= 0)
      return skipVersioned(tl::Format(" was not installed because its date (%s) is not newer than %s.\r\n",
                                      recordText.c_str(), existingText.c_str()));
    if (!reason.empty()) reason += " and ";
    reason += tl::Format("its date (%s) is newer than %s", recordText.c_str(), existingText.c_str());
  }
  if (reason.empty()) return Write(input, true, kOutOfDate);
  return Write(input, true, " needs replacement because " + reason + "\r\n");
}

}  // namespace

ReplaceMode ReplaceModeOf(uint32_t flags) {
  return static_cast<ReplaceMode>((flags & kFileFlagReplaceModeMask) >> kFileFlagReplaceModeShift);
}

bool IsPrivateKind(uint32_t kind) {
  switch (static_cast<FileKind>(kind)) {
    case FileKind::kApplication:
    case FileKind::kStartupApplication:
    case FileKind::kVersionedApplication:
    case FileKind::kDriverPackage:
    case FileKind::kInstallerPackage:
    case FileKind::kControlPanelApplet:
      return true;
    default:
      return false;
  }
}

ReplacementDecision DecideReplacement(const ReplacementInput& input, const ExistingFileFacts& existing) {
  if (auto decided = ApplyReplaceMode(input, existing)) return *decided;
  if (!existing.exists || !(ComparesDatesOnly(input.kind) || ComparesVersions(input.kind)))
    return Write(input, false, "");
  if (ComparesDatesOnly(input.kind)) return ApplyDateRule(input, existing);
  return ApplyVersionAndDateRules(input, existing);
}

}  // namespace setup
