#include "setup/files/replacement_rules.h"

#include <gtest/gtest.h>

#include "tl_core/version_order.h"
#include "tl_core/date_time.h"

namespace setup {
namespace {

constexpr tl::DateTime kNoDate{0, 0, 0, -1, 0, 0};
constexpr tl::DateTime At(int h, int m, int s) { return {2023, 7, 4, h, m, s}; }
constexpr tl::DateTime DateOnly() { return {2023, 7, 4, -1, 0, 0}; }

uint32_t Mode(ReplaceMode mode) { return static_cast<uint32_t>(mode) << 2; }
constexpr uint32_t kPermanent = 1u << 5;

TEST(VersionOrder, ComparesAsTheInstallerDoes) {
  struct Case {
    const char* newVersion;
    const char* existing;
    int expected;
  } cases[] = {
      {"2.0.0", "2.0", 1},          // a longer list is newer
      {"1", "1.0", -1},
      {"1.5a", "1.5b", -1},         // suffix letters decide equal lists
      {"1.5b", "1.5", 1},           // no letter counts as 0
      {"1.2.3", "1.2.3", 0},
      {"1,2,3", "1.2.3", 0},        // any other sign separates
      {"10.0", "9.9", 1},           // numbers, not text
      {"1.10", "1.9", 1},
      {".5", "0.5", 0},             // a dot before the first number is a leading 0
      {"1.2b3", "1.2.3", 1},        // a letter ends a number: both lists are 1,2,3, the letter decides
      {"v2", "v10", -1},
      {"007", "7", 0},
      {"99999999999999999999999", "99999999999999999999998", 1},  // no overflow
      {"", "", 0},
      {"1", "", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tl::CompareVersionTexts(c.newVersion, c.existing), c.expected) << c.newVersion << " vs " << c.existing;
}

TEST(DateTimeOrder, MissingDateOrTimeSortsAfterRealOnes) {
  struct Case {
    tl::DateTime a, b;
    int expected;
  } cases[] = {
      {At(9, 5, 0), At(9, 5, 1), -1},
      {At(9, 5, 1), At(9, 5, 0), 1},
      {At(9, 5, 0), At(9, 5, 0), 0},
      {{2023, 7, 5, 0, 0, 0}, At(23, 59, 59), 1},
      {kNoDate, At(9, 0, 0), 1},
      {At(9, 0, 0), kNoDate, -1},
      {DateOnly(), At(9, 0, 0), 1},
      {At(9, 0, 0), DateOnly(), -1},
      {DateOnly(), DateOnly(), 0},
      {kNoDate, kNoDate, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(tl::CompareDateTime(c.a, c.b), c.expected) << tl::DateTimeText(c.a);
  EXPECT_EQ(tl::DateTimeText(At(9, 5, 0)), "2023/7/04 9:05:00");
}

struct RuleCase {
  const char* name;
  uint32_t kind;
  uint32_t flags;
  tl::DateTime recordStamp;
  const char* recordVersion;
  ExistingFileFacts existing;
  bool write;
  bool existedBefore;
  bool recordForUninstall;
  const char* logAfterTarget;  // the log line without the leading target
};

ExistingFileFacts Existing(std::optional<tl::DateTime> stamp, const char* version = "") {
  return {true, stamp, version};
}
const ExistingFileFacts kMissing{};

const RuleCase kRuleCases[] = {
    // ReplaceMode, all kinds
    {"never", 0, Mode(ReplaceMode::kNever), At(9, 0, 0), "", kMissing, false, false, false, ""},
    {"only-if-exists, missing", 0, Mode(ReplaceMode::kOnlyIfExists), At(9, 0, 0), "", kMissing, false, false, false,
     " was not installed because it does not already exist.\r\n"},
    {"only-if-exists, present", 0, Mode(ReplaceMode::kOnlyIfExists), At(9, 0, 0), "", Existing(At(8, 0, 0)), true,
     false, false, ""},
    {"only-if-missing, present, private", 0, Mode(ReplaceMode::kOnlyIfMissing), At(9, 0, 0), "",
     Existing(At(8, 0, 0)), false, false, true, " was not installed because it already exists.\r\n"},
    {"only-if-missing, present, permanent", 0, Mode(ReplaceMode::kOnlyIfMissing) | kPermanent, At(9, 0, 0), "",
     Existing(At(8, 0, 0)), false, false, false, " was not installed because it already exists.\r\n"},
    {"only-if-missing, present, shared", 1, Mode(ReplaceMode::kOnlyIfMissing), At(9, 0, 0), "",
     Existing(At(8, 0, 0)), false, false, false, " was not installed because it already exists.\r\n"},
    {"not-over-newer, newer on disk", 0, Mode(ReplaceMode::kNotOverNewer), At(9, 0, 0), "", Existing(At(9, 0, 1)),
     false, false, true, " was not installed because the existing file is newer.\r\n"},
    {"not-over-newer, record without date", 0, Mode(ReplaceMode::kNotOverNewer), kNoDate, "",
     Existing(At(9, 0, 1)), true, false, false, ""},
    {"not-over-newer, same time", 0, Mode(ReplaceMode::kNotOverNewer), At(9, 0, 0), "", Existing(At(9, 0, 0)), true,
     false, false, ""},
    {"mode 5 behaves as always", 0, 5u << 2, At(9, 0, 0), "", Existing(At(10, 0, 0)), true, false, false, ""},
    // Plain kinds: no rule, never "existed before"
    {"kind 0 over a file", 0, 0, At(9, 0, 0), "", Existing(At(10, 0, 0)), true, false, false, ""},
    {"kind 12 over a file", 12, 0, At(9, 0, 0), "", Existing(At(10, 0, 0)), true, false, false, ""},
    // Shared and font kinds: the date rule
    {"shared, up to date", 1, 0, At(9, 0, 0), "", Existing(At(9, 0, 0)), false, false, false,
     " is up to date.\r\n"},
    {"shared, older on disk", 1, 0, At(9, 0, 1), "", Existing(At(9, 0, 0)), true, true, false,
     " is out of date and will be replaced.\r\n"},
    {"shared, record without time", 1, 0, DateOnly(), "", Existing(At(23, 0, 0)), true, true, false,
     " is out of date and will be replaced.\r\n"},
    {"font, stamp unreadable", 4, 0, At(9, 0, 0), "", Existing(std::nullopt), true, true, false,
     " is out of date and will be replaced.\r\n"},
    {"shared, missing", 1, 0, At(9, 0, 0), "", kMissing, true, false, false, ""},
    // Versioned kinds: the version rule, then the date rule
    {"kind 9, 2.0.0 over 2.0 and newer date", 9, 0, At(9, 0, 1), "2.0.0", Existing(At(9, 0, 0), "2.0"), true, true,
     false,
     " needs replacement because its version (2.0.0) is newer than 2.0 and its date (2023/7/04 9:00:01) is newer "
     "than 2023/7/04 9:00:00\r\n"},
    {"kind 9, 2.0.0 over 2.0, same date", 9, 0, At(9, 0, 0), "2.0.0", Existing(At(9, 0, 0), "2.0"), false, false,
     true, " was not installed because its date (2023/7/04 9:00:00) is not newer than 2023/7/04 9:00:00.\r\n"},
    {"kind 7, 1.5a over 1.5b", 7, 0, At(9, 0, 0), "1.5a", Existing(At(8, 0, 0), "1.5b"), false, false, false,
     " was not installed because its version (1.5a) is not newer than 1.5b\r\n"},
    {"kind 6, same version", 6, 0, At(9, 0, 0), "1.2.3", Existing(At(8, 0, 0), "1.2.3"), false, false, false,
     " was not installed because its version (1.2.3) is not newer than 1.2.3\r\n"},
    {"kind 9 permanent, same version", 9, kPermanent, At(9, 0, 0), "1.2.3", Existing(At(8, 0, 0), "1.2.3"), false,
     false, false, " was not installed because its version (1.2.3) is not newer than 1.2.3\r\n"},
    {"kind 8, no version on disk, one second newer", 8, 0, At(9, 5, 1), "1.0", Existing(At(9, 5, 0), ""), true, true,
     false, " needs replacement because its date (2023/7/04 9:05:01) is newer than 2023/7/04 9:05:00\r\n"},
    {"kind 8, no record stamp", 8, 0, kNoDate, "", Existing(At(9, 5, 0), ""), true, true, false,
     " needs replacement because its date (0/0/00 -1:00:00) is newer than 2023/7/04 9:05:00\r\n"},
    {"kind 6, newer version, stamp unreadable", 6, 0, At(9, 0, 0), "2", Existing(std::nullopt, "1"), true, true,
     false, " needs replacement because its version (2) is newer than 1\r\n"},
    {"kind 6, nothing to compare", 6, 0, At(9, 0, 0), "", Existing(std::nullopt, ""), true, true, false,
     " is out of date and will be replaced.\r\n"},
    {"kind 7, missing", 7, 0, At(9, 0, 0), "1.0", kMissing, true, false, false, ""},
};

TEST(ReplacementRules, DecideAndLogAsWritten) {
  for (const RuleCase& c : kRuleCases) {
    ReplacementInput input{"C:\\t\\f.dll", c.kind, c.flags, c.recordStamp, c.recordVersion};
    ReplacementDecision d = DecideReplacement(input, c.existing);
    EXPECT_EQ(d.write, c.write) << c.name;
    EXPECT_EQ(d.existedBefore, c.existedBefore) << c.name;
    EXPECT_EQ(d.recordForUninstall, c.recordForUninstall) << c.name;
    std::string expectedLog = *c.logAfterTarget ? std::string("C:\\t\\f.dll") + c.logAfterTarget : "";
    EXPECT_EQ(d.logLine, expectedLog) << c.name;
  }
}

}  // namespace
}  // namespace setup
