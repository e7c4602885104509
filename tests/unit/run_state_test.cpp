#include "setup/run/run_state.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(EarlierInstallation, KindFromWhatWasFound) {
  const struct {
    const char* name;
    bool found;
    const char* oldVersion;
    const char* newVersion;
    InstallationKind kind;
  } cases[] = {
      {"nothing found", false, "", "2.0", InstallationKind::kNew},
      {"a version without its folder", false, "1.0", "2.0", InstallationKind::kNew},
      {"older", true, "1.9", "2.0", InstallationKind::kUpgrade},
      {"older by its suffix", true, "2.0a", "2.0b", InstallationKind::kUpgrade},
      {"newer", true, "2.0.1", "2.0", InstallationKind::kDowngrade},
      {"the same", true, "2.0", "2.0", InstallationKind::kReinstall},
      {"found without a version", true, "", "2.0", InstallationKind::kReinstall},
      {"a product without a version", true, "1.0", "", InstallationKind::kReinstall},
  };
  for (const auto& c : cases) EXPECT_EQ(KindOfInstallation(c.found, c.oldVersion, c.newVersion), c.kind) << c.name;
}

TEST(EarlierInstallation, NoticeNamesTheComparisonOnlyWhenOneWasMade) {
  const struct {
    const char* name;
    InstallationKind kind;
    const char* oldVersion;
    const char* newVersion;
    bool compareVersions;
    int notice;
  } cases[] = {
      {"upgrade", InstallationKind::kUpgrade, "1.0", "2.0", true, 5},
      {"downgrade", InstallationKind::kDowngrade, "3.0", "2.0", true, 6},
      {"same version", InstallationKind::kReinstall, "2.0", "2.0", true, 4},
      {"versions not compared", InstallationKind::kUpgrade, "1.0", "2.0", false, 3},
      {"no old version", InstallationKind::kReinstall, "", "2.0", true, 3},
      {"no new version", InstallationKind::kReinstall, "1.0", "", true, 3},
  };
  for (const auto& c : cases) {
    EarlierInstallation earlier;
    earlier.found = true;
    earlier.version = c.oldVersion;
    earlier.kind = c.kind;
    EXPECT_EQ(EarlierInstallationNotice(earlier, c.newVersion, c.compareVersions), c.notice) << c.name;
  }
}

// The earlier installation goes first unless the automatic-upgrade version
// is set and the installed version is not older than it.
TEST(EarlierInstallation, WhenItMustBeRemovedFirst) {
  const struct {
    const char* oldVersion;
    const char* automaticUpgradeVersion;
    bool removedFirst;
  } cases[] = {
      {"1.0", "", true},    {"", "", true},        {"1.9", "2.0", true},
      {"2.0", "2.0", false}, {"2.1", "2.0", false}, {"", "2.0", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MustRemoveEarlierFirst(c.oldVersion, c.automaticUpgradeVersion), c.removedFirst)
        << c.oldVersion << " against " << c.automaticUpgradeVersion;
}

constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

// The author's option words stay as loaded; the run's decisions show only in
// the words it stores.
TEST(RunState, DecisionsFoldIntoTheStoredOptionWords) {
  ProductSettings product;
  product.stream.ProductFlags = Bit(kFlagHasUninstaller) | Bit(35);
  product.stream.ProductFlags2 = (1u << kFlag2RestorePoint) | 1u;
  RunState run(product, {});
  EXPECT_EQ(RunProductFlags(run), product.stream.ProductFlags);
  EXPECT_EQ(RunProductFlags2(run), product.stream.ProductFlags2);
  EXPECT_TRUE(run.WantsUninstaller());
  EXPECT_TRUE(run.WantsRestorePoint());

  run.restartRequired = true;
  run.uninstallerRefused = true;
  run.restorePointFailed = true;
  EXPECT_EQ(RunProductFlags(run), Bit(kFlagRestartRequired) | Bit(35));
  EXPECT_EQ(RunProductFlags2(run), 1u);
  EXPECT_FALSE(run.WantsUninstaller());
  EXPECT_FALSE(run.WantsRestorePoint());
  EXPECT_EQ(product.stream.ProductFlags, Bit(kFlagHasUninstaller) | Bit(35));
}

TEST(RunState, ARefusalNeverAddsWhatTheAuthorDidNotAskFor) {
  ProductSettings product;
  RunState run(product, {});
  run.uninstallerRefused = true;
  run.restorePointFailed = true;
  EXPECT_EQ(RunProductFlags(run), 0u);
  EXPECT_EQ(RunProductFlags2(run), 0u);
  EXPECT_FALSE(run.WantsUninstaller());
}

}  // namespace
}  // namespace setup
