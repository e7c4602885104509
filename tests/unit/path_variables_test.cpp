#include "setup/vars/path_variables.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace setup {
namespace {

TEST(PathVariableTable, NamesInReplacementOrder) {
  const std::vector<std::string> expected = {
      "%AppDataAllDir%",   "%AppDataDir%",       "%Bits%",           "%BootDrive%",       "%CommonDir%",
      "%DesktopAllDir%",   "%DesktopDir%",       "%DeviceDir%",      "%DocumentAllDir%",  "%DocumentDir%",
      "%FavoritesAllDir%", "%FavoritesDir%",     "%FontDir%",        "%Inetpub%",         "%InstallDir%",
      "%InstallDrive%",    "%InstallerDir%",     "%InstallerDrive%", "%InstallerFilename%", "%InstallerFilepath%",
      "%MediaDir%",        "%OldVersion%",       "%ProductName%",    "%ProgramsDir%",     "%SharedDir%",
      "%SMProgramsAllDir%", "%SMProgramsDir%",   "%StartMenuAllDir%", "%StartMenuDir%",   "%StartupAllDir%",
      "%StartupDir%",      "%SystemDir%",        "%Temp%",           "%UninstallDir%",    "%Version%",
      "%WinDir%",
  };
  std::vector<std::string> actual;
  for (PathVariable v : PathVariablesInOrder()) actual.push_back(PathVariableToken(v));
  EXPECT_EQ(actual, expected);
}

// A value source over a fixed map that counts what it is asked.
class FakeValues {
 public:
  explicit FakeValues(std::map<PathVariable, std::string> values) : values_(std::move(values)) {}
  PathValueSource Source() {
    return [this](PathVariable v) {
      ++asked_[v];
      auto it = values_.find(v);
      return it == values_.end() ? "v-" + std::string(PathVariableName(v)) : it->second;
    };
  }
  const std::map<PathVariable, int>& asked() const { return asked_; }

