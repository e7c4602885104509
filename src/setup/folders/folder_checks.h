#pragma once
// The tests a folder typed into the folder page must pass, in their order,
// decided on the folder's text and the facts of its drive.
#include <cstdint>
#include <string>
#include <string_view>

namespace setup {

// The text as the tests take it: blanks (spaces, tabs, CR, LF) around it
// removed, then one pair of double quotes when the text both begins and ends
// with one, then the blanks that were inside the quotes. A lone quote stays
// (and makes the folder not valid).
std::string TrimmedFolderText(std::string_view text);

// No character of /"<>|*?:; outside a leading drive letter (A to Z, either
// case) and colon, and no two backslashes in a row after the first
// character: "\\server\share" is valid, "\\server\\share" and
// "\\\server" are not. The empty text is valid here; FirstFolderRefusal
// refuses it first.
bool IsValidFolderText(std::string_view folder);

// A drive letter, a colon and a backslash, or two leading backslashes.
// "C:" and "C:App" are relative to the drive's current folder, not absolute.
bool IsAbsoluteFolderText(std::string_view folder);

// Two leading backslashes.
bool IsNetworkPathText(std::string_view folder);

// The drive letter of "X:..." in upper case, or 0 for a network path (and
// for any other text without one).
char DriveLetterOf(std::string_view folder);

// The same folder, letter case and one trailing backslash ignored. Letter
// case is that of the ASCII letters; other bytes compare as they are.
bool IsSameFolder(std::string_view a, std::string_view b);

// What the system says about the folder's drive (gathered by the caller).
struct FolderDriveFacts {
  bool drivePresent = true;
  bool networkDrive = false;  // a mapped network drive
  bool readOnly = false;
  bool removable = false;
  bool freeSpaceKnown = false;
  uint64_t freeBytes = 0;
};

// What the run asks of a folder.
struct FolderRules {
  bool refuseNetwork = false;    // ProductFlags bit 37
  bool refuseRemovable = false;  // ProductFlags bit 55
  bool checkSpace = false;       // a new installation, not automatic
  uint64_t requiredBytes = 0;
  std::string programsFolder;    // the folder itself is refused
};

// The first test a folder fails, in the page's order.
enum class FolderRefusal {
  kNone,
  kEmpty,            // silently back to the page
  kNotValid,         // string 14 with the folder
  kNoDrive,          // string 16 with the drive letter
  kNetwork,          // string 66
  kProgramsFolder,   // string 18 with the programs folder
  kReadOnlyDrive,    // string 96 with the drive letter (also a refused removable drive)
  kLowSpace,         // string 19, asked: No returns to the page
};

// `folder` is already trimmed. The tests in order: empty; not valid or not
// absolute; drive missing (before the network test, also for a network
// path); a network path or mapped drive while refuseNetwork; the programs
// folder itself (an empty programsFolder refuses nothing); a read-only
// drive, or a removable one while refuseRemovable; with checkSpace, known
// free space below requiredBytes (exactly enough passes).
FolderRefusal FirstFolderRefusal(std::string_view folder, const FolderDriveFacts& drive, const FolderRules& rules);

}  // namespace setup
