#include "setup/run/settings_defaults.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

InstallSettings RunWithProduct(std::string commandLineName = "") {
  InstallSettings run;
  run.displayName = std::move(commandLineName);
  run.stream.ProductName = "Example";
  run.stream.Publisher = "Example Corp";
  return run;
}

TEST(SettingsDefaults, CommandLineNameSurvivesTheProductName) {
  InstallSettings run = RunWithProduct("Renamed");
  ApplySettingsDefaults(run, {10, 0}, "C:\\windows");
  EXPECT_EQ(run.displayName, "Renamed");
  EXPECT_EQ(run.stream.Description, "Renamed");
  EXPECT_EQ(run.stream.UninstallKeyName, "Renamed");
  EXPECT_EQ(run.uninstallKeyName, "Renamed");

  InstallSettings plain = RunWithProduct();
  ApplySettingsDefaults(plain, {10, 0}, "C:\\windows");
  EXPECT_EQ(plain.displayName, "Example");
}

TEST(SettingsDefaults, EmptyTextsTakeTheirDefaults) {
  InstallSettings run = RunWithProduct();
  ApplySettingsDefaults(run, {10, 0}, "");
  EXPECT_EQ(run.stream.SharedPath, "Example Corp");
  EXPECT_EQ(run.stream.ProductStartMenu, "Example Corp\\Example");

  InstallSettings noPublisher = RunWithProduct();
  noPublisher.stream.Publisher = "";
  noPublisher.stream.Description = "Kept";
  ApplySettingsDefaults(noPublisher, {10, 0}, "");
  EXPECT_EQ(noPublisher.stream.SharedPath, "Example");
  EXPECT_EQ(noPublisher.stream.ProductStartMenu, "Example");
  EXPECT_EQ(noPublisher.stream.Description, "Kept");
}

TEST(SettingsDefaults, AutomaticModeSetting) {
  struct Case {
    uint8_t setting;
    bool commandLine;
    bool result;
  } cases[] = {{0, true, true}, {0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
  for (const Case& c : cases) {
    InstallSettings run = RunWithProduct();
    run.automaticMode = c.commandLine;
    run.stream.AutomaticModeSetting = c.setting;
    ApplySettingsDefaults(run, {10, 0}, "");
    EXPECT_EQ(run.automaticMode, c.result) << int(c.setting);
  }
}

TEST(SettingsDefaults, NewSystemsFlagClearedBeforeVersion6) {
  struct Case {
    SystemVersion system;
    bool kept;
  } cases[] = {{{5, 1}, false}, {{5, 2}, false}, {{5, 2, true}, true}, {{6, 0}, true}, {{10, 0}, true}};
  for (const Case& c : cases) {
    InstallSettings run = RunWithProduct();
    run.stream.ProductFlags2 = 1u << kFlag2NewSystemsOnly | 1u;
    ApplySettingsDefaults(run, c.system, "");
    EXPECT_EQ(run.stream.Flag2(kFlag2NewSystemsOnly), c.kept) << c.system.major << "." << c.system.minor;
    EXPECT_TRUE(run.stream.Flag2(0));
  }
}

TEST(SettingsDefaults, DialogCaptionPlaceholdersAndMonoColor) {
  InstallSettings run = RunWithProduct();
  run.stream.DialogCaption = "<Product> (<description>) on <os>";
  run.stream.TopColor = run.stream.BottomColor = 0x123456;
  ApplySettingsDefaults(run, {10, 0}, "C:\\windows");
  EXPECT_EQ(run.stream.DialogCaption, "Example (Example) on C:\\windows");
  EXPECT_TRUE(run.monoColor);
}

}  // namespace
}  // namespace setup
