#include "setup/vars/path_variables_win.h"

#include <windows.h>

#include <vector>

#include "tl_core/os_facts_win.h"
#include "tl_core/path_text.h"
#include "tl_core/registry_key_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"
#include "tl_core/system_folders_win.h"

namespace setup {
namespace {

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
constexpr char kSetupKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr char kInetStpKey[] = "SOFTWARE\\Microsoft\\INetStp";
constexpr DWORD kExpansionBufferChars = 31999;
// The system converts the text into one counted string first, which holds
// at most 32767 characters with its terminator; a longer text is refused
// here instead of being handed to the call.
constexpr size_t kMaxExpansionInput = 32766;

// CSIDL numbers of the shell's special folders.
enum Csidl : int {
  kCsidlPrograms = 2,
  kCsidlPersonal = 5,
  kCsidlFavorites = 6,
  kCsidlStartup = 7,
  kCsidlStartMenu = 11,
  kCsidlDesktop = 16,
  kCsidlFonts = 20,
  kCsidlCommonStartMenu = 22,
  kCsidlCommonPrograms = 23,
  kCsidlCommonStartup = 24,
  kCsidlCommonDesktop = 25,
  kCsidlAppData = 26,
  kCsidlCommonFavorites = 31,
  kCsidlCommonAppData = 35,
  kCsidlProgramFiles = 38,
  kCsidlProgramFilesCommon = 43,
  kCsidlCommonDocuments = 46,
};

std::string ReadRegistryText(HKEY root, const char* subKey, const char* valueName) {
  tl::RegistryKey key;
  if (key.Open(root, subKey, tl::kRegOpenExistingOnly, KEY_QUERY_VALUE) == tl::RegOpenResult::kFailed) return {};
  return key.ReadText(valueName);
}

// Asks the shell without creating the folder; empty when it has no answer.
std::string ShellSpecialFolder(int csidl) {
  using GetSpecialFolderPathFn = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  static const auto getPath = tl::OnDemandFunction<GetSpecialFolderPathFn>("shell32.dll", "SHGetSpecialFolderPathA");
  if (!getPath) return {};
  char path[MAX_PATH + 1] = {};
  if (!getPath(nullptr, path, csidl, FALSE)) return {};
  return path;
}

// The "Shell Folders" value: all-users folders (names beginning with
// "Common") are kept under HKEY_LOCAL_MACHINE, the user's under HKEY_CURRENT_USER.
std::string ShellFoldersValue(const char* name) {
  const bool allUsers = std::string_view(name).starts_with("Common");
  return StoredFolderValue(
      ReadRegistryText(allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kShellFoldersKey, name));
}

std::string CurrentVersionValue(const char* name) {
  return StoredFolderValue(ReadRegistryText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, name));
}

// The shell's answer, else the "Shell Folders" value, else empty.
std::string KnownFolder(int csidl, const char* shellFoldersName) {
  std::string folder = ShellSpecialFolder(csidl);
  if (folder.empty()) folder = ShellFoldersValue(shellFoldersName);
  return folder;
}

template <class Fallback>
std::string OrElse(std::string value, Fallback&& fallback) {
  return value.empty() ? fallback() : value;
}



std::string TemporaryPath() {
  char path[MAX_PATH + 2] = {};
  const DWORD n = ::GetTempPathA(MAX_PATH + 2, path);
  return n > 0 && n <= MAX_PATH + 1 ? std::string(path, n) : std::string();
}

std::string ProgramFilePath() {
  std::vector<char> path(MAX_PATH + 1);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return std::string(path.data(), n);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::string EnvironmentValue(const char* name) {
  char value[MAX_PATH + 1] = {};
  const DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? std::string(value, n) : std::string();
}

// Environment variables of an ANSI text expanded; nothing when the system
// fails or the result does not fit the buffer.
bool ExpandAnsiEnvironment(std::string& text) {
  if (text.size() > kMaxExpansionInput) return false;
  std::vector<char> buffer(kExpansionBufferChars);
  const DWORD n = ::ExpandEnvironmentStringsA(text.c_str(), buffer.data(), kExpansionBufferChars);
  if (n == 0 || n > kExpansionBufferChars) return false;
  text.assign(buffer.data(), strnlen(buffer.data(), n));
  return true;
}

std::string WideToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0)
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
  return out;
}

