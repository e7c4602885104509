#include "setup/vars/batch_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setup {
namespace {

uint64_t Bit(int n) { return uint64_t{1} << n; }

class BatchPlan : public ::testing::Test {
 protected:
  BatchPlan() {
    settings.installLocation = "C:\\Program Files\\Demo";
    settings.stream.PreInstallBatch = "echo pre";
    settings.stream.UpgradeBatch = "echo upgrade";
    settings.stream.ReinstallBatch = "echo reinstall";
    settings.stream.PostInstallBatch = "echo post";
    settings.stream.InstallExitBatch = "echo exit";
    settings.stream.DisplayVersion = "2.0";
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const BatchRequest& r : PreInstallationBatches(settings)) texts.push_back(r.text);
    return texts;
  }
  InstallSettings settings;
};

TEST_F(BatchPlan, PlainInstallationRunsOnlyThePreInstallationBatch) {
  const std::vector<BatchRequest> batches = PreInstallationBatches(settings);
  ASSERT_EQ(batches.size(), 1u);
  EXPECT_EQ(batches[0].text, "echo pre");
  EXPECT_EQ(batches[0].workingDirectory, "C:\\Program Files\\Demo");
  EXPECT_FALSE(batches[0].hidden);
  EXPECT_EQ(batches[0].displayName, "");
}

TEST_F(BatchPlan, WhichPreInstallationBatchesRun) {
  const struct {
    const char* name;
    bool upgrade;
    bool installedBefore;
    const char* oldVersion;
    bool sameVersionOnly;
    std::vector<std::string> expected;
  } cases[] = {
      {"fresh", false, false, "", false, {"echo pre"}},
      {"upgrade over 1.0", true, true, "1.0", true, {"echo pre", "echo upgrade"}},
      {"upgrade, reinstall batch for any version", true, true, "1.0", false,
       {"echo pre", "echo upgrade", "echo reinstall"}},
      {"same version", false, true, "2.0", true, {"echo pre", "echo reinstall"}},
      {"same version written longer", false, true, "2.0.0", true, {"echo pre"}},
      {"newer installed, same version only", false, true, "3.0", true, {"echo pre"}},
      {"newer installed, any version", false, true, "3.0", false, {"echo pre", "echo reinstall"}},
      {"folder gone", false, false, "2.0", false, {"echo pre"}},
  };
  for (const auto& c : cases) {
    settings.upgrade = c.upgrade;
    settings.installedBefore = c.installedBefore;
    settings.oldVersion = c.oldVersion;
    settings.stream.ProductFlags2 = c.sameVersionOnly ? 1u : 0u;
    EXPECT_EQ(Texts(), c.expected) << c.name;
  }
}

TEST_F(BatchPlan, HiddenBitsAndDisplayNames) {
  settings.upgrade = true;
  settings.installedBefore = true;
  settings.oldVersion = "1.0";
  settings.stream.ProductFlags = Bit(23) | Bit(61) | Bit(25);
  settings.stream.ProductFlags2 = (1u << 6) | (1u << 9) | (1u << 7) | (1u << 8);
  const std::vector<BatchRequest> pre = PreInstallationBatches(settings);
  ASSERT_EQ(pre.size(), 3u);
  EXPECT_TRUE(pre[0].hidden);
  EXPECT_EQ(pre[0].displayName, "Pre-Installation Batch");
  EXPECT_FALSE(pre[1].hidden);
  EXPECT_EQ(pre[1].displayName, "Upgrade Batch");
  EXPECT_TRUE(pre[2].hidden);
  EXPECT_EQ(pre[2].displayName, "Reinstall Batch");

  const BatchRequest post = PostInstallationBatch(settings);
  EXPECT_FALSE(post.hidden);
  EXPECT_EQ(post.displayName, "Post-Installation Batch");
  const BatchRequest exit = InstallationExitBatch(settings);
  EXPECT_TRUE(exit.hidden);
  EXPECT_EQ(exit.displayName, "") << "the exit batch is never captured";

  settings.stream.ProductFlags = Bit(24) | Bit(60);
  settings.stream.ProductFlags2 = 0;
  EXPECT_TRUE(PostInstallationBatch(settings).hidden);
  EXPECT_EQ(PostInstallationBatch(settings).displayName, "");
  EXPECT_TRUE(PreInstallationBatches(settings)[1].hidden);
  EXPECT_FALSE(PreInstallationBatches(settings)[0].hidden);
}

TEST_F(BatchPlan, CommandLineAppendices) {
  settings.batchAppend[0] = "echo b1";
  settings.batchAppend[1] = "echo b2";
  settings.batchAppend[2] = "echo b3";
  settings.upgrade = true;
  EXPECT_EQ(Texts(), (std::vector<std::string>{"echo pre\r\necho b1", "echo upgrade"}));
  EXPECT_EQ(PostInstallationBatch(settings).text, "echo post\r\necho b2");
  EXPECT_EQ(InstallationExitBatch(settings).text, "echo exit\r\necho b3");

  settings.stream.PreInstallBatch.clear();
  EXPECT_EQ(PreInstallationBatches(settings)[0].text, "\r\necho b1") << "/b1: alone still makes a batch";
}

}  // namespace
}  // namespace setup
