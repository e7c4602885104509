#pragma once
// "delunins.bat": the batch that removes the uninstaller after it has
// ended (a running program cannot delete its own file), then the folders of
// the installation that are left empty, then itself.
#include <string>
#include <string_view>
#include <vector>

namespace setup {

inline constexpr char kSelfRemovalBatchName[] = "delunins.bat";
// Where the batch goes when the system names no temporary folder.
inline constexpr char kFallbackTemporaryFolder[] = "c:\\temp";
inline constexpr size_t kMaxRemovedSubfolders = 50;

// The folders to remove, in order: the install directory joined with the
// uninstall subdirectory, then with each of its parents, deepest first (at
// most kMaxRemovedSubfolders of them), then the install directory itself.
// Empty components of the subdirectory are skipped. Without an install
// directory there is nothing to remove: relative paths would name folders
// of whatever the current folder is.
std::vector<std::string> SelfRemovalFolders(std::string_view installDirectory, std::string_view uninstallSubdir);

// The batch text with CR LF line ends: a loop (written twice) that deletes
// the uninstaller until it is gone, a three-second pause that answers
// itself, an "rd" line for each folder ("rd" removes only empty folders, so
// one that holds user files stays), and the deletion of the batch itself.
std::string SelfRemovalBatchText(std::string_view uninstallerPath, const std::vector<std::string>& folders,
                                 std::string_view batchPath);

// "\"<interpreter>\" /c <batch>". The batch path is normally its 8.3 form;
// one that still needs quotes gets them, and the whole command after /c is
// quoted once more, as the interpreter strips the outermost pair.
std::string SelfRemovalCommandLine(std::string_view interpreter, std::string_view batchPath);

}  // namespace setup
