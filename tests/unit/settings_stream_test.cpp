#include "setup/payload/settings_stream.h"

#include <gtest/gtest.h>

#include "setup/payload/memory_stream.h"
#include "setup/payload/payload_checksum.h"
#include "settings_fixture.h"

namespace setup {
namespace {

// Settings that use every optional part of the stream.
SettingsStream RichSettings() {
  SettingsStream s = fixture::ExampleProduct();
  s.ProductFlags = (1ull << kFlagHasUninstaller) | (1ull << kFlagMasterProduct) | (1ull << 40);
  s.ProductFlags2 = 0x421;
  s.AutomaticModeSetting = 1;
  s.DisplayTitle = "Example";
  s.TitleSize = 24.5;
  s.DialogStyleValue = 3;
  s.ProgressPause = 9999;
  s.ShortcutMode = 2;
  s.UninstallerFileRecord = std::vector<uint8_t>(24, 0x5A);
  s.Description = "An example product";
  s.Bitness = 2;
  s.SharedBase = 1;
  s.SharedPath = "Shared";
  s.DisplayVersion = "1.2.3";
  s.InstallDirTemplate = "%ProgramFiles%\\Example";
  s.RegistryEntryText = "line1\r\nline2";
  s.BitmapSize = 100;
  s.LicenseTexts = {{'L', '1'}, {}};
  s.ReadmeTexts = {{'R'}};
  s.UninstallSubdir = "uninst";
  s.UninstallerFileName = "uninstall.exe";
  s.DialogCaption = "<product> setup";
  s.TopColor = 0xFF0000;
  s.BottomColor = 0x0000FF;
  s.Bitmap = {1, 2, 3, 4, 5};
  s.BitmapTPI = 96;
  s.CopyrightPos = 2;
  s.CopyrightColor = 0x123456;
  s.CopyrightSize = 8;
  s.CopyrightText = "(c) Example";
  s.CopyrightFont = "Arial";
  s.MasterKeyName = "Master";
  s.MasterDisplayName = "Master Product";
  s.DesktopFolderIcon = {9, 9};
  s.PreInstallBatch = "echo pre";
  s.Unused59 = std::vector<uint8_t>(20, 7);
  s.ExcludedSystems = 0x80000001;
  s.ArchiveInFile = 1;
  s.AdminMode = 2;
  s.NotifyURL = "http://example.invalid/?v=%version%";
  s.FirewallText = "a;b;c;d";
  s.WizardBlock = {4096, 1, 2, 3, 1, 1, 1, 1, 1};
  s.UninstallerIcon = {0, 0, 1, 0};
  s.DeleteList = {{"%InstallDir%\\old.txt", 1, "2020-01-01", 3}, {"~~THE~END~~", 0, "", 0}};
  s.Associations = {{1, ".exm", "Example.File", "Example file", "open", "&Open", "\"%1\"", "", "icon.ico"}};
  s.Shortcuts = {{"app.exe", "Example", "", "", "", 1, 1, 0, "", 1, 0}};
  s.RootShortcutName = "Root";
  s.UninstallValueList = {{"Software\\Example\\Path", 2, "%InstallDir%"}};
  s.CloseList = {{"ExampleClass", "Example*", "example.exe", 200, 3}, {"~~THE END~~", "", "", 0, 0}};
  s.Strings.languages = {"Deutsch", "English"};
  s.Strings.texts = {{"Beispiel", "Example"}, {"", "Error"}};
  return s;
}

std::vector<uint8_t> Write(const SettingsStream& s, bool checkLimits = true) {
  SettingsWriteResult written = WriteSettingsStream(s, checkLimits);
  EXPECT_EQ(written.corruptCode, 0);
  return written.bytes;
}

TEST(SettingsStream, RoundTripsEveryField) {
  SettingsStream s = RichSettings();
  SettingsReadResult read = ReadSettingsStream(Write(s));
  ASSERT_EQ(read.corruptCode, 0);
  EXPECT_TRUE(read.settings == s);
}

TEST(SettingsStream, OptionalFieldsAreAbsentWithoutTheirCondition) {
  SettingsStream s = RichSettings();
  s.ProductFlags = 0;
  s.CopyrightPos = 0;
  s.Bitmap.clear();
  std::vector<uint8_t> without = Write(s);
  // Copyright (4+8+12+6), master names (7+15), bitmap TPI (4) and the icon blob (4+4) are gone.
  const size_t optional = 4 + 8 + (s.CopyrightText.size() + 1) + (s.CopyrightFont.size() + 1) +
                          (s.MasterKeyName.size() + 1) + (s.MasterDisplayName.size() + 1) + 5 + 4 + 4 +
                          s.UninstallerIcon.size();
  EXPECT_EQ(Write(RichSettings()).size() - without.size(), optional);

  SettingsReadResult read = ReadSettingsStream(without);
  ASSERT_EQ(read.corruptCode, 0);
  EXPECT_EQ(read.settings.CopyrightText, "");
  EXPECT_EQ(read.settings.MasterKeyName, "");
  EXPECT_TRUE(read.settings.UninstallerIcon.empty());
  EXPECT_EQ(read.settings.DesktopFolderName, s.DesktopFolderName);
  EXPECT_EQ(read.settings.Strings, s.Strings);
}

TEST(SettingsStream, CopyrightPositionZeroMeansTheNextByteBelongsToTheNextField) {
  SettingsStream s = RichSettings();
  s.CopyrightPos = 0;
  s.ProductFlags = 0;  // no master names: field 50 follows directly
  s.DesktopFolderName = "Desk";
  std::vector<uint8_t> bytes = Write(s);
  std::string text(bytes.begin(), bytes.end());
  size_t at = text.find(std::string("\0Desk\0", 6));
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(bytes[at], 0);  // the CopyrightPos byte, directly before field 50
}

TEST(SettingsStream, ListTerminatorsAreExact) {
  SettingsReadResult read = ReadSettingsStream(Write(RichSettings()));
  ASSERT_EQ(read.corruptCode, 0);
  // "~~THE~END~~" is an ordinary delete record, "~~THE END~~" an ordinary close record.
  ASSERT_EQ(read.settings.DeleteList.size(), 2u);
  EXPECT_EQ(read.settings.DeleteList[1].fileSpecification, "~~THE~END~~");
  ASSERT_EQ(read.settings.CloseList.size(), 2u);
  EXPECT_EQ(read.settings.CloseList[1].classPattern, "~~THE END~~");
}

TEST(SettingsStream, DeleteListHoldsAtMost1001Records) {
  SettingsStream s = RichSettings();
  s.DeleteList.assign(1001, DeleteRecord{"a", 0, "", 0});
  SettingsReadResult read = ReadSettingsStream(Write(s));
  EXPECT_EQ(read.corruptCode, 0);
  EXPECT_EQ(read.settings.DeleteList.size(), 1001u);

  s.DeleteList.push_back(DeleteRecord{"b", 0, "", 0});
  EXPECT_EQ(WriteSettingsStream(s).corruptCode, 38);
  EXPECT_EQ(ReadSettingsStream(Write(s, false)).corruptCode, 38);
}

TEST(SettingsStream, CloseListHoldsAtMost1000Records) {
  SettingsStream s = RichSettings();
  s.CloseList.assign(1000, CloseRecord{"c", "t", "a", 1, 1});
  EXPECT_EQ(ReadSettingsStream(Write(s)).corruptCode, 0);
  s.CloseList.push_back(CloseRecord{"c", "t", "a", 1, 1});
  EXPECT_EQ(WriteSettingsStream(s).corruptCode, 41);
  EXPECT_EQ(ReadSettingsStream(Write(s, false)).corruptCode, 41);
}

TEST(SettingsStream, LimitsGiveTheirCodes) {
  struct Case {
    const char* what;
    void (*breakIt)(SettingsStream&);
    int code;
  } cases[] = {
      {"progress pause", [](SettingsStream& s) { s.ProgressPause = 10000; }, 19},
      {"bitmap size", [](SettingsStream& s) { s.BitmapSize = 101; }, 39},
      {"licenses", [](SettingsStream& s) { s.LicenseTexts.resize(21); }, 24},
      {"readmes", [](SettingsStream& s) { s.ReadmeTexts.resize(21); }, 26},
      {"associations", [](SettingsStream& s) { s.Associations.resize(1001); }, 36},
      {"shortcuts", [](SettingsStream& s) { s.Shortcuts.resize(1001); }, 48},
      {"values", [](SettingsStream& s) { s.UninstallValueList.resize(1001); }, 37},
      {"no language", [](SettingsStream& s) { s.Strings.languages.clear(); }, 30},
      {"201 languages", [](SettingsStream& s) { s.Strings.languages.resize(201); }, 30},
      {"no string", [](SettingsStream& s) { s.Strings.texts.clear(); }, 31},
      {"10001 strings", [](SettingsStream& s) { s.Strings.texts.resize(10001); }, 31},
  };
  for (const Case& c : cases) {
    SettingsStream s = RichSettings();
    c.breakIt(s);
    EXPECT_EQ(WriteSettingsStream(s).corruptCode, c.code) << c.what;
    EXPECT_EQ(ReadSettingsStream(Write(s, false)).corruptCode, c.code) << c.what;
  }
}

TEST(SettingsStream, LimitsAcceptTheirLargestValues) {
  SettingsStream s = RichSettings();
  s.LicenseTexts.resize(20);
  s.ReadmeTexts.resize(20);
  s.Associations.resize(1000);
  s.Shortcuts.resize(1000);
  s.UninstallValueList.resize(1000);
  s.Strings.languages.resize(200);
  s.Strings.texts.assign(3, std::vector<std::string>(200, "x"));
  EXPECT_EQ(ReadSettingsStream(Write(s)).corruptCode, 0);
}

TEST(SettingsStream, WrongEndMarkerIsCode32) {
  std::vector<uint8_t> bytes = Write(RichSettings());
  bytes.back() ^= 1;
  EXPECT_EQ(ReadSettingsStream(bytes).corruptCode, 32);
}

TEST(SettingsStream, AStreamCutAnywhereFails) {
  std::vector<uint8_t> bytes = Write(RichSettings());
  for (size_t length = 0; length < bytes.size(); ++length) {
    std::span<const uint8_t> cut(bytes.data(), length);
    int code = ReadSettingsStream(cut).corruptCode;
    ASSERT_NE(code, 0) << "cut at " << length;
    // Only the count checks of the zero bytes a short read delivers can come first.
    if (length >= bytes.size() - 4) EXPECT_EQ(code, 32) << "cut at " << length;
  }
}

TEST(SettingsStream, TellsWhereACutStreamEnded) {
  const std::vector<uint8_t> bytes = Write(RichSettings());
  EXPECT_FALSE(ReadSettingsStream(bytes).shortReadAt.has_value());
  // Cut inside the end marker, the last field: its read is the first short one.
  for (size_t cut = bytes.size() - 4; cut < bytes.size(); ++cut) {
    const SettingsReadResult r = ReadSettingsStream(std::span<const uint8_t>(bytes.data(), cut));
    EXPECT_EQ(r.corruptCode, 32) << cut;
    EXPECT_EQ(r.shortReadAt, bytes.size() - 4) << cut;
  }
  // Cut anywhere: a short read happened at or before the cut, unless a check
  // failed on the bytes before it.
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const SettingsReadResult r = ReadSettingsStream(std::span<const uint8_t>(bytes.data(), cut));
    if (r.shortReadAt) EXPECT_LE(*r.shortReadAt, cut) << cut;
  }
  EXPECT_EQ(ReadSettingsStream(std::span<const uint8_t>()).shortReadAt, 0u);
}

TEST(SettingsStream, ChecksumIsComparedAfterTheDisplayFields) {
  std::vector<uint8_t> bytes = Write(RichSettings());
  uint32_t key = PayloadChecksum(bytes);
  int created = 0;
  SettingsReadHooks hooks;
  hooks.settingsKey = key;
  hooks.createBackgroundWindow = [&](const SettingsStream& s) {
    ++created;
    EXPECT_EQ(s.DialogStyleValue, 3u);  // fields up to 7 are there
    EXPECT_EQ(s.Publisher, "");         // later ones are not
  };
  EXPECT_EQ(ReadSettingsStream(bytes, hooks).corruptCode, 0);
  EXPECT_EQ(created, 1);

  hooks.settingsKey = key + 1;
  EXPECT_EQ(ReadSettingsStream(bytes, hooks).corruptCode, 25);

  // A broken limit later in the stream is not reached when the checksum fails first.
  SettingsStream broken = RichSettings();
  broken.ProgressPause = 10000;
  EXPECT_EQ(ReadSettingsStream(Write(broken, false), hooks).corruptCode, 25);
}

TEST(SettingsStream, NoBackgroundWindowWithFlag29) {
  SettingsStream s = RichSettings();
  s.ProductFlags |= 1ull << kFlagNoBackgroundWindow;
  int created = 0;
  SettingsReadHooks hooks;
  hooks.createBackgroundWindow = [&](const SettingsStream&) { ++created; };
  EXPECT_EQ(ReadSettingsStream(Write(s), hooks).corruptCode, 0);
  EXPECT_EQ(created, 0);
}

}  // namespace
}  // namespace setup