 private:
  std::map<PathVariable, std::string> values_;
  std::map<PathVariable, int> asked_;
};

struct ReplaceCase {
  const char* name;
  std::map<PathVariable, std::string> values;
  std::string text;
  std::string expected;
};

TEST(ReplacePathVariables, Cases) {
  using V = PathVariable;
  const std::map<PathVariable, std::string> plain = {
      {V::kInstallDir, "C:\\App"}, {V::kTemp, "C:\\T"}, {V::kBits, "32"}, {V::kProductName, "Demo"}};
  const ReplaceCase cases[] = {
      {"mixed case", plain, "%InstallDir%\\bin", "C:\\App\\bin"},
      {"lower case", plain, "%installdir%\\bin", "C:\\App\\bin"},
      {"upper case", plain, "%INSTALLDIR%\\bin", "C:\\App\\bin"},
      {"odd case", plain, "%iNsTaLlDiR%\\bin", "C:\\App\\bin"},
      {"no percent sign", plain, "C:\\Program Files\\Demo", "C:\\Program Files\\Demo"},
      {"empty", plain, "", ""},
      {"unknown name left for the environment", plain, "%Foo%\\%InstallDir%", "%Foo%\\C:\\App"},
      {"every occurrence", plain, "%Bits%-%bits%-%BITS%", "32-32-32"},
      {"adjacent", plain, "%Bits%%Bits%", "3232"},
      {"inside extra percent signs", plain, "%%InstallDir%%", "%C:\\App%"},
      {"several variables", plain, "%InstallDir%\\%ProductName%.%Bits%", "C:\\App\\Demo.32"},
      {"unfinished name", plain, "%InstallDir", "%InstallDir"},
      {"value naming a later variable is expanded",
       {{V::kInstallDir, "C:\\%Temp%\\app"}, {V::kTemp, "D:\\tmp"}},
       "%InstallDir%\\x",
       "C:\\D:\\tmp\\app\\x"},
      {"value naming an earlier variable stays",
       {{V::kInstallDir, "C:\\App"}, {V::kProductName, "%InstallDir%"}},
       "%ProductName%",
       "%InstallDir%"},
      {"value naming its own variable is not searched again",
       {{V::kInstallDir, "x%InstallDir%y"}},
       "%InstallDir%|%InstallDir%",
       "x%InstallDir%y|x%InstallDir%y"},
      {"empty value", {{V::kOldVersion, ""}}, "v%OldVersion%.", "v."},
  };
  for (const ReplaceCase& c : cases) {
    FakeValues values(c.values);
    std::string text = c.text;
    ReplacePathVariables(text, values.Source());
    EXPECT_EQ(text, c.expected) << c.name;
  }
}

TEST(ReplacePathVariables, AsksOnlyForVariablesInTheTextAndEachOnce) {
  using V = PathVariable;
  FakeValues values({{V::kInstallDir, "C:\\%Temp%"}, {V::kTemp, "T"}});
  std::string text = "%InstallDir%;%installdir%;%WinDir%";
  ReplacePathVariables(text, values.Source());
  const std::map<PathVariable, int> expected = {{V::kInstallDir, 1}, {V::kTemp, 1}, {V::kWinDir, 1}};
  EXPECT_EQ(values.asked(), expected);
  EXPECT_EQ(text, "C:\\T;C:\\T;v-WinDir");
}

TEST(BuildBatchSetLines, AllLinesInOrderWithAWorkingDirectory) {
  using V = PathVariable;
  FakeValues values({{V::kInstallDir, "C:\\App"}, {V::kInstallerDrive, "E"}});
  const std::string expected =
      "SET InstallDir=C:\\App\r\n"
      "SET InstallDrive=D:\r\n"
      "SET Bits=v-Bits\r\n"
      "SET UninstallDir=v-UninstallDir\r\n"
      "SET SharedDir=v-SharedDir\r\n"
      "SET InstallerFilepath=v-InstallerFilepath\r\n"
      "SET InstallerDir=v-InstallerDir\r\n"
      "SET InstallerFilename=v-InstallerFilename\r\n"
      "SET InstallerDrive=E:\r\n"
      "SET SystemDir=v-SystemDir\r\n"
      "SET DeviceDir=v-DeviceDir\r\n"
      "SET MediaDir=v-MediaDir\r\n"
      "SET FavoritesDir=v-FavoritesDir\r\n"
      "SET FavoritesAllDir=v-FavoritesAllDir\r\n"
      "SET FontDir=v-FontDir\r\n"
      "SET DesktopDir=v-DesktopDir\r\n"
      "SET DesktopAllDir=v-DesktopAllDir\r\n"
      "SET DocumentDir=v-DocumentDir\r\n"
      "SET DocumentAllDir=v-DocumentAllDir\r\n"
      "SET ProductName=v-ProductName\r\n"
      "SET ProgramsDir=v-ProgramsDir\r\n"
      "SET StartMenuDir=v-StartMenuDir\r\n"
      "SET StartMenuAllDir=v-StartMenuAllDir\r\n"
      "SET SMProgramsDir=v-SMProgramsDir\r\n"
      "SET SMProgramsAllDir=v-SMProgramsAllDir\r\n"
      "SET StartupDir=v-StartupDir\r\n"
      "SET StartupAllDir=v-StartupAllDir\r\n"
      "SET BootDrive=v-BootDrive\r\n"
      "SET CommonDir=v-CommonDir\r\n"
      "SET Inetpub=v-Inetpub\r\n"
      "SET AppDataDir=v-AppDataDir\r\n"
      "SET AppDataAllDir=v-AppDataAllDir\r\n"
      "SET Version=v-Version\r\n"
      "SET OldVersion=v-OldVersion\r\n";
  // The batch's drive is that of its working directory, not of InstallDir.
  EXPECT_EQ(BuildBatchSetLines("d:\\Work", values.Source()), expected);
}

TEST(BuildBatchSetLines, WithoutWorkingDirectoryNoInstallLinesAndNoTempOrWinDir) {
  using V = PathVariable;
  FakeValues values({{V::kInstallerDrive, ""}});
  const std::string lines = BuildBatchSetLines("", values.Source());
  EXPECT_EQ(lines.rfind("SET Bits=v-Bits\r\n", 0), 0u) << lines;
  EXPECT_EQ(lines.find("InstallDir="), std::string::npos);
  EXPECT_EQ(lines.find("InstallDrive="), std::string::npos);
  EXPECT_NE(lines.find("SET InstallerDrive=\r\n"), std::string::npos) << "no colon without a letter";
  EXPECT_EQ(lines.find("Temp"), std::string::npos);
  EXPECT_EQ(lines.find("WinDir"), std::string::npos);
}

TEST(BuildBatchSetLines, ValuesCannotRunCommands) {
  using V = PathVariable;
  FakeValues values({{V::kProductName, "Tom & Jerry"}, {V::kVersion, "1.0\r\ndel x"}});
  const std::string lines = BuildBatchSetLines("", values.Source());
  EXPECT_NE(lines.find("SET ProductName=Tom ^& Jerry\r\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("SET Version=1.0del x\r\n"), std::string::npos) << lines;
}

TEST(BatchSetValue, Escaping) {
  const struct {
    const char* value;
    const char* expected;
  } cases[] = {
      {"C:\\Program Files (x86)\\Demo", "C:\\Program Files (x86)\\Demo"},
      {"", ""},
      {"Tom & Jerry", "Tom ^& Jerry"},
      {"a|b<c>d^e", "a^|b^<c^>d^^e"},
      {"100%", "100%%"},
      {"%PATH%", "%%PATH%%"},
      {"say \"a&b\" & c", "say \"a&b\" ^& c"},
      {"open \"quote & more", "open \"quote & more"},
      {"line\r\nbreak\n", "linebreak"},
  };
  for (const auto& c : cases) EXPECT_EQ(BatchSetValue(c.value), c.expected) << c.value;
}

struct PathRuleCase {
  const char* input;
  const char* expected;
};

TEST(PathRules, ParentFolder) {
  const PathRuleCase cases[] = {
      {"c:\\Inetpub\\wwwroot", "c:\\Inetpub"},
      {"c:\\Inetpub\\wwwroot\\", "c:\\Inetpub"},
      {"C:\\ProgramData\\Start Menu\\Programs\\Startup", "C:\\ProgramData\\Start Menu\\Programs"},
      {"C:\\", "C:"},
      {"C:\\x", "C:"},
      {"name", "name"},
      {"", ""},
  };
  for (const PathRuleCase& c : cases) EXPECT_EQ(ParentFolder(c.input), c.expected) << c.input;
}

TEST(PathRules, StoredFolderValueLosesOneTrailingBackslashAfterThreeCharacters) {
  const PathRuleCase cases[] = {
      {"C:\\", "C:\\"},
      {"C:\\x\\", "C:\\x"},
      {"C:\\x\\\\", "C:\\x\\"},
      {"C:\\x", "C:\\x"},
      {"ab\\", "ab\\"},
      {"", ""},
  };
  for (const PathRuleCase& c : cases) EXPECT_EQ(StoredFolderValue(c.input), c.expected) << c.input;
}

TEST(PathRules, ProgramFileParts) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\Downloads\\setup.exe", "C:\\Downloads", "setup.exe"},
      {"C:\\setup.exe", "C:", "setup.exe"},
      {"\\\\server\\share\\setup.exe", "\\\\server\\share", "setup.exe"},
      {"setup.exe", "", "setup.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderOfFile(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOfFile(c.path), c.name) << c.path;
  }
}

TEST(PathRules, Drives) {
  const struct {
    const char* path;
    const char* withColon;
    const char* letter;
    const char* bootDrive;
  } cases[] = {
      {"c:\\Program Files", "C:", "C", "C:"},
      {"D:\\", "D:", "D", "D:"},
      {"e:", "E:", "E", "E:"},
      {"|f:\\Ünïcode", "F:", "F", "C:"},  // only install paths carry the UTF-8 mark
      {"\\\\server\\share", "", "", "C:"},
      {"1:\\x", "", "", "C:"},
      {"C", "", "", "C:"},
      {"", "", "", "C:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DriveWithColon(c.path), c.withColon) << c.path;
    EXPECT_EQ(DriveLetter(c.path), c.letter) << c.path;
    EXPECT_EQ(BootDriveFromBootDir(c.path), c.bootDrive) << c.path;
  }
}

TEST(PathRules, DeviceDir) {
  const struct {
    const char* devicePath;
    const char* systemRoot;
    const char* expected;
  } cases[] = {
      {"%SystemRoot%\\inf", "C:\\Windows", "C:\\Windows\\inf"},
      {"%systemroot%\\inf;D:\\drivers", "C:\\Windows", "C:\\Windows\\inf"},
      {"%SystemRoot%\\inf\\%SystemRoot%", "C:\\W", "C:\\W\\inf\\%SystemRoot%"},
      {"%SystemRoot%\\inf", "", "%SystemRoot%\\inf"},
      {"D:\\drivers", "C:\\Windows", "D:\\drivers"},
      {"", "C:\\Windows", "C:\\Windows\\INF"},
      {";D:\\drivers", "C:\\Windows", "C:\\Windows\\INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(DeviceDirValue(c.devicePath, c.systemRoot, "C:\\Windows"), c.expected) << c.devicePath;
}

TEST(PathRules, InetpubIsTheParentOfTheWebRoot) {
  EXPECT_EQ(InetpubValue(""), "c:\\Inetpub");
  EXPECT_EQ(InetpubValue("D:\\web\\root\\"), "D:\\web");
  EXPECT_EQ(InetpubValue("D:\\web\\root"), "D:\\web");
}

TEST(PathRules, TempHasNoTrailingBackslash) {
  const PathRuleCase cases[] = {
      {"C:\\Users\\me\\Temp\\", "C:\\Users\\me\\Temp"},
      {"C:\\Temp", "C:\\Temp"},
      {"C:\\", "C:"},
      {"", "c:\\temp"},
      {"\\", "c:\\temp"},
  };
  for (const PathRuleCase& c : cases) EXPECT_EQ(TempValue(c.input), c.expected) << c.input;
}

TEST(PathRules, SystemDirFallsBackByFamily) {
  EXPECT_EQ(SystemDirValue("C:\\Windows\\system32", "C:\\Windows", true), "C:\\Windows\\system32");
  EXPECT_EQ(SystemDirValue("", "C:\\Windows", true), "C:\\Windows\\System32");
  EXPECT_EQ(SystemDirValue("", "C:\\Windows\\", false), "C:\\Windows\\System");
}

}  // namespace
}  // namespace setup
