// The uninstall registration record and the installation-directory value in
// the real registry (under Wine). Each test writes the entry of a product
// whose key name is private to this process, reads it back with the plain
// registry calls and removes it again, with the keys outside the entry.
#include "setup/integration/uninstall_record_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "setup/run/run_state.h"
#include "setup/folders/required_space_win.h"
#include "setup/record/uninstall_entry.h"
#include "setup/strings/string_table.h"
#include "tl_core/file_win.h"

namespace setup {
namespace {

constexpr char kOutsideKey[] = "Software\\OrvantaTest";
constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

// ---- Raw registry access that does not go through the code under test ----

struct RawValue {
  DWORD type = 0;
  std::string bytes;
};

std::optional<RawValue> ReadRaw(const std::string& subKey, const char* name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  LONG status = ::RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.bytes.resize(size);
    status = ::RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
  }
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

// The text of a REG_SZ or REG_EXPAND_SZ value without a terminating zero.
std::string TextOf(const RawValue& value) {
  std::string text = value.bytes;
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

uint32_t NumberOf(const RawValue& value) {
  uint32_t number = 0;
  if (value.bytes.size() == 4) std::memcpy(&number, value.bytes.data(), 4);
  return number;
}

void SetRaw(const std::string& subKey, const char* name, DWORD type, const void* bytes, DWORD count,
            DWORD options = REG_OPTION_NON_VOLATILE) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS)
      << subKey;
  if (name) ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(bytes), count);
  ::RegCloseKey(key);
}

