#include "setup/record/uninstall_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tl_core/registry_path.h"

namespace setup {
namespace {

constexpr char kUninstaller[] = "C:\\Program Files\\Example\\Uninstall\\unins.exe";

SettingsStream ExampleSettings() {
  SettingsStream s;
  s.DisplayVersion = "2.15.3";
  s.Publisher = "Example Ltd";
  s.Bitness = 0;
  s.ProductRegistry = "Example";
  s.ProductStartMenu = "Example Ltd\\Example";
  s.SharedPath = "C:\\Program Files\\Common Files\\Example";
  s.ShortcutMode = 0;
  s.DisplayTitle = "Example Setup";
  s.TitleSize = 14.0;
  s.CopyrightSize = 10.5;
  s.CopyrightColor = 0x00563412;
  return s;
}

UninstallRecordFacts ExampleFacts() {
  UninstallRecordFacts f;
  f.uninstallerPath = kUninstaller;
  f.uninstallKeyName = "Example";
  f.displayName = "Example";
  f.installSource = "C:\\Downloads\\example-setup.exe";
  f.requiredSpace = 5 * 1024 * 1024;
  f.fallbackTitle = "Welcome";
  f.installLocation = "C:\\Program Files\\Example";
  f.installDate = "12/6/26 9:05:07a";
  return f;
}

std::optional<RecordValue> Find(const std::vector<RecordValue>& values, const std::string& name) {
  for (const RecordValue& v : values)
    if (v.name == name) return v;
  return std::nullopt;
}

std::vector<std::string> Names(const std::vector<RecordValue>& values) {
  std::vector<std::string> names;
  for (const RecordValue& v : values) names.push_back(v.name);
  return names;
}

RecordValue LeadingValue(const SettingsStream& s, const UninstallRecordFacts& f, const std::string& name) {
  auto value = Find(LeadingRecordValues(s, f), name);
  EXPECT_TRUE(value.has_value()) << name;
  return value.value_or(RecordValue{});
}

// ---- Order and the commands ----

TEST(UninstallRecordValues, AreWrittenInTableOrder) {
  const std::vector<std::string> expected = {
      "UninstallString", "QuietUninstallString", "DisplayName", "InstallSource", "DisplayVersion",
      "Publisher", "Bitness", "VersionMajor", "VersionMinor", "ProductRegistry", "ProductStartMenu",
      "SharedPath", "ProductFonts", "ProductFlags", "ProductFlags2", "UninstallBatch1", "UninstallBatch2",
      "SharedFiles", "UninstallSubdir", "ShortcutMode", "NotifyURL", "EstimatedSize", "DisplayTitle",
      "TitleColor", "TitleSize", "TopColor", "BottomColor", "MonoColor", "TitleShadow", "TitlePosition",
      "TitleFont", "TaskbarText", "CopyrightText", "CopyrightFont", "CopyrightSize", "CopyrightColor",
      "CopyrightPos", "BitmapSize", "BitmapTPI", "StretchMode"};
  EXPECT_EQ(Names(LeadingRecordValues(ExampleSettings(), ExampleFacts())), expected);
  EXPECT_EQ(Names(TrailingRecordValues(ExampleFacts())),
            (std::vector<std::string>{"InstallLocation", "InstallDate"}));
}

TEST(UninstallRecordValues, CommandsQuoteThePathAndTheKeyName) {
  auto values = LeadingRecordValues(ExampleSettings(), ExampleFacts());
  EXPECT_EQ(values[0], (RecordValue{"UninstallString", RecordValueKind::kText,
                                    "\"C:\\Program Files\\Example\\Uninstall\\unins.exe\" /u:\"Example\"", 0, 0, 0}));
  EXPECT_EQ(values[1], (RecordValue{"QuietUninstallString", RecordValueKind::kText,
                                    "\"C:\\Program Files\\Example\\Uninstall\\unins.exe\" /a /u:\"Example\"", 0, 0,
                                    0}));
  EXPECT_EQ(UninstallArguments("My Product"), "/u:\"My Product\"");
}

TEST(UninstallRecordValues, UninstallerPathJoinsTheFolderAndTheFileName) {
  struct Case {
    const char* folder;
    const char* fileName;
    const char* path;
  };
  for (const Case& c : {Case{"C:\\Program Files\\Example\\Uninstall", "unins.exe", kUninstaller},
                        Case{"C:\\Program Files\\Example\\", "unins.exe", "C:\\Program Files\\Example\\unins.exe"},
                        // The authoring tool's default name stands in for a missing one.
                        Case{"C:\\Example", "", "C:\\Example\\Uninstall.exe"}}) {
    EXPECT_EQ(UninstallerPath(c.folder, c.fileName), c.path) << c.folder << " + " << c.fileName;
  }
}

// ---- Version numbers ----

struct VersionCase {
  const char* displayVersion;
  bool written;  // VersionMajor and VersionMinor
  uint32_t major;
  uint32_t minor;
};

TEST(UninstallRecordValues, VersionNumbersOnlyForAVersionWithADot) {
  for (const VersionCase& c : {VersionCase{"2.15.3", true, 2, 15}, VersionCase{"10.0", true, 10, 0},
                               VersionCase{"3.x", true, 3, 0}, VersionCase{"v1.2", true, 0, 2},
                               VersionCase{"4.", true, 4, 0}, VersionCase{"2", false, 0, 0},
                               VersionCase{"build 7", false, 0, 0}, VersionCase{"", false, 0, 0}}) {
    SettingsStream s = ExampleSettings();
    s.DisplayVersion = c.displayVersion;
    auto values = LeadingRecordValues(s, ExampleFacts());
    auto major = Find(values, "VersionMajor");
    auto minor = Find(values, "VersionMinor");
    ASSERT_EQ(major.has_value(), c.written) << c.displayVersion;
    ASSERT_EQ(minor.has_value(), c.written) << c.displayVersion;
    if (!c.written) continue;
    EXPECT_EQ(major->kind, RecordValueKind::kNumber) << c.displayVersion;
    EXPECT_EQ(major->number, c.major) << c.displayVersion;
    EXPECT_EQ(minor->number, c.minor) << c.displayVersion;
    // Written even when 0: option 0.
    EXPECT_EQ(major->options, 0u);
    EXPECT_EQ(minor->options, 0u);
  }
}

TEST(UninstallRecordValues, EmptyDisplayVersionIsDeletedByItsOption) {
  SettingsStream s = ExampleSettings();
  s.DisplayVersion = "";
  RecordValue v = LeadingValue(s, ExampleFacts(), "DisplayVersion");
  EXPECT_EQ(v.kind, RecordValueKind::kText);
  EXPECT_EQ(v.text, "");
  EXPECT_EQ(v.options, kRecordDeleteWhenEmpty);
}

// ---- EstimatedSize ----

TEST(UninstallRecordValues, EstimatedSizeInWholeKilobytesOrDeleted) {
  struct Case {
    int64_t requiredSpace;
    std::optional<uint32_t> kilobytes;  // nothing: deleted
  };
  for (const Case& c : {Case{0, std::nullopt}, Case{-1, std::nullopt}, Case{1023, std::nullopt}, Case{1024, 1u},
                        Case{2047, 1u}, Case{5 * 1024 * 1024, 5120u},
                        Case{int64_t{0xFFFFFFFF} * 1024 + 1023, 0xFFFFFFFFu},
                        Case{int64_t{0x100000000} * 1024, std::nullopt}}) {
    UninstallRecordFacts f = ExampleFacts();
    f.requiredSpace = c.requiredSpace;
    RecordValue v = LeadingValue(ExampleSettings(), f, "EstimatedSize");
    if (c.kilobytes) {
      EXPECT_EQ(v.kind, RecordValueKind::kNumber) << c.requiredSpace;
      EXPECT_EQ(v.number, *c.kilobytes) << c.requiredSpace;
    } else {
      EXPECT_EQ(v.kind, RecordValueKind::kDelete) << c.requiredSpace;
    }
  }
}

// ---- Options of zero and empty values ----

TEST(UninstallRecordValues, ZeroAndEmptyValuesFollowTheirOption) {
  struct Case {
    const char* name;
    uint32_t options;  // kRecordDeleteWhenEmpty: "" or 0 deletes it
  };
  // The example has ShortcutMode 0, Bitness 0, empty batches, fonts and NotifyURL.
  const SettingsStream s = ExampleSettings();
  const UninstallRecordFacts f = ExampleFacts();
  for (const Case& c : {Case{"ShortcutMode", kRecordDeleteWhenEmpty}, Case{"Bitness", 0},
                        Case{"ProductFonts", kRecordDeleteWhenEmpty}, Case{"SharedFiles", kRecordDeleteWhenEmpty},
                        Case{"UninstallBatch1", kRecordDeleteWhenEmpty}, Case{"NotifyURL", kRecordDeleteWhenEmpty},
                        Case{"UninstallSubdir", kRecordDeleteWhenEmpty}, Case{"TitleFont", 0},
                        Case{"CopyrightText", 0}, Case{"TitleColor", 0}, Case{"InstallSource", 0}}) {
    RecordValue v = LeadingValue(s, f, c.name);
    EXPECT_EQ(v.options, c.options) << c.name;
    EXPECT_NE(v.kind, RecordValueKind::kDelete) << c.name;
  }
  EXPECT_EQ(LeadingValue(s, f, "ShortcutMode").number, 0u);
  EXPECT_EQ(LeadingValue(s, f, "Bitness").kind, RecordValueKind::kNumber);
}

TEST(UninstallRecordValues, ProductFlagsAsSignedAndUnsignedDecimalText) {
  SettingsStream s = ExampleSettings();
  s.ProductFlags = 0xFFFFFFFFFFFFFFFFull;
  s.ProductFlags2 = 0xFFFFFFFFu;
  EXPECT_EQ(LeadingValue(s, ExampleFacts(), "ProductFlags").text, "-1");
  EXPECT_EQ(LeadingValue(s, ExampleFacts(), "ProductFlags2").text, "4294967295");
  s.ProductFlags = (uint64_t{1} << 35) | 4;
  EXPECT_EQ(LeadingValue(s, ExampleFacts(), "ProductFlags").text, "34359738372");
}

// ---- Background window values ----

TEST(UninstallRecordValues, SizesAsDecimalText) {
  struct Case {
    double size;
    const char* text;
  };
  for (const Case& c : {Case{14.0, "14"}, Case{10.5, "10.5"}, Case{0.0, "0"}}) {
    SettingsStream s = ExampleSettings();
    s.TitleSize = c.size;
    s.CopyrightSize = c.size;
    for (const char* name : {"TitleSize", "CopyrightSize"}) {
      RecordValue v = LeadingValue(s, ExampleFacts(), name);
      ASSERT_EQ(v.kind, RecordValueKind::kDecimalText) << name;
      EXPECT_EQ(tl::DecimalText(v.decimal), c.text) << name << " " << c.size;
    }
  }
}

TEST(UninstallRecordValues, CopyrightColorIsRedGreenBlueInMemoryOrder) {
  struct Case {
    uint32_t color;
    const char* text;
  };
  for (const Case& c : {Case{0x00563412, "123456"}, Case{0xFF563412, "123456"}, Case{0x00000000, "000000"},
                        Case{0x00ABCDEF, "EFCDAB"}, Case{0x00C0C0C0, "C0C0C0"}}) {
    SettingsStream s = ExampleSettings();
    s.CopyrightColor = c.color;
    RecordValue v = LeadingValue(s, ExampleFacts(), "CopyrightColor");
    EXPECT_EQ(v.kind, RecordValueKind::kText);
    EXPECT_EQ(v.text, c.text) << std::hex << c.color;
  }
}

TEST(UninstallRecordValues, BlankDisplayTitleTakesStringZero) {
  struct Case {
    const char* title;
    const char* stored;
  };
  for (const Case& c : {Case{"", "Welcome"}, Case{"   ", "Welcome"}, Case{" Example ", " Example "},
                        Case{"Example Setup", "Example Setup"}}) {
    SettingsStream s = ExampleSettings();
    s.DisplayTitle = c.title;
    RecordValue v = LeadingValue(s, ExampleFacts(), "DisplayTitle");
    EXPECT_EQ(v.text, c.stored) << "'" << c.title << "'";
    EXPECT_EQ(v.options, 0u);
  }
}

TEST(UninstallRecordValues, MonoColorDeletesBottomColor) {
  SettingsStream s = ExampleSettings();
  s.TopColor = 0x123456;
  s.BottomColor = 0x654321;
  UninstallRecordFacts f = ExampleFacts();

  f.monoColor = false;
  EXPECT_EQ(LeadingValue(s, f, "BottomColor").kind, RecordValueKind::kNumber);
  EXPECT_EQ(LeadingValue(s, f, "BottomColor").number, 0x654321u);
  EXPECT_EQ(LeadingValue(s, f, "MonoColor").number, 0u);

  f.monoColor = true;
  EXPECT_EQ(LeadingValue(s, f, "BottomColor").kind, RecordValueKind::kDelete);
  EXPECT_EQ(LeadingValue(s, f, "MonoColor").number, 1u);
  EXPECT_EQ(LeadingValue(s, f, "TopColor").number, 0x123456u);
}

TEST(UninstallRecordValues, BitmapValuesNeedTheFlagAndABitmap) {
  struct Case {
    bool flag15;
    bool bitmap;
    uint32_t tpi;
    bool sizeWritten;
    bool tpiWritten;
  };
  for (const Case& c : {Case{true, true, 7, true, true}, Case{true, true, 0, true, true},
                        Case{true, true, 0xFFFFFFFF, true, false}, Case{false, true, 7, false, false},
                        Case{true, false, 7, false, false}}) {
    SettingsStream s = ExampleSettings();
    if (c.flag15) s.ProductFlags |= uint64_t{1} << 15;
    s.BitmapSize = 60;
    s.BitmapTPI = c.tpi;
    s.StretchMode = 0;
    UninstallRecordFacts f = ExampleFacts();
    f.backgroundBitmap = c.bitmap;
    RecordValue size = LeadingValue(s, f, "BitmapSize");
    RecordValue tpi = LeadingValue(s, f, "BitmapTPI");
    RecordValue stretch = LeadingValue(s, f, "StretchMode");
    std::string label = std::to_string(c.flag15) + std::to_string(c.bitmap) + " " + std::to_string(c.tpi);
    EXPECT_EQ(size.kind == RecordValueKind::kNumber, c.sizeWritten) << label;
    EXPECT_EQ(stretch.kind == RecordValueKind::kNumber, c.sizeWritten) << label;
    EXPECT_EQ(tpi.kind == RecordValueKind::kNumber, c.tpiWritten) << label;
    if (c.sizeWritten) {
      EXPECT_EQ(size.number, 60u);
      EXPECT_EQ(stretch.options, 0u) << "StretchMode 0 is written";
    }
    if (c.tpiWritten) EXPECT_EQ(tpi.number, c.tpi);
  }
}

// ---- The author's extra values ----

TEST(UninstallRecordExtraValues, NameWithBackslashNamesAnotherKey) {
  struct Case {
    const char* name;
    const char* keyPath;
    const char* valueName;
  };
  for (const Case& c : {Case{"\\HKLM\\Software\\Example\\Path", "\\HKLM\\Software\\Example", "Path"},
                        Case{"Path", "", "Path"}, Case{"\\HKCU\\Software\\Example\\", "\\HKCU\\Software\\Example", ""},
                        Case{"Sub\\Key\\Name", "Sub\\Key", "Name"}}) {
    ExtraRecordValue extra = PlanExtraRecordValue(ValueRecord{c.name, 1, "x"}, "x");
    EXPECT_EQ(extra.keyPath, c.keyPath) << c.name;
    EXPECT_EQ(extra.value.name, c.valueName) << c.name;
  }
}

TEST(UninstallRecordExtraValues, TypeChoosesTheWriter) {
  struct Case {
    uint8_t type;
    const char* value;
    RecordValueKind kind;
    uint32_t number;
    uint32_t options;
  };
  for (const Case& c : {Case{1, "C:\\Example", RecordValueKind::kText, 0, kRecordDeleteWhenEmpty},
                        Case{0, "text", RecordValueKind::kText, 0, kRecordDeleteWhenEmpty},
                        Case{7, "text", RecordValueKind::kText, 0, kRecordDeleteWhenEmpty},
                        Case{2, "%PATH%", RecordValueKind::kText, 0,
                             kRecordDeleteWhenEmpty | kRecordTextAsExpandable},
                        Case{4, "42", RecordValueKind::kNumber, 42, kRecordDeleteWhenEmpty},
                        Case{4, "-1", RecordValueKind::kNumber, 0xFFFFFFFF, kRecordDeleteWhenEmpty},
                        Case{4, "+12abc", RecordValueKind::kNumber, 12, kRecordDeleteWhenEmpty},
                        Case{4, "4294967297", RecordValueKind::kNumber, 1, kRecordDeleteWhenEmpty},
                        Case{4, "", RecordValueKind::kNumber, 0, kRecordDeleteWhenEmpty}}) {
    ExtraRecordValue extra = PlanExtraRecordValue(ValueRecord{"Name", c.type, c.value}, c.value);
    std::string label = std::to_string(c.type) + " '" + c.value + "'";
    EXPECT_EQ(extra.value.kind, c.kind) << label;
    EXPECT_EQ(extra.value.options, c.options) << label;
    if (c.kind == RecordValueKind::kNumber)
      EXPECT_EQ(extra.value.number, c.number) << label;
    else
      EXPECT_EQ(extra.value.text, c.value) << label;
  }
}

TEST(UninstallRecordExtraValues, WritesTheExpandedValueNotTheStoredOne) {
  ExtraRecordValue extra =
      PlanExtraRecordValue(ValueRecord{"Folder", 1, "%InstallDir%\\bin"}, "C:\\Program Files\\Example\\bin");
  EXPECT_EQ(extra.value.text, "C:\\Program Files\\Example\\bin");
}

// ---- Disk requirement ----

TEST(DiskRequirement, RoundsEveryFileUpToWholeClusters) {
  struct Case {
    std::vector<int32_t> files;
    uint32_t cluster;
    int64_t expected;  // uninstaller 100000 and extra 5000 included
  };
  const int64_t base = 100000 + 5000;
  for (const Case& c : {Case{{}, 4096, base}, Case{{0}, 4096, base}, Case{{1}, 4096, base + 4096},
                        Case{{4096}, 4096, base + 4096}, Case{{4097}, 4096, base + 8192},
                        Case{{1, 4096, 4097, 0}, 4096, base + 16384},
                        // An unknown cluster size counts as 4096.
                        Case{{1, 4097}, 0, base + 12288}, Case{{1, 513}, 512, base + 1536},
                        Case{{1000}, 65536, base + 65536},
                        Case{{0x40000000, 0x40000000, 0x40000000}, 4096, base + 3 * int64_t{0x40000000}}}) {
    EXPECT_EQ(RequiredSpace(100000, c.files, c.cluster, 5000), c.expected)
        << c.files.size() << " files, cluster " << c.cluster;
  }
}

TEST(DiskRequirement, UninstallerAndExtraSpaceAreNotRounded) {
  EXPECT_EQ(RequiredSpace(1, {}, 4096, 0), 1);
  EXPECT_EQ(RequiredSpace(0, {}, 4096, 0xFFFFFFFF), int64_t{0xFFFFFFFF});
}

TEST(VolumeRoot, OfDrivesSharesAndUtf8Paths) {
  struct Case {
    const char* path;
    const char* root;
  };
  for (const Case& c : {Case{"C:\\Program Files\\Example", "C:\\"}, Case{"d:", "d:\\"},
                        Case{"\\\\server\\share\\Example", "\\\\server\\share\\"},
                        Case{"\\\\server\\share", "\\\\server\\share\\"}, Case{"|E:\\Beispiel", "|E:\\"},
                        Case{"Example", ""}, Case{"\\Example", ""}, Case{"\\\\server", ""}, Case{"\\\\server\\", ""}, Case{"", ""}}) {
    EXPECT_EQ(VolumeRootOf(c.path), c.root) << c.path;
  }
}

}  // namespace
}  // namespace setup
