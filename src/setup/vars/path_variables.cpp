#include "setup/vars/path_variables.h"

#include <optional>

#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {
namespace {

constexpr std::string_view kNames[kPathVariableCount] = {
    "AppDataAllDir",   "AppDataDir",       "Bits",           "BootDrive",          "CommonDir",
    "DesktopAllDir",   "DesktopDir",       "DeviceDir",      "DocumentAllDir",     "DocumentDir",
    "FavoritesAllDir", "FavoritesDir",     "FontDir",        "Inetpub",            "InstallDir",
    "InstallDrive",    "InstallerDir",     "InstallerDrive", "InstallerFilename",  "InstallerFilepath",
    "MediaDir",        "OldVersion",       "ProductName",    "ProgramsDir",        "SharedDir",
    "SMProgramsAllDir", "SMProgramsDir",   "StartMenuAllDir", "StartMenuDir",      "StartupAllDir",
    "StartupDir",      "SystemDir",        "Temp",           "UninstallDir",       "Version",
    "WinDir",
};

// The SET lines after InstallDir and InstallDrive, in file order.
constexpr PathVariable kSetLinesBeforeInstallerDrive[] = {
    PathVariable::kBits,          PathVariable::kUninstallDir, PathVariable::kSharedDir,
    PathVariable::kInstallerFilepath, PathVariable::kInstallerDir, PathVariable::kInstallerFilename,
};
constexpr PathVariable kSetLinesAfterInstallerDrive[] = {
    PathVariable::kSystemDir,       PathVariable::kDeviceDir,       PathVariable::kMediaDir,
    PathVariable::kFavoritesDir,    PathVariable::kFavoritesAllDir, PathVariable::kFontDir,
    PathVariable::kDesktopDir,      PathVariable::kDesktopAllDir,   PathVariable::kDocumentDir,
    PathVariable::kDocumentAllDir,  PathVariable::kProductName,     PathVariable::kProgramsDir,
    PathVariable::kStartMenuDir,    PathVariable::kStartMenuAllDir, PathVariable::kSMProgramsDir,
    PathVariable::kSMProgramsAllDir, PathVariable::kStartupDir,     PathVariable::kStartupAllDir,
    PathVariable::kBootDrive,       PathVariable::kCommonDir,       PathVariable::kInetpub,
    PathVariable::kAppDataDir,      PathVariable::kAppDataAllDir,   PathVariable::kVersion,
    PathVariable::kOldVersion,
};

std::string_view WithoutUtf8Mark(std::string_view path) {
  return !path.empty() && path.front() == '|' ? path.substr(1) : path;
}

void AppendSetLine(std::string& lines, std::string_view name, std::string_view value) {
  lines += "SET ";
  lines += name;
  lines += '=';
  lines += BatchSetValue(value);
  lines += "\r\n";
}

bool IsInterpreterOperator(char c) { return c == '&' || c == '|' || c == '<' || c == '>' || c == '^'; }

}  // namespace

const std::array<PathVariable, kPathVariableCount>& PathVariablesInOrder() {
  static const std::array<PathVariable, kPathVariableCount> order = [] {
    std::array<PathVariable, kPathVariableCount> all{};
    for (int i = 0; i < kPathVariableCount; ++i) all[i] = static_cast<PathVariable>(i);
    return all;
  }();
  return order;
}

std::string_view PathVariableName(PathVariable variable) { return kNames[static_cast<int>(variable)]; }

std::string PathVariableToken(PathVariable variable) {
  std::string token(1, '%');
  token += PathVariableName(variable);
  token += '%';
  return token;
}

void ReplacePathVariables(std::string& text, const PathValueSource& valueOf) {
  for (PathVariable variable : PathVariablesInOrder()) {
    const std::string token = PathVariableToken(variable);
    std::optional<std::string> value;
    size_t at = tl::FindNoCase(text, token, 0);
    while (at != std::string::npos) {
      if (!value) value = valueOf(variable);
      text.replace(at, token.size(), *value);
      at = tl::FindNoCase(text, token, at + value->size());
    }
  }
}

