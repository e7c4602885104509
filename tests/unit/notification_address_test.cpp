#include "setup/integration/notification_address.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(NotificationAddressForKind, PicksUpgradeThenDowngradeThenReinstallThenNew) {
  SettingsStream stream;
  stream.InstallNotifyURL = "new";
  stream.UpgradeNotifyURL = "upgrade";
  stream.DowngradeNotifyURL = "downgrade";
  stream.ReinstallNotifyURL = "reinstall";
  struct Case {
    bool upgrade, downgrade, reinstall;
    const char* expected;
  } cases[] = {
      {false, false, false, "new"},
      {true, false, false, "upgrade"},
      {false, true, false, "downgrade"},
      {false, false, true, "reinstall"},
      {true, true, true, "upgrade"},
      {true, false, true, "upgrade"},
      {false, true, true, "downgrade"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NotificationAddressForKind(stream, c.upgrade, c.downgrade, c.reinstall), c.expected)
        << c.upgrade << c.downgrade << c.reinstall;
}

TEST(NotificationAddressForKind, AnEmptyAddressOfTheKindIsNotReplacedByAnother) {
  SettingsStream stream;
  stream.InstallNotifyURL = "new";
  stream.ReinstallNotifyURL = "reinstall";
  EXPECT_EQ(NotificationAddressForKind(stream, true, false, true), "");
  EXPECT_EQ(NotificationAddressForKind(stream, false, true, false), "");
}

}  // namespace
}  // namespace setup
