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
    installLocation = "C:\\Program Files\\Demo";
    product.stream.PreInstallBatch = "echo pre";
    product.stream.UpgradeBatch = "echo upgrade";
    product.stream.ReinstallBatch = "echo reinstall";
    product.stream.PostInstallBatch = "echo post";
    product.stream.InstallExitBatch = "echo exit";
    product.stream.DisplayVersion = "2.0";
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const BatchRequest& r : PreInstallationBatches(Run())) texts.push_back(r.text);
    return texts;
  }
  // The run the fixture's fields describe.
  RunState Run() const {
    RunState run(product, options);
    run.folders.installLocation = installLocation;
    run.earlier.found = installedBefore;
    run.earlier.version = oldVersion;
    run.earlier.kind = upgrade           ? InstallationKind::kUpgrade
                       : installedBefore ? InstallationKind::kReinstall
                                         : InstallationKind::kNew;
    return run;
  }
  ProductSettings product;
  CommandLineOptions options;
  std::string installLocation;
  bool upgrade = false;
  bool installedBefore = false;
  std::string oldVersion;
};

TEST_F(BatchPlan, PlainInstallationRunsOnlyThePreInstallationBatch) {
  const std::vector<BatchRequest> batches = PreInstallationBatches(Run());
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
    upgrade = c.upgrade;
    installedBefore = c.installedBefore;
    oldVersion = c.oldVersion;
    product.stream.ProductFlags2 = c.sameVersionOnly ? 1u : 0u;
    EXPECT_EQ(Texts(), c.expected) << c.name;
  }
}

TEST_F(BatchPlan, HiddenBitsAndDisplayNames) {
  upgrade = true;
  installedBefore = true;
  oldVersion = "1.0";
  product.stream.ProductFlags = Bit(23) | Bit(61) | Bit(25);
  product.stream.ProductFlags2 = (1u << 6) | (1u << 9) | (1u << 7) | (1u << 8);
  const std::vector<BatchRequest> pre = PreInstallationBatches(Run());
  ASSERT_EQ(pre.size(), 3u);
  EXPECT_TRUE(pre[0].hidden);
  EXPECT_EQ(pre[0].displayName, "Pre-Installation Batch");
  EXPECT_FALSE(pre[1].hidden);
  EXPECT_EQ(pre[1].displayName, "Upgrade Batch");
  EXPECT_TRUE(pre[2].hidden);
  EXPECT_EQ(pre[2].displayName, "Reinstall Batch");

  const BatchRequest post = PostInstallationBatch(Run());
  EXPECT_FALSE(post.hidden);
  EXPECT_EQ(post.displayName, "Post-Installation Batch");
  const BatchRequest exit = InstallationExitBatch(Run());
  EXPECT_TRUE(exit.hidden);
  EXPECT_EQ(exit.displayName, "") << "the exit batch is never captured";

  product.stream.ProductFlags = Bit(24) | Bit(60);
  product.stream.ProductFlags2 = 0;
  EXPECT_TRUE(PostInstallationBatch(Run()).hidden);
  EXPECT_EQ(PostInstallationBatch(Run()).displayName, "");
  EXPECT_TRUE(PreInstallationBatches(Run())[1].hidden);
  EXPECT_FALSE(PreInstallationBatches(Run())[0].hidden);
}

TEST_F(BatchPlan, CommandLineAppendices) {
  options.batchAppend[0] = "echo b1";
  options.batchAppend[1] = "echo b2";
  options.batchAppend[2] = "echo b3";
  upgrade = true;
  EXPECT_EQ(Texts(), (std::vector<std::string>{"echo pre\r\necho b1", "echo upgrade"}));
  EXPECT_EQ(PostInstallationBatch(Run()).text, "echo post\r\necho b2");
  EXPECT_EQ(InstallationExitBatch(Run()).text, "echo exit\r\necho b3");

  product.stream.PreInstallBatch.clear();
  EXPECT_EQ(PreInstallationBatches(Run())[0].text, "\r\necho b1") << "/b1: alone still makes a batch";
}

}  // namespace
}  // namespace setup
