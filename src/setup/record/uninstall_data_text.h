#pragma once
// The text of "Uninstall.DAT": one writer (install run, and the uninstall run
// when it rewrites what remained) and one reader (uninstall run) of the same
// format. Pure code: strings in, strings out.
//
// The format has no escaping, so some values cannot travel through it
// unchanged. The writer never writes a value that the reader would take back
// as something else; what it does instead:
// - path, firewall, INF, MSI and registry lines are written trimmed of
//   blanks; a line that is empty, holds a CR or LF, or equals a section
//   header is left out;
// - a string text line that begins with "~" or a section header gets one
//   leading space (the reader gives the line back with that space); trailing
//   blanks and line ends of a text are lost (the reader trims them);
// - the registry-definitions text is written line by line, each line trimmed
//   and ended with CR LF; blank lines and lines equal to a section header are
//   left out;
// - an association, close record or deletion entry that the reader would not
//   read back exactly (an empty part, a line break, "~!~" that moves the
//   split, blanks at the line's edges) is left out.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "setup/payload/settings_stream.h"
#include "setup/strings/string_numbers.h"

namespace setup {

// The uninstaller's interface strings, in the order written.
inline constexpr int kUninstallerStringNumbers[] = {
    kStringUninstallFailed,
    kStringUninstallCompleteCaption,
    kStringQuestionCaption,
    kStringUninstallTitle,
    kStringUninstallComplete,
    kStringRemoveSharedFileCaption,
    kStringCancelButton,
    kStringUninstallConfirmation,
    kStringUninstallCaption,
    kStringRemoveFontQuestion,
    kStringRemoveFontCaption,
    kStringCannotDeleteFile,
    kStringRemoveSharedFileQuestion,
    kStringWizardCaption,
    kStringRemovingFontsStatus,
    kStringReleasingSharedFilesStatus,
    kStringRemovingRegistryStatus,
    kStringRemovingAssociationsStatus,
    kStringUninstallProgressHeading,
    kStringUninstallRestartQuestion,
    kStringYesButton,
    kStringNoButton,
    kStringProgramRunning,
    kStringRetryButton,
    kStringUninstallCancelled,
};
inline constexpr int kDialogCaptionStringNumber = 999;

// Limits of the reader, which reads untrusted text: a larger text is refused
// whole, and so is a text with more entries (path, list and registry lines,
// records) than a real installation ever writes.
inline constexpr size_t kMaxUninstallDataTextSize = size_t{64} * 1024 * 1024;
inline constexpr size_t kMaxUninstallDataEntries = 1000000;

struct UninstallAssociation {
  std::string extension;
  std::string fileType;  // the file-type key name
  std::string verb;      // the verb key name under "shell"
  bool operator==(const UninstallAssociation&) const = default;
};

struct UninstallDataContent {
  // Path list lines: a file's path, or "~" and a folder's path.
  std::vector<std::string> paths;
  // Interface strings by number. The writer writes the numbers of
  // kUninstallerStringNumbers (a missing one as an empty text); the reader
  // keeps every number from 1 to 1000 but 999.
  std::map<int, std::string> strings;
  std::string dialogCaption;  // string 999
  // Programs to close. The phase mask is not carried (the reader leaves it
  // 0): the pass follows from the action, see InSecondClosePass.
  std::vector<CloseRecord> closeList;
  std::vector<UninstallAssociation> associations;
  std::vector<std::string> firewall;
  std::vector<std::string> inf;
  std::vector<std::string> msi;
  std::vector<std::string> registry;
  std::string registry2;  // registry definitions, each line ending in CR LF
  // Conditional deletion entries; the writer writes only those whose flags
  // have bit 3 (deletion at uninstallation).
  std::vector<DeleteRecord> deleteList;
  bool operator==(const UninstallDataContent&) const = default;
};

enum class UninstallDataReadError { kNone, kTooLarge, kTooManyEntries };

struct UninstallDataReadResult {
  UninstallDataContent content;
  UninstallDataReadError error = UninstallDataReadError::kNone;
  bool ok() const { return error == UninstallDataReadError::kNone; }
};

// The whole file text, CR LF line ends.
std::string WriteUninstallDataText(const UninstallDataContent& content);

// Reads any text without fault; sections may come in any order, lines that do
// not fit their section are skipped. Fails only beyond the limits above.
UninstallDataReadResult ReadUninstallDataText(std::string_view text);

// One field of an "[AutoClose]" or "[ConditionalDelete]" line: quotes doubled,
// enclosed in quotes when it holds , " tab CR LF ; | or begins with a space
// or apostrophe or ends with a space.
std::string QuoteCommaField(std::string_view field);
// Splits such a line into its fields, quotes removed and doubled quotes
// undone. Text after a closing quote up to the next comma is kept as is; an
// unclosed quote runs to the end of the line.
std::vector<std::string> SplitCommaFields(std::string_view line);

// Close records of action 2 act in the second pass (after the confirmation).
inline bool InSecondClosePass(const CloseRecord& record) { return record.action == 2; }

}  // namespace setup
