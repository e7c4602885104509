#pragma once
// The path variables as text: their names in replacement order, the
// replacement over a source of values, the SET lines of batch files, and the
// rules that turn what the system reports into a variable's value.
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace setup {

// In the order in which they are replaced.
enum class PathVariable : int {
  kAppDataAllDir,
  kAppDataDir,
  kBits,
  kBootDrive,
  kCommonDir,
  kDesktopAllDir,
  kDesktopDir,
  kDeviceDir,
  kDocumentAllDir,
  kDocumentDir,
  kFavoritesAllDir,
  kFavoritesDir,
  kFontDir,
  kInetpub,
  kInstallDir,
  kInstallDrive,
  kInstallerDir,
  kInstallerDrive,
  kInstallerFilename,
  kInstallerFilepath,
  kMediaDir,
  kOldVersion,
  kProductName,
  kProgramsDir,
  kSharedDir,
  kSMProgramsAllDir,
  kSMProgramsDir,
  kStartMenuAllDir,
  kStartMenuDir,
  kStartupAllDir,
  kStartupDir,
  kSystemDir,
  kTemp,
  kUninstallDir,
  kVersion,
  kWinDir,
};
inline constexpr int kPathVariableCount = 36;

// Every variable, in replacement order.
const std::array<PathVariable, kPathVariableCount>& PathVariablesInOrder();
// The name without percent signs ("InstallDir").
std::string_view PathVariableName(PathVariable variable);
// The name as written in texts ("%InstallDir%").
std::string PathVariableToken(PathVariable variable);

// The value of a variable; asked only for variables that occur in the text.
using PathValueSource = std::function<std::string(PathVariable)>;

// Replaces every variable of the table, in table order, letter case ignored.
// Inserted text is not searched again for the same variable, but the later
// variables see it. Each value is asked for at most once.
void ReplacePathVariables(std::string& text, const PathValueSource& valueOf);

// The SET lines a generated batch file begins with. The InstallDir and
// InstallDrive lines come only with a working directory; InstallDrive is the
// drive of that directory. Values are written so that the command
// interpreter sets them exactly (see BatchSetValue).
std::string BuildBatchSetLines(std::string_view workingDirectory, const PathValueSource& valueOf);

// A value as the right side of "SET Name=value" in a batch file: "%" is
// doubled, the interpreter's operators outside double quotes get a caret, and
// line breaks are dropped, so that a value such as "Tom & Jerry" cannot run a
// command. A value without such characters stays as it is.
std::string BatchSetValue(std::string_view value);

// Folder rules.
// One trailing backslash removed.
std::string WithoutTrailingBackslash(std::string_view path);
// A folder as read from the registry: longer than 3 characters, it loses one
// trailing backslash ("C:\" stays).
std::string StoredFolderValue(std::string_view path);
// One trailing backslash removed, then the last component and its backslash.
// A path without a backslash stays as it is.
std::string ParentFolder(std::string_view path);
// The folder part of a file path: everything before the last backslash
// ("C:\setup.exe" gives "C:", so that "%InstallerDir%\x" is "C:\x").
std::string FolderOfFile(std::string_view path);
// The file name: everything after the last backslash.
std::string FileNameOfFile(std::string_view path);

// Drive rules. A leading "|" (UTF-8 path) is looked past.
// "C:" for "c:\..." ; empty when the path does not begin with a letter and ":".
std::string DriveWithColon(std::string_view path);
// "C" for "c:\..."; empty when there is no drive letter.
std::string DriveLetter(std::string_view path);
// The boot drive from the "BootDir" value: its letter upper-cased with ":"
// when the value begins with a letter and ":", else "C:".
std::string BootDriveFromBootDir(std::string_view bootDir);

// Values with their own rules.
// "DevicePath" (already without a trailing backslash): cut at the first ";",
// the first "%SystemRoot%" (letter case ignored) replaced by systemRoot when
// that is not empty. Nothing left: the Windows folder joined with "INF".
std::string DeviceDirValue(std::string_view devicePath, std::string_view systemRoot,
                           std::string_view windowsFolder);
// The parent of the web root; "c:\Inetpub\wwwroot" when there is none.
std::string InetpubValue(std::string_view webRoot);
// The temporary path without one trailing backslash; "c:\temp" when empty.
std::string TempValue(std::string_view tempPath);
// The system folder, or the Windows folder joined with "System32" on the NT
// family, with "System" otherwise.
std::string SystemDirValue(std::string_view systemFolder, std::string_view windowsFolder, bool ntFamily);

}  // namespace setup