void SetRawText(const std::string& subKey, const char* name, const char* text) {
  SetRaw(subKey, name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

void SetRawNumber(const std::string& subKey, const char* name, uint32_t number) {
  SetRaw(subKey, name, REG_DWORD, &number, sizeof number);
}

void DeleteTree(const std::string& subKey) { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, subKey.c_str()); }

std::string WithoutBackslashes(std::string text) {
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

// ---- The run's settings for one product ----

class UninstallRecordTest : public ::testing::Test {
 protected:
  UninstallRecordTest() : run_(product_, {}) {}
  void SetUp() override {
    keyName_ = "OrvantaRecordTest-" + std::to_string(::GetCurrentProcessId());
    entryKey_ = UninstallEntryKey(keyName_);
    DeleteTree(entryKey_);
    DeleteTree(kOutsideKey);

    StringTableData strings;
    strings.languages = {"English"};
    strings.texts = {{"Welcome to Example"}};
    RunStrings().Load(strings);

    RunState& run = run_;
    product_.displayName = "Example";
    run.folders.installLocation = "C:\\Program Files\\Example";
    run.folders.uninstallDataFolder = "C:\\Program Files\\Example\\Uninstall";
    run.process.installSource = "C:\\Downloads\\example-setup.exe";
    run.requiredSpace = 5 * 1024 * 1024;
    product_.monoColor = true;
    SettingsStream& s = product_.stream;
    s.ProductFlags = Bit(2) | Bit(35) | 0x8000000000000000ull;
    s.ProductFlags2 = 0x80000020u;
    s.UninstallKeyName = keyName_;
    s.UninstallerFileName = "unins.exe";
    s.DisplayVersion = "2.15.3";
    s.Publisher = "Example Ltd";
    s.Bitness = 0;
    s.ProductRegistry = "Example";
    run.folders.startMenuFolder = s.ProductStartMenu = "Example Ltd\\Example";
    run.folders.sharedFolder = s.SharedPath = "C:\\Program Files\\Common Files\\Example";
    s.UninstallSubdir = "Uninstall";
    s.ShortcutMode = 0;
    s.DisplayTitle = "  ";
    s.TitleColor = 0x00FFFFFF;
    s.TitleSize = 14.0;
    s.TopColor = 0x00800000;
    s.BottomColor = 0x00800000;
    s.TitleShadow = 1;
    s.TitlePosition = 2;
    s.TitleFont = "Arial";
    s.TaskbarText = "Example Setup";
    s.CopyrightText = "(c) Example Ltd";
    s.CopyrightFont = "Tahoma";
    s.CopyrightSize = 10.5;
    s.CopyrightColor = 0x00563412;
    s.CopyrightPos = 4;
  }

  void TearDown() override {
    DeleteTree(entryKey_);
    DeleteTree(kOutsideKey);
    RunStrings().Load(StringTableData{});
  }

  std::optional<RawValue> Entry(const char* name) const { return ReadRaw(entryKey_, name); }

  ProductSettings product_;
  RunState run_;
  std::string keyName_;
  std::string entryKey_;
};

struct ExpectedValue {
  const char* name;
  DWORD type;
  std::string text;     // REG_SZ / REG_EXPAND_SZ
  uint32_t number = 0;  // REG_DWORD
};

TEST_F(UninstallRecordTest, WritesEveryValueWithItsType) {
  WriteUninstallRecord(run_, "\"Example Sans\" \"exsans.ttf\" ", "C:\\Windows\\System32\\exshared.dll");

  const std::string uninstaller = "\"C:\\Program Files\\Example\\Uninstall\\unins.exe\"";
  const std::vector<ExpectedValue> expected = {
      {"UninstallString", REG_SZ, uninstaller + " /u:\"" + keyName_ + "\""},
      {"QuietUninstallString", REG_SZ, uninstaller + " /a /u:\"" + keyName_ + "\""},
      {"DisplayName", REG_SZ, "Example"},
      {"InstallSource", REG_SZ, "C:\\Downloads\\example-setup.exe"},
      {"DisplayVersion", REG_SZ, "2.15.3"},
      {"Publisher", REG_SZ, "Example Ltd"},
      {"Bitness", REG_DWORD, "", 0},
      {"VersionMajor", REG_DWORD, "", 2},
      {"VersionMinor", REG_DWORD, "", 15},
      {"ProductRegistry", REG_SZ, "Example"},
      {"ProductStartMenu", REG_SZ, "Example Ltd\\Example"},
      {"SharedPath", REG_SZ, "C:\\Program Files\\Common Files\\Example"},
      {"ProductFonts", REG_SZ, "\"Example Sans\" \"exsans.ttf\" "},
      {"ProductFlags", REG_SZ, "-9223372002495037436"},
      {"ProductFlags2", REG_SZ, "2147483680"},
      {"SharedFiles", REG_SZ, "C:\\Windows\\System32\\exshared.dll"},
      {"UninstallSubdir", REG_SZ, "Uninstall"},
      {"EstimatedSize", REG_DWORD, "", 5120},
      {"DisplayTitle", REG_SZ, "Welcome to Example"},
      {"TitleColor", REG_DWORD, "", 0x00FFFFFF},
      {"TitleSize", REG_SZ, "14"},
      {"TopColor", REG_DWORD, "", 0x00800000},
      {"MonoColor", REG_DWORD, "", 1},
      {"TitleShadow", REG_DWORD, "", 1},
      {"TitlePosition", REG_DWORD, "", 2},
      {"TitleFont", REG_SZ, "Arial"},
      {"TaskbarText", REG_SZ, "Example Setup"},
      {"CopyrightText", REG_SZ, "(c) Example Ltd"},
      {"CopyrightFont", REG_SZ, "Tahoma"},
      {"CopyrightSize", REG_SZ, "10.5"},
      {"CopyrightColor", REG_SZ, "123456"},
      {"CopyrightPos", REG_DWORD, "", 4},
      {"InstallLocation", REG_SZ, "C:\\Program Files\\Example"},
  };
  for (const ExpectedValue& e : expected) {
    std::optional<RawValue> value = Entry(e.name);
    ASSERT_TRUE(value.has_value()) << e.name;
    EXPECT_EQ(value->type, e.type) << e.name;
    if (e.type == REG_DWORD) {
      EXPECT_EQ(value->bytes.size(), 4u) << e.name;
      EXPECT_EQ(NumberOf(*value), e.number) << e.name;
    } else {
      EXPECT_EQ(TextOf(*value), e.text) << e.name;
    }
  }
  // Zero numbers and empty texts with the delete option, the bottom colour of
  // a one-colour background, the bitmap values without a bitmap.
  for (const char* absent : {"ShortcutMode", "NotifyURL", "UninstallBatch1", "UninstallBatch2", "BottomColor",
                             "BitmapSize", "BitmapTPI", "StretchMode"}) {
    EXPECT_FALSE(Entry(absent).has_value()) << absent;
  }
  EXPECT_EQ(run_.failures.text(), "");
}

TEST_F(UninstallRecordTest, InstallDateIsTheLocalTimeInTheDefaultPattern) {
  WriteUninstallRecord(run_, "", "");
  std::optional<RawValue> date = Entry("InstallDate");
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(date->type, static_cast<DWORD>(REG_SZ));
  // m/d/y h:ii:ssap
  const std::regex pattern("(1[0-2]|[1-9])/([1-9]|[12][0-9]|3[01])/[0-9]{2} ([1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9][ap]");
  EXPECT_TRUE(std::regex_match(TextOf(*date), pattern)) << TextOf(*date);
}

TEST_F(UninstallRecordTest, OverwritesValueByValueAndKeepsWhatTheTableDoesNotWrite) {
  SetRawNumber(entryKey_, "VersionMajor", 7);
  SetRawNumber(entryKey_, "VersionMinor", 3);
  SetRawText(entryKey_, "Comments", "from an earlier version");
  SetRawNumber(entryKey_, "ShortcutMode", 1);
  SetRawText(entryKey_, "DisplayVersion", "1.0");
  SetRawNumber(entryKey_, "EstimatedSize", 99);
  SetRawText(entryKey_, "DisplayName", "Old name");
  RunState& run = run_;
  product_.stream.DisplayVersion = "";  // no "." either: the version numbers stay
  run.requiredSpace = 1023;

  WriteUninstallRecord(run_, "", "");

  EXPECT_EQ(NumberOf(Entry("VersionMajor").value_or(RawValue{})), 7u);
  EXPECT_EQ(NumberOf(Entry("VersionMinor").value_or(RawValue{})), 3u);
  EXPECT_EQ(TextOf(Entry("Comments").value_or(RawValue{})), "from an earlier version");
  EXPECT_EQ(TextOf(Entry("DisplayName").value_or(RawValue{})), "Example");
  EXPECT_FALSE(Entry("ShortcutMode").has_value());
  EXPECT_FALSE(Entry("DisplayVersion").has_value());
  EXPECT_FALSE(Entry("EstimatedSize").has_value());
  EXPECT_EQ(run_.failures.text(), "");
}

TEST_F(UninstallRecordTest, VersionWithoutADotKeepsEarlierNumbers) {
  SetRawNumber(entryKey_, "VersionMajor", 7);
  product_.stream.DisplayVersion = "2";
  WriteUninstallRecord(run_, "", "");
  EXPECT_EQ(TextOf(Entry("DisplayVersion").value_or(RawValue{})), "2");
  EXPECT_EQ(NumberOf(Entry("VersionMajor").value_or(RawValue{})), 7u);
  EXPECT_FALSE(Entry("VersionMinor").has_value());
}

TEST_F(UninstallRecordTest, BitmapValuesWithTheFlagAndABitmap) {
  SettingsStream& s = product_.stream;
  s.ProductFlags |= Bit(15);
  s.Bitmap = {'B', 'M'};
  s.BitmapSize = 60;
  s.BitmapTPI = 0xFFFFFFFF;
  s.StretchMode = 0;
  SetRawNumber(entryKey_, "BitmapTPI", 5);
  product_.monoColor = false;
  WriteUninstallRecord(run_, "", "");
  EXPECT_EQ(NumberOf(Entry("BitmapSize").value_or(RawValue{})), 60u);
  std::optional<RawValue> stretch = Entry("StretchMode");
  ASSERT_TRUE(stretch.has_value()) << "StretchMode 0 is written";
  EXPECT_EQ(NumberOf(*stretch), 0u);
  EXPECT_FALSE(Entry("BitmapTPI").has_value()) << "-1 means no transparent pixel";
  EXPECT_EQ(NumberOf(Entry("BottomColor").value_or(RawValue{})), 0x00800000u);
  EXPECT_EQ(NumberOf(Entry("MonoColor").value_or(RawValue{})), 0u);
}

TEST_F(UninstallRecordTest, MissingRequirementIsComputedFirst) {
  RunState& run = run_;
  run.requiredSpace = -1;
  run.uninstaller.size = 2 * 1024 * 1024;
  product_.stream.WizardBlock[0] = 10 * 1024;
  WriteUninstallRecord(run_, "", "");
  // No payload in this program: no files, only the uninstaller and the extra space.
  EXPECT_EQ(run.requiredSpace, 2 * 1024 * 1024 + 10 * 1024);
  EXPECT_EQ(NumberOf(Entry("EstimatedSize").value_or(RawValue{})), 2048u + 10u);
}

bool KeyExistsInView(const std::string& subKey, REGSAM view) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

TEST_F(UninstallRecordTest, EntryOfA64BitProductLiesInThe32BitView) {
  product_.stream.Bitness = 1;
  WriteUninstallRecord(run_, "", "");
  EXPECT_TRUE(KeyExistsInView(entryKey_, KEY_WOW64_32KEY));
  BOOL wow64 = FALSE;
  ::IsWow64Process(::GetCurrentProcess(), &wow64);
  if (wow64) {
    EXPECT_FALSE(KeyExistsInView(entryKey_, KEY_WOW64_64KEY));
  }
  EXPECT_EQ(NumberOf(Entry("Bitness").value_or(RawValue{})), 1u);
}

// ---- The author's extra values ----

TEST_F(UninstallRecordTest, ExtraValuesInTheEntryAndInOtherKeys) {
  SetRawNumber(entryKey_, "Zero", 5);
  SetRawText(entryKey_, "Empty", "earlier");
  product_.stream.UninstallValueList = {
      {"\\HKLM\\Software\\OrvantaTest\\Path", 1, "%InstallDir%\\bin"},
      {"Expandable", 2, "plain text"},
      {"Count", 4, "42"},
      {"Zero", 4, "0"},
      {"Empty", 1, ""},
      {"Other", 9, "other type"},
      {"\\HKXX\\Software\\OrvantaTest\\Bad", 1, "never"},
      {"\\HKLM\\Software\\OrvantaTest\\Second", 4, "-1"},
  };
  WriteUninstallRecord(run_, "", "");

  std::optional<RawValue> path = ReadRaw(kOutsideKey, "Path");
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(TextOf(*path), "C:\\Program Files\\Example\\bin");
  EXPECT_FALSE(Entry("Path").has_value());

  std::optional<RawValue> second = ReadRaw(kOutsideKey, "Second");
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(NumberOf(*second), 0xFFFFFFFFu);

  std::optional<RawValue> expandable = Entry("Expandable");
  ASSERT_TRUE(expandable.has_value());
  EXPECT_EQ(expandable->type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(TextOf(*expandable), "plain text");

  std::optional<RawValue> count = Entry("Count");
  ASSERT_TRUE(count.has_value());
  EXPECT_EQ(count->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(NumberOf(*count), 42u);

  std::optional<RawValue> other = Entry("Other");
  ASSERT_TRUE(other.has_value());
  EXPECT_EQ(other->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(TextOf(*other), "other type");

  EXPECT_FALSE(Entry("Zero").has_value());
  EXPECT_FALSE(Entry("Empty").has_value());

  // The record whose key cannot be opened is reported; the others were written.
  EXPECT_EQ(run_.failures.text(), "Failed to save data in registry key \"\\HKXX\\Software\\OrvantaTest\\Bad\": " +
                                           tl::SystemErrorText(ERROR_BAD_PATHNAME) + "\r\n");
  // Written after the extra values all the same.
  EXPECT_TRUE(Entry("InstallLocation").has_value());
  EXPECT_TRUE(Entry("InstallDate").has_value());
}

// ---- The entry cannot be written ----

TEST_F(UninstallRecordTest, EntryThatCannotBeCreatedGivesTheTwoFailureLines) {
  // Below a volatile key the system creates no lasting key.
  const std::string volatileKey = entryKey_;
  SetRaw(volatileKey, nullptr, 0, nullptr, 0, REG_OPTION_VOLATILE);
  RunState& run = run_;
  product_.stream.UninstallKeyName = keyName_ + "\\Child";
  product_.stream.LocationRegistryPath = "\\HKLM\\Software\\OrvantaTest\\InstallDir";
  product_.stream.UninstallValueList = {{"\\HKLM\\Software\\OrvantaTest\\Extra", 1, "x"}};

  WriteUninstallRecord(run_, "", "");

  HKEY child = nullptr;
  EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (volatileKey + "\\Child").c_str(), 0, KEY_READ, &child),
            ERROR_SUCCESS);
  if (child) ::RegCloseKey(child);
  EXPECT_EQ(run.failures.text(), "System error: " + tl::SystemErrorText(ERROR_CHILD_MUST_BE_VOLATILE) +
                                    "\r\n\r\n"
                                    "Unable to save the uninstall information to the registry.  Uninstall will "
                                    "not work properly.\r\n\r\n");
  // No value of the entry is written, the extra ones neither; the
  // installation-directory value is.
  EXPECT_FALSE(ReadRaw(kOutsideKey, "Extra").has_value());
  EXPECT_EQ(TextOf(ReadRaw(kOutsideKey, "InstallDir").value_or(RawValue{})), "C:\\Program Files\\Example");
}

// ---- The installation-directory value ----

TEST_F(UninstallRecordTest, RecordWritesTheInstallationDirectoryValue) {
  product_.stream.LocationRegistryPath = "\\HKLM\\Software\\OrvantaTest\\InstallDir";
  WriteUninstallRecord(run_, "", "");
  std::optional<RawValue> value = ReadRaw(kOutsideKey, "InstallDir");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(TextOf(*value), "C:\\Program Files\\Example");
}

TEST_F(UninstallRecordTest, InstallDirValueByPath) {
  struct Case {
    const char* path;
    const char* subKey;  // where the value must be; nullptr: nothing is written
    const char* name;
  };
  for (const Case& c : {Case{"\\HKLM\\Software\\OrvantaTest\\InstallDir", kOutsideKey, "InstallDir"},
                        Case{"\\hklm\\Software\\OrvantaTest\\Sub\\Folder", "Software\\OrvantaTest\\Sub", "Folder"},
                        Case{"\\HKLM\\Software\\OrvantaTest\\", kOutsideKey, ""},
                        Case{"NoBackslash", nullptr, "NoBackslash"},
                        Case{"\\HKXX\\Software\\OrvantaTest\\InstallDir", nullptr, "InstallDir"},
                        Case{"", nullptr, ""}}) {
    SCOPED_TRACE(WithoutBackslashes(c.path));
    DeleteTree(kOutsideKey);
    product_.stream.LocationRegistryPath = c.path;
    WriteInstallDirValue(run_);
    if (c.subKey) {
      std::optional<RawValue> value = ReadRaw(c.subKey, c.name);
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
      EXPECT_EQ(TextOf(*value), "C:\\Program Files\\Example");
    } else {
      HKEY key = nullptr;
      EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOutsideKey, 0, KEY_READ, &key), ERROR_SUCCESS);
      if (key) ::RegCloseKey(key);
      EXPECT_FALSE(ReadRaw("", c.name).has_value());
    }
    EXPECT_EQ(run_.failures.text(), "");  // silent either way
  }
}

// ---- The drive's cluster size ----

TEST(DriveClusterSize, ComesFromTheVolumeOfTheFolder) {
  char windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_GT(n, 0u);
  uint32_t cluster = DriveClusterSize(windows);
  EXPECT_GT(cluster, 0u);
  EXPECT_EQ(cluster % 512, 0u) << cluster;
  EXPECT_EQ(DriveClusterSize(std::string("|") + windows), cluster) << "the UTF-8 form asks the same drive";
  EXPECT_EQ(DriveClusterSize(std::string(windows) + "\\does not exist yet"), cluster);
  EXPECT_EQ(DriveClusterSize("relative\\folder"), 0u);
}

}  // namespace
}  // namespace setup