// The same for a "|" UTF-8 text, through the wide call so that no
// character is lost to the ANSI code page.
bool ExpandUtf8Environment(std::string& text) {
  const std::wstring wide = tl::ToWide(text);
  if (wide.size() > kMaxExpansionInput) return false;
  std::vector<wchar_t> buffer(kExpansionBufferChars);
  const DWORD n = ::ExpandEnvironmentStringsW(wide.c_str(), buffer.data(), kExpansionBufferChars);
  if (n == 0 || n > kExpansionBufferChars) return false;
  text.assign(1, '|');
  text += WideToUtf8(std::wstring_view(buffer.data(), wcsnlen(buffer.data(), n)));
  return true;
}

bool IsUtf8Text(std::string_view text) { return !text.empty() && text.front() == '|'; }

// A value as it must be inserted into a "|" UTF-8 text.
std::string AsUtf8Insertion(const std::string& value) {
  if (IsUtf8Text(value)) return value.substr(1);
  for (char c : value) {
    if (static_cast<unsigned char>(c) >= 0x80) return WideToUtf8(tl::ToWide(value));
  }
  return value;
}

std::string BootDrive() {
  return BootDriveFromBootDir(ReadRegistryText(HKEY_LOCAL_MACHINE, kSetupKey, "BootDir"));
}

std::string DeviceDir() {
  return DeviceDirValue(CurrentVersionValue("DevicePath"), EnvironmentValue("SystemRoot"), tl::WindowsFolder());
}

std::string Inetpub() {
  std::string webRoot = ReadRegistryText(HKEY_LOCAL_MACHINE, kInetStpKey, "PathWWWRoot");
  if (!webRoot.empty() && !ExpandAnsiEnvironment(webRoot)) webRoot.clear();
  return InetpubValue(webRoot);
}

// The all-users start menu folders named by their "Common Startup" folder.
std::string CommonStartupAncestor(int levels) {
  std::string folder = ShellFoldersValue("Common Startup");
  for (int i = 0; i < levels && !folder.empty(); ++i) folder = ParentFolder(folder);
  return folder;
}

bool IsNtFamily() { return tl::RunningSystemFacts().platformId == VER_PLATFORM_WIN32_NT; }

}  // namespace

