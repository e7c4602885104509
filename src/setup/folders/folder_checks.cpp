#include "setup/folders/folder_checks.h"

#include "tl_core/text.h"

namespace setup {
namespace {

bool HasDrivePrefix(std::string_view folder) {
  return folder.size() >= 2 && tl::IsAsciiLetter(folder[0]) && folder[1] == ':';
}

std::string_view WithoutTrailingBackslash(std::string_view folder) {
  if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  return folder;
}

}  // namespace

std::string TrimmedFolderText(std::string_view text) {
  text = tl::TrimBlanks(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = tl::TrimBlanks(text.substr(1, text.size() - 2));
  return std::string(text);
}

bool IsValidFolderText(std::string_view folder) {
  std::string_view rest = HasDrivePrefix(folder) ? folder.substr(2) : folder;
  if (rest.find_first_of("/\"<>|*?:;") != std::string_view::npos) return false;
  return folder.size() < 2 || folder.find("\\\\", 1) == std::string_view::npos;
}

bool IsAbsoluteFolderText(std::string_view folder) {
  return (HasDrivePrefix(folder) && folder.size() >= 3 && folder[2] == '\\') || IsNetworkPathText(folder);
}

bool IsNetworkPathText(std::string_view folder) { return folder.starts_with("\\\\"); }

char DriveLetterOf(std::string_view folder) { return HasDrivePrefix(folder) ? tl::ToUpperAscii(folder[0]) : 0; }

bool IsSameFolder(std::string_view a, std::string_view b) {
  return tl::EqualsNoCase(WithoutTrailingBackslash(a), WithoutTrailingBackslash(b));
}

FolderRefusal FirstFolderRefusal(std::string_view folder, const FolderDriveFacts& drive, const FolderRules& rules) {
  if (folder.empty()) return FolderRefusal::kEmpty;
  if (!IsValidFolderText(folder) || !IsAbsoluteFolderText(folder)) return FolderRefusal::kNotValid;
  if (!drive.drivePresent) return FolderRefusal::kNoDrive;
  if (rules.refuseNetwork && (IsNetworkPathText(folder) || drive.networkDrive)) return FolderRefusal::kNetwork;
  if (IsSameFolder(folder, rules.programsFolder)) return FolderRefusal::kProgramsFolder;
  if (drive.readOnly || (rules.refuseRemovable && drive.removable)) return FolderRefusal::kReadOnlyDrive;
  if (rules.checkSpace && drive.freeSpaceKnown && drive.freeBytes < rules.requiredBytes) return FolderRefusal::kLowSpace;
  return FolderRefusal::kNone;
}

}  // namespace setup
