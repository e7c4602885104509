#include "setup/vars/path_variables_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "setup/run/run_state.h"
#include "tl_core/path_text.h"
#include "tl_core/registry_key_win.h"
#include "tl_core/text.h"

namespace setup {
namespace {

using V = PathVariable;

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ModulePath() {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  return std::string(folder, ::GetWindowsDirectoryA(folder, MAX_PATH));
}

std::string LocalMachineText(const char* subKey, const char* name) {
  tl::RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, subKey, tl::kRegOpenExistingOnly, KEY_QUERY_VALUE) == tl::RegOpenResult::kFailed)
    return {};
  return key.ReadText(name);
}

bool IsDriveWithColon(const std::string& text) {
  return text.size() == 2 && std::isupper(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

// The values of this run that the variables name.
class PathVariablesWin : public ::testing::Test {
 protected:
  PathVariablesWin() : run_(product_, {}) {
    product_.displayName = "Demo Product";
    product_.stream.DisplayVersion = "2.5";
    run_.folders.installLocation = "c:\\Demo Install";
    run_.folders.sharedFolder = "C:\\Program Files\\Common Files\\Demo";
    run_.folders.uninstallDataFolder = "c:\\Demo Install\\uninstall";
    run_.earlier.version = "2.0";
  }
  std::string Expanded(std::string text) {
    EXPECT_TRUE(ExpandPathVariables(run_, text)) << text;
    return text;
  }
  ProductSettings product_;
  RunState run_;
};

enum class Kind { kFolder, kRunValue, kSpecial };

struct VariableCase {
  PathVariable variable;
  Kind kind;
  const char* runValue;  // for kRunValue
};

const VariableCase kAllVariables[] = {
    {V::kAppDataAllDir, Kind::kFolder, nullptr},
    {V::kAppDataDir, Kind::kFolder, nullptr},
    {V::kBits, Kind::kSpecial, nullptr},
    {V::kBootDrive, Kind::kSpecial, nullptr},
    {V::kCommonDir, Kind::kFolder, nullptr},
    {V::kDesktopAllDir, Kind::kFolder, nullptr},
    {V::kDesktopDir, Kind::kFolder, nullptr},
    {V::kDeviceDir, Kind::kFolder, nullptr},
    {V::kDocumentAllDir, Kind::kFolder, nullptr},
    {V::kDocumentDir, Kind::kFolder, nullptr},
    {V::kFavoritesAllDir, Kind::kFolder, nullptr},
    {V::kFavoritesDir, Kind::kFolder, nullptr},
    {V::kFontDir, Kind::kFolder, nullptr},
    {V::kInetpub, Kind::kSpecial, nullptr},
    {V::kInstallDir, Kind::kRunValue, "c:\\Demo Install"},
    {V::kInstallDrive, Kind::kRunValue, "C:"},
    {V::kInstallerDir, Kind::kFolder, nullptr},
    {V::kInstallerDrive, Kind::kSpecial, nullptr},
    {V::kInstallerFilename, Kind::kSpecial, nullptr},
    {V::kInstallerFilepath, Kind::kSpecial, nullptr},
    {V::kMediaDir, Kind::kSpecial, nullptr},
    {V::kOldVersion, Kind::kRunValue, "2.0"},
    {V::kProductName, Kind::kRunValue, "Demo Product"},
    {V::kProgramsDir, Kind::kFolder, nullptr},
    {V::kSharedDir, Kind::kRunValue, "C:\\Program Files\\Common Files\\Demo"},
    {V::kSMProgramsAllDir, Kind::kFolder, nullptr},
    {V::kSMProgramsDir, Kind::kFolder, nullptr},
    {V::kStartMenuAllDir, Kind::kFolder, nullptr},
    {V::kStartMenuDir, Kind::kFolder, nullptr},
    {V::kStartupAllDir, Kind::kFolder, nullptr},
    {V::kStartupDir, Kind::kFolder, nullptr},
    {V::kSystemDir, Kind::kFolder, nullptr},
    {V::kTemp, Kind::kFolder, nullptr},
    {V::kUninstallDir, Kind::kRunValue, "c:\\Demo Install\\uninstall"},
    {V::kVersion, Kind::kRunValue, "2.5"},
    {V::kWinDir, Kind::kFolder, nullptr},
};

void CheckSpecial(PathVariable variable, const std::string& value) {
  const std::string module = ModulePath();
  switch (variable) {
    case V::kBits:
      EXPECT_TRUE(value == "32" || value == "64") << value;
      break;
    case V::kBootDrive:
      EXPECT_TRUE(IsDriveWithColon(value)) << value;
      break;
    case V::kInetpub: {
      // Without a web server the parent of the default web root.
      const std::string webRoot = LocalMachineText("SOFTWARE\\Microsoft\\INetStp", "PathWWWRoot");
      if (webRoot.empty()) EXPECT_EQ(value, "c:\\Inetpub");
      else EXPECT_TRUE(IsDirectory(value)) << value;
      break;
    }
    case V::kInstallerDrive:
      ASSERT_EQ(value.size(), 1u) << value;
      EXPECT_EQ(value[0], std::toupper(static_cast<unsigned char>(module[0])));
      EXPECT_TRUE(std::isupper(static_cast<unsigned char>(value[0])));
      break;
    case V::kInstallerFilename:
      EXPECT_TRUE(tl::EqualsNoCase(value, tl::FileNamePart(module))) << value;
      break;
    case V::kInstallerFilepath:
      EXPECT_EQ(value, module);
      EXPECT_TRUE(IsFile(value)) << value;
      break;
    case V::kMediaDir: {
      // Wine keeps no MediaPath value: then the Windows folder's "Media".
      const std::string media = LocalMachineText("Software\\Microsoft\\Windows\\CurrentVersion", "MediaPath");
      if (media.empty()) EXPECT_EQ(value, tl::JoinPath(WindowsFolder(), "Media"));
      else EXPECT_TRUE(IsDirectory(value)) << value;
      break;
    }
    default:
      ADD_FAILURE() << "no check for " << PathVariableName(variable);
  }
}

TEST_F(PathVariablesWin, EveryVariableHasItsValue) {
  ASSERT_EQ(std::size(kAllVariables), static_cast<size_t>(kPathVariableCount));
  for (const VariableCase& c : kAllVariables) {
    SCOPED_TRACE(std::string(PathVariableName(c.variable)));
    const std::string value = Expanded(PathVariableToken(c.variable));
    EXPECT_EQ(value, PathVariableValue(run_, c.variable));
    switch (c.kind) {
      case Kind::kFolder:
        EXPECT_TRUE(IsDirectory(value)) << value;
        EXPECT_FALSE(value.size() > 3 && value.back() == '\\') << value;
        break;
      case Kind::kRunValue:
        EXPECT_EQ(value, c.runValue);
        break;
      case Kind::kSpecial:
        CheckSpecial(c.variable, value);
        break;
    }
  }
}

TEST_F(PathVariablesWin, LetterCaseOfTheNameDoesNotMatter) {
  for (PathVariable v : PathVariablesInOrder()) {
    const std::string token = PathVariableToken(v);
    std::string lower = token, upper = token;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::string expected = Expanded(token);
    EXPECT_EQ(Expanded(lower), expected) << lower;
    EXPECT_EQ(Expanded(upper), expected) << upper;
  }
}

TEST_F(PathVariablesWin, TempHasNoTrailingBackslash) {
  char path[MAX_PATH + 1] = {};
  ASSERT_GT(::GetTempPathA(MAX_PATH + 1, path), 0u);
  std::string system(path);
  ASSERT_EQ(system.back(), '\\') << "the system's temporary path ends with a backslash";
  system.pop_back();
  EXPECT_EQ(Expanded("%Temp%"), system);
}

TEST_F(PathVariablesWin, TextsMixingVariablesAndEnvironment) {
  const std::string windows = WindowsFolder();
  char systemRoot[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH), 0u);
  const struct {
    const char* installLocation;
    const char* text;
    std::string expected;
  } cases[] = {
      {"c:\\Demo", "no variables here", "no variables here"},
      {"c:\\Demo", "%InstallDir%\\bin\\%ProductName%.exe", "c:\\Demo\\bin\\Demo Product.exe"},
      {"c:\\Demo", "%SystemRoot%|%WinDir%", std::string(systemRoot) + "|" + windows},
      {"c:\\Demo", "%NoSuchVariableHere%\\x", "%NoSuchVariableHere%\\x"},
      // A later variable inside an earlier one's value is replaced too.
      {"c:\\%WinDir%", "%InstallDir%\\x", "c:\\" + windows + "\\x"},
      // The environment step also sees what the variables inserted.
      {"c:\\%SystemRoot%", "%InstallDir%", "c:\\" + std::string(systemRoot)},
      // UTF-8 install folder: the drive skips the mark; the text becomes UTF-8.
      {"|d:\\Ünï", "%InstallDrive%", "D:"},
      {"|d:\\Ünï", "%InstallDir%\\%ProductName%", "|d:\\Ünï\\Demo Product"},
  };
  for (const auto& c : cases) {
    run_.folders.installLocation = c.installLocation;
    EXPECT_EQ(Expanded(c.text), c.expected) << c.text << " with " << c.installLocation;
  }
}

TEST_F(PathVariablesWin, Utf8TextGetsUtf8Values) {
  product_.displayName = "Caf\xE9";  // ANSI é
  std::string text = "|C:\\\xC3\x9C\\%ProductName%";
  ASSERT_TRUE(ExpandPathVariables(run_, text));
  if (::GetACP() == 1252) EXPECT_EQ(text, "|C:\\\xC3\x9C\\Caf\xC3\xA9");
  std::string ansi = "C:\\%ProductName%";
  ASSERT_TRUE(ExpandPathVariables(run_, ansi));
  EXPECT_EQ(ansi, "C:\\Caf\xE9");
}

TEST_F(PathVariablesWin, EnvironmentStepFailsForAnOversizedResult) {
  const std::string bits = Expanded("%Bits%");
  // Longer than the 31,999-character result buffer, and longer than the
  // system's string limit.
  for (size_t length : {size_t{32000}, size_t{40000}}) {
    std::string text("%Bits%");
    text.append(length, 'a');
    EXPECT_FALSE(ExpandPathVariables(run_, text)) << length;
    EXPECT_EQ(text.size(), length + 2) << "the variable step stays done";
    EXPECT_EQ(text.substr(0, 2), bits);
  }
  std::string fits("%Bits%");
  fits.append(31000, 'a');
  EXPECT_TRUE(ExpandPathVariables(run_, fits));
  EXPECT_EQ(fits.size(), 31002u);
}

TEST_F(PathVariablesWin, BatchSetLinesCarryTheRun) {
  const std::string with = BatchSetLines(run_, "c:\\Demo Install");
  EXPECT_EQ(with.rfind("SET InstallDir=c:\\Demo Install\r\nSET InstallDrive=C:\r\nSET Bits=", 0), 0u) << with;
  EXPECT_NE(with.find("\r\nSET ProductName=Demo Product\r\n"), std::string::npos);
  EXPECT_NE(with.find("\r\nSET InstallerDrive=" + std::string(1, static_cast<char>(std::toupper(ModulePath()[0]))) +
                      ":\r\n"),
            std::string::npos)
      << with;
  const std::string without = BatchSetLines(run_, "");
  EXPECT_EQ(without.rfind("SET Bits=", 0), 0u) << without;
  EXPECT_EQ(without.find("InstallDir="), std::string::npos);
}

}  // namespace
}  // namespace setup