std::string BuildBatchSetLines(std::string_view workingDirectory, const PathValueSource& valueOf) {
  std::string lines;
  if (!workingDirectory.empty()) {
    AppendSetLine(lines, "InstallDir", valueOf(PathVariable::kInstallDir));
    AppendSetLine(lines, "InstallDrive", DriveWithColon(workingDirectory));
  }
  for (PathVariable variable : kSetLinesBeforeInstallerDrive)
    AppendSetLine(lines, PathVariableName(variable), valueOf(variable));
  // Unlike "%InstallerDrive%" in paths, the batch gets the drive with its colon.
  const std::string letter = valueOf(PathVariable::kInstallerDrive);
  AppendSetLine(lines, "InstallerDrive", letter.empty() ? letter : letter + ":");
  for (PathVariable variable : kSetLinesAfterInstallerDrive)
    AppendSetLine(lines, PathVariableName(variable), valueOf(variable));
  return lines;
}

std::string BatchSetValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  bool quoted = false;  // inside double quotes the interpreter takes operators literally
  for (char c : value) {
    if (c == '\r' || c == '\n') continue;
    if (c == '"') quoted = !quoted;
    if (c == '%') {
      out += "%%";
      continue;
    }
    if (!quoted && IsInterpreterOperator(c)) out += '^';
    out += c;
  }
  return out;
}

std::string WithoutTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string StoredFolderValue(std::string_view path) {
  return path.size() > 3 ? WithoutTrailingBackslash(path) : std::string(path);
}

std::string ParentFolder(std::string_view path) {
  std::string trimmed = WithoutTrailingBackslash(path);
  const size_t slash = trimmed.rfind('\\');
  if (slash == std::string::npos) return trimmed;
  trimmed.resize(slash);
  return trimmed;
}

std::string FolderOfFile(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNameOfFile(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DriveWithColon(std::string_view path) {
  const std::string letter = DriveLetter(path);
  return letter.empty() ? letter : letter + ":";
}

std::string DriveLetter(std::string_view path) {
  const std::string_view plain = WithoutUtf8Mark(path);
  if (plain.size() < 2 || plain[1] != ':' || !tl::IsAsciiLetter(plain[0])) return std::string();
  return std::string(1, tl::ToUpperAscii(plain[0]));
}

std::string BootDriveFromBootDir(std::string_view bootDir) {
  if (bootDir.size() >= 2 && bootDir[1] == ':' && tl::IsAsciiLetter(bootDir[0]))
    return std::string{tl::ToUpperAscii(bootDir[0]), ':'};
  return "C:";
}

std::string DeviceDirValue(std::string_view devicePath, std::string_view systemRoot,
                           std::string_view windowsFolder) {
  std::string value(devicePath.substr(0, devicePath.find(';')));
  if (value.empty()) return tl::JoinPath(windowsFolder, "INF");
  constexpr std::string_view kSystemRoot = "%SystemRoot%";
  const size_t at = tl::FindNoCase(value, kSystemRoot, 0);
  if (at != std::string::npos && !systemRoot.empty()) value.replace(at, kSystemRoot.size(), systemRoot);
  return value;
}

std::string InetpubValue(std::string_view webRoot) {
  return ParentFolder(webRoot.empty() ? std::string_view("c:\\Inetpub\\wwwroot") : webRoot);
}

std::string TempValue(std::string_view tempPath) {
  std::string temp = WithoutTrailingBackslash(tempPath);
  return temp.empty() ? "c:\\temp" : temp;
}

std::string SystemDirValue(std::string_view systemFolder, std::string_view windowsFolder, bool ntFamily) {
  if (!systemFolder.empty()) return std::string(systemFolder);
  return tl::JoinPath(windowsFolder, ntFamily ? "System32" : "System");
}

}  // namespace setup
