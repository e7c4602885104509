#include "setup/run/settings_defaults.h"

#include <gtest/gtest.h>

#include "settings_fixture.h"

namespace setup {
namespace {

using fixture::ExampleProduct;

TEST(SettingsDefaults, CommandLineNameSurvivesTheProductName) {
  ProductSettings run = ApplySettingsDefaults(ExampleProduct(), "Renamed", {10, 0}, "C:\\windows");
  EXPECT_EQ(run.displayName, "Renamed");
  EXPECT_EQ(run.stream.Description, "Renamed");
  EXPECT_EQ(run.stream.UninstallKeyName, "Renamed");

  ProductSettings plain = ApplySettingsDefaults(ExampleProduct(), "", {10, 0}, "C:\\windows");
  EXPECT_EQ(plain.displayName, "Example");
}

TEST(SettingsDefaults, EmptyTextsTakeTheirDefaults) {
  ProductSettings run = ApplySettingsDefaults(ExampleProduct(), "", {10, 0}, "");
  EXPECT_EQ(run.stream.SharedPath, "Example Corp");
  EXPECT_EQ(run.stream.ProductStartMenu, "Example Corp\\Example");

  SettingsStream noPublisherStream = ExampleProduct();
  noPublisherStream.Publisher = "";
  noPublisherStream.Description = "Kept";
  ProductSettings noPublisher = ApplySettingsDefaults(noPublisherStream, "", {10, 0}, "");
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
  for (const Case& c : cases) EXPECT_EQ(AutomaticModeOf(c.commandLine, c.setting), c.result) << int(c.setting);
}

// /a alone hides the run's windows; settings that ask for automatic mode
// keep them, and an interactive run always has them.
TEST(SettingsDefaults, WindowsShownUnlessOnlyTheCommandLineMadeItAutomatic) {
  struct Case {
    uint8_t setting;
    bool commandLine;
    bool shown;
  } cases[] = {
      {0, false, true},                      // interactive
      {0, true, false},                      // /a
      {kAutomaticModeAlways, false, true},   // the product runs without questions, visibly
      {kAutomaticModeAlways, true, true},
      {kAutomaticModeNever, true, true},     // /a overruled: interactive
  };
  for (const Case& c : cases) {
    const bool automatic = AutomaticModeOf(c.commandLine, c.setting);
    EXPECT_EQ(RunShowsWindows(automatic, c.setting == kAutomaticModeAlways), c.shown)
        << int(c.setting) << " " << c.commandLine;
  }
}

TEST(SettingsDefaults, NewSystemsFlagClearedBeforeVersion6) {
  struct Case {
    SystemVersion system;
    bool kept;
  } cases[] = {{{5, 1}, false}, {{5, 2}, false}, {{5, 2, true}, true}, {{6, 0}, true}, {{10, 0}, true}};
  for (const Case& c : cases) {
    SettingsStream stream = ExampleProduct();
    stream.ProductFlags2 = 1u << kFlag2ButtonPictures | 1u;
    ProductSettings run = ApplySettingsDefaults(stream, "", c.system, "");
    EXPECT_EQ(run.stream.Flag2(kFlag2ButtonPictures), c.kept) << c.system.major << "." << c.system.minor;
    EXPECT_TRUE(run.stream.Flag2(0));
  }
}

TEST(SettingsDefaults, DialogCaptionPlaceholdersAndMonoColor) {
  SettingsStream stream = ExampleProduct();
  stream.DialogCaption = "<Product> (<description>) on <os>";
  stream.TopColor = stream.BottomColor = 0x123456;
  ProductSettings run = ApplySettingsDefaults(stream, "", {10, 0}, "C:\\windows");
  EXPECT_EQ(run.stream.DialogCaption, "Example (Example) on C:\\windows");
  EXPECT_TRUE(run.monoColor);
}

}  // namespace
}  // namespace setup