std::string PathVariableValue(const RunState& run, PathVariable variable) {
  using V = PathVariable;
  // Fallbacks are computed only when the lookups before them found nothing.
  const auto valueOf = [&run](V other) { return [&run, other] { return PathVariableValue(run, other); }; };
  const auto underWindows = [](const char* name) { return [name] { return tl::JoinPath(tl::WindowsFolder(), name); }; };
  const auto under = [&run](V folder, const char* name) {
    return [&run, folder, name] { return tl::JoinPath(PathVariableValue(run, folder), name); };
  };
  const auto text = [](const char* fixed) { return [fixed] { return std::string(fixed); }; };
  switch (variable) {
    case V::kAppDataAllDir:
      return OrElse(KnownFolder(kCsidlCommonAppData, "Common AppData"), valueOf(V::kCommonDir));
    case V::kAppDataDir:
      return OrElse(KnownFolder(kCsidlAppData, "AppData"), valueOf(V::kCommonDir));
    case V::kBits:
      return tl::IsRunningOn64BitWindows() ? "64" : "32";
    case V::kBootDrive:
      return BootDrive();
    case V::kCommonDir:
      return OrElse(ShellSpecialFolder(kCsidlProgramFilesCommon), [&] {
        return OrElse(CurrentVersionValue("CommonFilesDir"), under(V::kProgramsDir, "Common Files"));
      });
    case V::kDesktopAllDir:
      return OrElse(KnownFolder(kCsidlCommonDesktop, "Common Desktop"), valueOf(V::kDesktopDir));
    case V::kDesktopDir:
      return OrElse(KnownFolder(kCsidlDesktop, "Desktop"), underWindows("Desktop"));
    case V::kDeviceDir:
      return DeviceDir();
    case V::kDocumentAllDir:
      return OrElse(KnownFolder(kCsidlCommonDocuments, "Common Documents"), valueOf(V::kDocumentDir));
    case V::kDocumentDir:
      return OrElse(KnownFolder(kCsidlPersonal, "Personal"), text("c:\\My Documents"));
    case V::kFavoritesAllDir:
      return OrElse(KnownFolder(kCsidlCommonFavorites, "Common Favorites"), valueOf(V::kFavoritesDir));
    case V::kFavoritesDir:
      return OrElse(KnownFolder(kCsidlFavorites, "Favorites"), underWindows("Favorites"));
    case V::kFontDir:
      return OrElse(KnownFolder(kCsidlFonts, "Fonts"), underWindows("Fonts"));
    case V::kInetpub:
      return Inetpub();
    case V::kInstallDir:
      return run.folders.installLocation;
    case V::kInstallDrive:
      return DriveWithColon(run.folders.installLocation);
    case V::kInstallerDir:
      return FolderOfFile(ProgramFilePath());
    case V::kInstallerDrive:
      return DriveLetter(ProgramFilePath());
    case V::kInstallerFilename:
      return FileNameOfFile(ProgramFilePath());
    case V::kInstallerFilepath:
      return ProgramFilePath();
    case V::kMediaDir:
      return OrElse(CurrentVersionValue("MediaPath"), underWindows("Media"));
    case V::kOldVersion:
      return run.earlier.version;
    case V::kProductName:
      return run.product.displayName;
    case V::kProgramsDir:
      return OrElse(ShellSpecialFolder(kCsidlProgramFiles), [&] {
        return OrElse(CurrentVersionValue("ProgramFilesDir"), text("c:\\Program Files"));
      });
    case V::kSharedDir:
      return run.folders.sharedFolder;
    case V::kSMProgramsAllDir:
      return OrElse(KnownFolder(kCsidlCommonPrograms, "Common Programs"),
                    [&] { return OrElse(CommonStartupAncestor(1), valueOf(V::kSMProgramsDir)); });
    case V::kSMProgramsDir:
      return OrElse(KnownFolder(kCsidlPrograms, "Programs"), under(V::kStartMenuDir, "Programs"));
    case V::kStartMenuAllDir:
      return OrElse(KnownFolder(kCsidlCommonStartMenu, "Common Start Menu"),
                    [&] { return OrElse(CommonStartupAncestor(2), valueOf(V::kStartMenuDir)); });
    case V::kStartMenuDir:
      return OrElse(KnownFolder(kCsidlStartMenu, "Start Menu"), underWindows("Start Menu"));
    case V::kStartupAllDir:
      return OrElse(KnownFolder(kCsidlCommonStartup, "Common Startup"), valueOf(V::kStartupDir));
    case V::kStartupDir:
      return OrElse(KnownFolder(kCsidlStartup, "Startup"), under(V::kSMProgramsDir, "StartUp"));
    case V::kSystemDir:
      return SystemDirValue(tl::SystemFolder(), tl::WindowsFolder(), IsNtFamily());
    case V::kTemp:
      return TempValue(TemporaryPath());
    case V::kUninstallDir:
      return run.folders.uninstallDataFolder;
    case V::kVersion:
      return run.product.stream.DisplayVersion;
    case V::kWinDir:
      return tl::WindowsFolder();
  }
  return {};
}

std::string PathVariablesExpanded(const RunState& run, std::string text) {
  static_cast<void>(ExpandPathVariables(run, text));  // the text as far as it got
  return text;
}

bool ExpandPathVariables(const RunState& run, std::string& text) {
  try {
    if (IsUtf8Text(text)) {
      ReplacePathVariables(text, [&run](PathVariable v) { return AsUtf8Insertion(PathVariableValue(run, v)); });
    } else {
      ReplacePathVariables(text, [&run](PathVariable v) { return PathVariableValue(run, v); });
    }
  } catch (...) {
    return false;  // the text stays as far as the replacement got
  }
  return IsUtf8Text(text) ? ExpandUtf8Environment(text) : ExpandAnsiEnvironment(text);
}

std::string BatchSetLines(const RunState& run, const std::string& workingDirectory) {
  return BuildBatchSetLines(workingDirectory, [&run](PathVariable v) { return PathVariableValue(run, v); });
}

}  // namespace setup
